#include <gtest/gtest.h>

#include <QFile>

#include "platform/media/MediaCheck.h"
#include "support/TestMedia.h"

namespace {

struct FrameCase {
    const char* name;
    bool raw;
    int width;
    int height;
    const char* why;  // empty: the file passes the check
};

class FrameSizeTest : public testing::TestWithParam<FrameCase> {};

TEST_P(FrameSizeTest, IsCheckedBeforeAnyDecoderTriesIt) {
    const FrameCase& c = GetParam();
    const QString path = testmedia::AviClaimingFrame(c.raw, c.width, c.height);
    const platform::MciFailure failure =
        platform::CheckMediaFile(QFile::encodeName(path), path, true);
    if (*c.why == '\0') {
        EXPECT_FALSE(failure) << failure.text.toStdString();
        return;
    }
    EXPECT_EQ(failure.code, platform::MCIERR_INVALID_FILE);
    EXPECT_EQ(failure.text,
              QStringLiteral("Not a valid AVI file (%1): %2").arg(QString::fromUtf8(c.why), path));
}

INSTANTIATE_TEST_SUITE_P(
    Table, FrameSizeTest,
    testing::Values(
        FrameCase{"RealRawFrame", true, 160, 120, ""},
        FrameCase{"RealMjpegFrame", false, 160, 120, ""},
        FrameCase{"HugeRawFrame", true, 60000, 60000,
                  "a 60000\u00d760000 frame is larger than 16384\u00d716384 pixels"},
        FrameCase{"HugeMjpegFrame", false, 60000, 60000,
                  "a 60000\u00d760000 frame is larger than 16384\u00d716384 pixels"},
        FrameCase{"RawFrameLargerThanTheFile", true, 2000, 2000,
                  "a raw 2000\u00d72000 frame needs more bytes than the whole file holds"},
        FrameCase{"RawFramesTheFileCannotHold", true, 400, 300,
                  "10 raw 400\u00d7300 frames need more bytes than the whole file holds"},
        FrameCase{"RawFrameLargerThanAnyPicture", true, 16000, 16000,
                  "a raw 16000\u00d716000 frame at 24 bits is larger than any picture taken"},
        FrameCase{"NoPicture", false, 0, 120, "a 0\u00d7120 frame has no picture"}),
    [](const testing::TestParamInfo<FrameCase>& info) { return std::string(info.param.name); });

}  // namespace
