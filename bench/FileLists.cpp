// Filling the file and folder lists of large folders, each beside a bare
// readdir + fnmatch + sort of the same folder in the same run.
#include <benchmark/benchmark.h>
#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <string>
#include <vector>

#include "filectl/FileCtrl.h"
#include "kit/Run.h"
#include "platform/files/LinuxFileSystem.h"

namespace {

constexpr int kFiles = 10000;
constexpr int kFolders = 2000;

// Two folders below one temporary root that is drive C: for the benchmarks.
class Fixture {
  public:
    Fixture() {
        root_ = QFile::encodeName(temp_.path());
        const QByteArray files = root_ + "/files";
        const QByteArray folders = root_ + "/folders";
        mkdir(files.constData(), 0755);
        mkdir(folders.constData(), 0755);
        static const char* kExtensions[] = {".wav", ".avi", ".txt", ".mp3"};
        for (int i = 0; i < kFiles; ++i) {
            const QByteArray name = files + "/clip" + QByteArray::number(i) + kExtensions[i % 4];
            close(open(name.constData(), O_WRONLY | O_CREAT, 0644));
        }
        for (int i = 0; i < kFolders; ++i)
            mkdir((folders + "/folder" + QByteArray::number(i)).constData(), 0755);
        platform::DriveInfo drive;
        drive.Root = root_;
        platform::SetFileSystem(std::make_unique<platform::LinuxFileSystem>(
            std::vector<platform::DriveInfo>{drive}, QByteArray()));
    }

    QByteArray Native(const char* folder) const { return root_ + '/' + folder; }

  private:
    QTemporaryDir temp_;
    QByteArray root_;
};

Fixture& Folders() {
    static Fixture fixture;
    return fixture;
}

// One pass over the folder, keeping names that match any of the masks.
std::vector<std::string> BareList(const QByteArray& folder, const std::vector<const char*>& masks,
                                  bool foldersOnly) {
    std::vector<std::string> names;
    DIR* dir = opendir(folder.constData());
    while (const dirent* entry = readdir(dir)) {
        if (foldersOnly && entry->d_type != DT_DIR) continue;
        for (const char* mask : masks) {
            if (fnmatch(mask, entry->d_name, FNM_CASEFOLD) == 0) {
                names.emplace_back(entry->d_name);
                break;
            }
        }
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

void BM_FillFiles(benchmark::State& state) {
    Folders();
    TWinControl host(nullptr);
    auto* list = new TFileListBox(&host);
    list->SetDirectory(QStringLiteral("C:\\files"));
    list->SetMask(QStringLiteral("*.wav;*.avi;"));
    host.show();
    for (auto _ : state) list->FillFiles();
    if (list->Items().Count() != kFiles / 2) state.SkipWithError("wrong count");
}

void BM_BareReadDirFnmatchSort(benchmark::State& state) {
    const QByteArray folder = Folders().Native("files");
    for (auto _ : state) benchmark::DoNotOptimize(BareList(folder, {"*.wav", "*.avi"}, false));
}

void BM_FillFolders(benchmark::State& state) {
    Folders();
    TWinControl host(nullptr);
    auto* list = new TDirectoryListBox(&host);
    list->SetDirectory(QStringLiteral("C:\\folders"));
    host.show();
    for (auto _ : state) list->FillFolders();
    if (list->Items().Count() != kFolders + 2) state.SkipWithError("wrong count");
}

void BM_BareReadDirFolders(benchmark::State& state) {
    const QByteArray folder = Folders().Native("folders");
    for (auto _ : state) benchmark::DoNotOptimize(BareList(folder, {"*"}, true));
}

void Configure(benchmark::internal::Benchmark* bench) {
    bench->Unit(benchmark::kMillisecond)
        ->Repetitions(benchkit::Runs(10))
        ->ReportAggregatesOnly(true);
}

BENCHMARK(BM_FillFiles)->Apply(Configure);
BENCHMARK(BM_BareReadDirFnmatchSort)->Apply(Configure);
BENCHMARK(BM_FillFolders)->Apply(Configure);
BENCHMARK(BM_BareReadDirFolders)->Apply(Configure);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return benchkit::RunBenchmarks(argc, argv);
}
