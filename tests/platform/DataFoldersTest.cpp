#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <vector>

#include "platform/files/DataFolders.h"
#include "support/EnvironmentScope.h"

namespace {

// Folders below a temporary root; the executable's folder, the desktop's
// data folders and the expected data folder are relative to it too.
struct DataFolderCase {
    const char* name;
    std::vector<const char*> folders;
    const char* executableDir;
    std::vector<const char*> dataDirs;
    const char* expected;
};

class DataFolderTest : public testing::TestWithParam<DataFolderCase> {};

TEST_P(DataFolderTest, IsFoundBesideTheProgramThenInTheDataDirs) {
    QTemporaryDir root;
    const QDir top(root.path());
    for (const char* folder : GetParam().folders) ASSERT_TRUE(top.mkpath(folder));
    QByteArrayList dataDirs;
    for (const char* dir : GetParam().dataDirs)
        dataDirs.append(QFile::encodeName(top.filePath(dir)));
    const QByteArray found =
        platform::FindDataFolder(top.filePath(GetParam().executableDir), dataDirs);
    EXPECT_EQ(found, QFile::encodeName(QDir(top.filePath(GetParam().expected)).canonicalPath()));
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, DataFolderTest,
    testing::Values(
        DataFolderCase{
            "installed", {"usr/bin", "usr/share/brelmo"}, "usr/bin", {}, "usr/share/brelmo"},
        DataFolderCase{"build_tree", {"build/data"}, "build", {}, "build/data"},
        DataFolderCase{
            "build_tree_tests", {"build/data", "build/tests"}, "build/tests", {}, "build/data"},
        DataFolderCase{"installed_before_data_dirs",
                       {"usr/bin", "usr/share/brelmo", "xdg/brelmo"},
                       "usr/bin",
                       {"xdg"},
                       "usr/share/brelmo"},
        DataFolderCase{"first_data_dir_that_holds_it",
                       {"opt/bin", "xdg1", "xdg2/brelmo", "xdg3/brelmo"},
                       "opt/bin",
                       {"xdg1", "xdg2", "xdg3"},
                       "xdg2/brelmo"},
        DataFolderCase{"nowhere", {"opt/bin"}, "opt/bin", {"xdg"}, "opt/bin"}),
    [](const auto& info) { return std::string(info.param.name); });

struct DataDirsCase {
    const char* name;
    const char* value;  // nullptr: unset
    QByteArrayList expected;
};

class XdgDataDirsTest : public testing::TestWithParam<DataDirsCase> {};

TEST_P(XdgDataDirsTest, ReadsTheVariable) {
    const EnvironmentScope variable("XDG_DATA_DIRS", GetParam().value);
    const QByteArrayList dirs = platform::XdgDataDirs();
    EXPECT_EQ(dirs, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, XdgDataDirsTest,
    testing::Values(DataDirsCase{"unset", nullptr, {"/usr/local/share", "/usr/share"}},
                    DataDirsCase{"empty", "", {"/usr/local/share", "/usr/share"}},
                    DataDirsCase{"empty_entries_skipped", ":/a::/b:", {"/a", "/b"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
