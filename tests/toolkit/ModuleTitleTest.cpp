#include <gtest/gtest.h>

#include "support/CaseName.h"
#include "toolkit/ModuleTitle.h"

namespace {

struct TitleCase {
    const char* path;
    const char* title;
};

class ModuleTitleTest : public testing::TestWithParam<TitleCase> {};

TEST_P(ModuleTitleTest, CutsTheFileNameAndLowersAllButTheFirst) {
    EXPECT_EQ(ModuleTitle(QString::fromUtf8(GetParam().path)), QString::fromUtf8(GetParam().title));
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ModuleTitleTest,
    testing::Values(TitleCase{"/usr/local/bin/brelmo", "brelmo"},
                    TitleCase{"/opt/BRELMO", "Brelmo"},
                    TitleCase{"/home/a/Brelmo.Player.bin", "Brelmo"},
                    TitleCase{"/home/a.b/player", "player"},  // dots in folders do not count
                    TitleCase{"C:\\Program Files\\BRELMO.EXE", "Brelmo"},
                    TitleCase{"/mixed\\sep/ÉCLAIR.x", "Éclair"}, TitleCase{"/home/a/.hidden", ""},
                    TitleCase{"/home/a/", ""}, TitleCase{"brelmo", "brelmo"}, TitleCase{"", ""}),
    [](const testing::TestParamInfo<TitleCase>& info) { return CaseName(info.param.path); });

TEST(ModuleTitleLength, KeepsAtMost255Characters) {
    const QString name = QStringLiteral("P") + QString(300, QLatin1Char('X'));
    const QString title = ModuleTitle(QStringLiteral("/deep/") + name + QStringLiteral(".bin"));
    EXPECT_EQ(title, QStringLiteral("P") + QString(254, QLatin1Char('x')));
}

TEST(ModuleTitleLength, LongFoldersDoNotCutTheFileName) {
    const QString folders =
        QStringLiteral("/") + QString(400, QLatin1Char('d')) + QStringLiteral("/");
    EXPECT_EQ(ModuleTitle(folders + QStringLiteral("Brelmo")), QStringLiteral("Brelmo"));
}

}  // namespace
