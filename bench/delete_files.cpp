// Times deleting to the desktop's trash with the file operation engine against
// "gio trash" given every path in one call:
//   delete_files [DIR]
// DIR (default: delete-data beside this program) gets 10,000 files of 0-4 KiB
// in 100 directories, made anew for each side; the trash is DIR/xdg/Trash
// (XDG_DATA_HOME points there, for both), emptied between the runs. One
// round each (ZENTRIX_BENCH_ROUNDS for more; the best counts). Last line:
// delete_files files=N trash_seconds=T gio_seconds=G ratio=R
#include "benchsupport.h"
#include "ops/fileopflags.h"
#include "ops/quietfileopwindow.h"
#include "ops/tfileoperator.h"
#include "platform/drivetable.h"
#include "platform/process.h"
#include "silentprompter.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace zentrix;

constexpr int kDirs = 100;
constexpr int kFiles = 10000;

/// Makes the set under dir/set and returns the paths of its files.
std::vector<std::string> makeSet(const std::string& dir) {
    platform::RunAndWait("rm", {"-rf", dir + "/set"});
    ::mkdir((dir + "/set").c_str(), 0755);
    std::mt19937 random(777);
    std::vector<std::string> files;
    std::string data(4096, 'z');
    for (int d = 0; d < kDirs; ++d)
        ::mkdir((dir + "/set/d" + std::to_string(d)).c_str(), 0755);
    for (int i = 0; i < kFiles; ++i) {
        const std::string path =
            dir + "/set/d" + std::to_string(i % kDirs) + "/f" + std::to_string(i) + ".dat";
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0)
            continue;
        (void)!::write(fd, data.data(), random() % 4097);
        ::close(fd);
        files.push_back(path);
    }
    return files;
}

bool allGone(const std::vector<std::string>& files) {
    struct stat st {};
    return std::none_of(files.begin(), files.end(),
                        [&](const std::string& f) { return ::lstat(f.c_str(), &st) == 0; });
}

} // namespace

int main(int argc, char** argv) {
    const std::string dir = bench::DataFolder(argc, argv, "delete-data");
    if (dir.empty())
        return 1;
    platform::RunAndWait("mkdir", {"-p", dir + "/xdg"});
    ::setenv("XDG_DATA_HOME", (dir + "/xdg").c_str(), 1);
    const bool haveGio = platform::ProgramExists("gio");
    if (!haveGio)
        std::fprintf(stderr, "delete_files: gio is missing (package libglib2.0-bin); "
                             "its reference is skipped\n");

    platform::DriveTable drives;
    bench::SilentPrompter prompter;
    QuietFileOpWindow window;
    TFileOperator op(drives, prompter);
    op.SetWindow(&window);
    op.Operation = FileOperation::foDelete;
    op.Flags = {FileOpFlag::foAllowUndo, FileOpFlag::foNoConfirmation, FileOpFlag::foSilent};

    double engine = 1e9;
    double gio = 1e9;
    const char* roundsText = std::getenv("ZENTRIX_BENCH_ROUNDS");
    const int rounds = std::max(1, roundsText ? std::atoi(roundsText) : 1);
    for (int round = 0; round < rounds; ++round) {
        std::vector<std::string> files = makeSet(dir);
        platform::RunAndWait("rm", {"-rf", dir + "/xdg/Trash"});
        op.SetSources(files);
        engine = std::min(engine, bench::Seconds([&] { op.Execute(); }));
        if (!allGone(files))
            std::fprintf(stderr, "delete_files: the engine left files behind\n");
        if (!haveGio)
            continue;
        files = makeSet(dir);
        platform::RunAndWait("rm", {"-rf", dir + "/xdg/Trash"});
        std::vector<std::string> args{"trash"};
        args.insert(args.end(), files.begin(), files.end());
        gio = std::min(gio, bench::Seconds([&] { platform::RunAndWait("gio", args); }));
        if (!allGone(files))
            std::fprintf(stderr, "delete_files: gio left files behind\n");
    }
    platform::RunAndWait("rm", {"-rf", dir + "/xdg/Trash", dir + "/set"});
    if (!haveGio)
        std::printf("delete_files files=%d trash_seconds=%.3f gio_seconds=skipped ratio=skipped\n",
                    kFiles, engine);
    else
        std::printf("delete_files files=%d trash_seconds=%.3f gio_seconds=%.3f ratio=%.3f\n",
                    kFiles, engine, gio, engine / gio);
    return 0;
}
