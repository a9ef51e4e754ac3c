#include <gtest/gtest.h>

#include "platform/files/DataFolders.h"
#include "platform/files/FileSystem.h"
#include "platform/files/NativeNames.h"
#include "support/CaseName.h"

namespace {

class NameRoundTrip : public ::testing::TestWithParam<QByteArray> {};

TEST_P(NameRoundTrip, BytesComeBackExactly) {
    const QByteArray name = GetParam();
    const QString text = platform::FromNativeName(name);
    EXPECT_FALSE(text.contains(QLatin1Char('\\')));
    EXPECT_EQ(platform::ToNativeName(text), name);
}

INSTANTIATE_TEST_SUITE_P(Names, NameRoundTrip,
                         ::testing::Values(QByteArray("clip.avi"), QByteArray("caf\xc3\xa9.wav"),
                                           QByteArray("latin1 caf\xe9.wav"),
                                           QByteArray("back\\slash.wav"),
                                           QByteArray("private \xef\x81\x9c use"),
                                           QByteArray("new\nline"), QByteArray("\xff\xfe"),
                                           QByteArray("truncated \xe2\x82"),
                                           QByteArray("emoji \xf0\x9f\x8e\xb5")),
                         [](const testing::TestParamInfo<QByteArray>& info) {
                             return CaseName(info.param.toStdString());
                         });

TEST(NativeNames, ValidUtf8ReadsAsItself) {
    EXPECT_EQ(platform::FromNativeName("caf\xc3\xa9"), QString::fromUtf8("caf\xc3\xa9"));
}

TEST(NativePath, DriveCIsTheRootAndItsWindowsFolderTheDataFolder) {
    auto& fs = platform::FileSystem();
    EXPECT_EQ(fs.NativePath("C:\\media\\clips\\a.avi"), QByteArray("/media/clips/a.avi"));
    EXPECT_EQ(fs.NativePath("c:\\"), QByteArray("/"));
    EXPECT_EQ(fs.NativePath("c:\\windows\\dclick.wav"), platform::DataFolder() + "/dclick.wav");
    EXPECT_EQ(fs.NativePath("C:\\Windows"), platform::DataFolder());
    EXPECT_EQ(fs.NativePath("c:\\windowsxp\\a"), QByteArray("/windowsxp/a"));
}

}  // namespace
