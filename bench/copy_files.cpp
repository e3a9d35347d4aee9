// Times the file operation engine against cp -a, within one file system:
//   copy_files [DIR]
// DIR (default: copy-data beside this program) keeps the two sets, made once:
// 16 files of 64 MiB, and 20,000 files of 0-8 KiB in 200 directories. Each set
// is copied with the engine and with cp -a into fresh destinations, with the
// sources in the cache and nothing of an earlier copy left to write; the
// medians of five rounds count. A copy is timed until the tool is done; the
// flush that then puts its data on the disk is timed apart, and shown apart.
// Last line:
// copy_files bytes=B files=N seconds=S cp_seconds=C ratio=R small_files=M
//   small_seconds=T small_cp_seconds=U small_ratio=V disk_seconds=W
//   disk_cp_seconds=X disk_ratio=Y
#include "benchsupport.h"
#include "gui/ops/tfileopprogressform.h"
#include "ops/quietfileopwindow.h"
#include "ops/tfileoperator.h"
#include "platform/drivetable.h"
#include "silentprompter.h"

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <random>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using namespace zentrix;

constexpr int kBigFiles = 16;
constexpr size_t kBigSize = 64u << 20;
constexpr int kSmallDirs = 200;
constexpr int kSmallFiles = 20000;

int spawnWait(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool writeFile(const std::string& path, const std::string& data) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n <= 0)
            break;
        done += static_cast<size_t>(n);
    }
    ::close(fd);
    return done == data.size();
}

/// Makes both sets unless a finished one is there; false when it cannot.
bool makeData(const std::string& dir) {
    if (::access((dir + "/.complete").c_str(), F_OK) == 0)
        return true;
    spawnWait({"rm", "-rf", dir});
    if (spawnWait({"mkdir", "-p", dir + "/big", dir + "/small"}) != 0)
        return false;
    std::fprintf(stderr, "copy_files: making the test data in %s\n", dir.c_str());
    std::mt19937_64 random(12345);
    std::string block(kBigSize, 0);
    for (int i = 0; i < kBigFiles; ++i) {
        for (size_t p = 0; p + 8 <= block.size(); p += 4096) {
            const uint64_t v = random();
            std::copy_n(reinterpret_cast<const char*>(&v), 8, block.data() + p);
        }
        if (!writeFile(dir + "/big/file" + std::to_string(i) + ".bin", block))
            return false;
    }
    std::uniform_int_distribution<int> size(0, 8192);
    for (int d = 0; d < kSmallDirs; ++d) {
        const std::string sub = dir + "/small/dir" + std::to_string(d);
        ::mkdir(sub.c_str(), 0755);
        for (int f = 0; f < kSmallFiles / kSmallDirs; ++f)
            if (!writeFile(sub + "/f" + std::to_string(f) + ".dat",
                           std::string(static_cast<size_t>(size(random)), 'a' + f % 26)))
                return false;
    }
    ::sync();
    return writeFile(dir + "/.complete", "");
}

/// Opens every regular file below `dir` for reading and hands its descriptor
/// to `use`.
void forEachFile(const std::string& dir, const std::function<void(int)>& use) {
    std::error_code error;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir, error)) {
        if (!entry.is_regular_file(error))
            continue;
        const int fd = ::open(entry.path().c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            continue;
        use(fd);
        ::close(fd);
    }
}

/// Reads every file below `dir`, so that the copy that follows finds all of its
/// source in the page cache whatever ran before.
void readAll(const std::string& dir) {
    std::vector<char> buffer(1 << 20);
    forEachFile(dir, [&buffer](int fd) {
        while (::read(fd, buffer.data(), buffer.size()) > 0) {
        }
    });
}

/// Drops the cached pages of the files below `dir` (written to the disk
/// already), so that the copies kept until the end do not fill the memory and
/// every round starts with as much of it free as the first.
void evict(const std::string& dir) {
    forEachFile(dir, [](int fd) { ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED); });
}

/// Writes what the file system holding `dir` still has in memory to the disk.
void flush(const std::string& dir) {
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::syncfs(fd);
        ::close(fd);
    }
}

struct Figures {
    double engine = 0;
    double cp = 0;
    double ratio = 0;
    // The same with the flush of what each copy wrote.
    double engineToDisk = 0;
    double cpToDisk = 0;
    double ratioToDisk = 0;
};

/// `rounds` rounds of both tools, each copy into a fresh destination, the tools
/// taking turns at going first.
/// Both tools leave their data in the page cache for the kernel to write back,
/// and how long the disk of a shared machine takes to write a gigabyte varies
/// from one minute to the next by more than the tools differ: timed to the end
/// of its flush, a copy measured mostly the disk's mood (the same tool took
/// 1.1 s in one round and 1.9 s in the next). So each copy starts with every
/// earlier write flushed and its sources in the cache, is timed until the tool
/// returns (that is the tool's own work), and its flush is timed after it.
/// The flushed copy then leaves the cache: kept there, ten copies of a
/// gigabyte filled the memory, and a later round paid for the kernel making
/// room (one copy of the small set took 9.3 s where the others took 1.2 s).
/// The figures are the medians and the ratios those of the medians. (The
/// median of each round's own ratio was tried: one slow moment of the machine
/// moves a single pair by a quarter, and that figure moved by 16% from one run
/// to the next, where the ratio of the medians stayed within 5%.)
/// The copies are kept in `made` and deleted only when every figure is taken:
/// a file system without a journal skips the inodes freed in the last minutes
/// when it makes new ones, and a clean-up between rounds would charge that
/// search to whichever tool happens to land among them.
Figures compare(const std::string& dir, const std::string& set, TFileOperator& op, int rounds,
                std::vector<std::string>& made) {
    const std::string source = dir + "/" + set;
    std::vector<double> engineTimes, cpTimes, engineDisk, cpDisk;
    const auto timed = [&](const std::string& dest, const std::function<void()>& copy,
                           std::vector<double>& times, std::vector<double>& toDisk) {
        made.push_back(dest);
        ::mkdir(dest.c_str(), 0755);
        ::sync();
        readAll(source);
        const double own = bench::Seconds(copy);
        const double flushed = bench::Seconds([&] { flush(dest); });
        evict(dest);
        times.push_back(own);
        toDisk.push_back(own + flushed);
    };
    const auto engine = [&](int round) {
        const std::string dest = dir + "/out-" + set + "-engine" + std::to_string(round);
        bool ok = true;
        timed(
            dest,
            [&] {
                op.SetSources({source});
                op.SetDestination(dest);
                ok = op.Execute();
            },
            engineTimes, engineDisk);
        if (!ok)
            std::fprintf(stderr, "copy_files: the engine did not finish its copy\n");
    };
    const auto cp = [&](int round) {
        const std::string dest = dir + "/out-" + set + "-cp" + std::to_string(round);
        timed(
            dest, [&] { spawnWait({"cp", "-a", source, dest + "/"}); }, cpTimes, cpDisk);
    };
    // Right after many files were deleted (the copies of the last run), the
    // file system takes seconds to make its first thousands of new ones: cp -a
    // of the small set took 9.2 s then, 1.2 s after. A copy nobody times takes
    // that, not the first tool of the first round.
    const std::string warm = dir + "/out-" + set + "-warm";
    made.push_back(warm);
    ::mkdir(warm.c_str(), 0755);
    spawnWait({"cp", "-a", source, warm + "/"});
    ::sync();
    evict(warm);
    for (int round = 0; round < rounds; ++round) {
        if (round % 2 == 0) {
            engine(round);
            cp(round);
        } else {
            cp(round);
            engine(round);
        }
        std::printf("copy_files %s round %d: engine %.3f s, cp %.3f s\n", set.c_str(), round + 1,
                    engineTimes.back(), cpTimes.back());
    }
    Figures f;
    f.engine = bench::Median(engineTimes);
    f.cp = bench::Median(cpTimes);
    f.ratio = f.cp > 0 ? f.engine / f.cp : 0;
    f.engineToDisk = bench::Median(engineDisk);
    f.cpToDisk = bench::Median(cpDisk);
    f.ratioToDisk = f.cpToDisk > 0 ? f.engineToDisk / f.cpToDisk : 0;
    return f;
}

/// The engine on the small set with the quiet window and with the real progress
/// window (shown from the start), the better of two rounds each, taking turns
/// at going first; the copies join `made`.
Figures windowCost(const std::string& dir, TFileOperator& op, FileOpWindow& quiet,
                   TFileOpProgressForm& form, std::vector<std::string>& made) {
    Figures f{1e9, 1e9, 0}; // engine: with the window; cp: quiet
    const std::string source = dir + "/small";
    for (int round = 0; round < 2; ++round) {
        FileOpWindow* const first = round == 0 ? static_cast<FileOpWindow*>(&form) : &quiet;
        FileOpWindow* const second = round == 0 ? static_cast<FileOpWindow*>(&quiet) : &form;
        for (FileOpWindow* window : {first, second}) {
            const std::string dest = dir + "/out-window" + std::to_string(made.size());
            made.push_back(dest);
            ::mkdir(dest.c_str(), 0755);
            ::sync();
            op.SetWindow(window);
            op.SetSources({source});
            op.SetDestination(dest);
            const double t = bench::Seconds([&] { op.Execute(); });
            double& best = window == &quiet ? f.cp : f.engine;
            best = std::min(best, t);
        }
    }
    op.SetWindow(&quiet);
    return f;
}

} // namespace

int main(int argc, char** argv) {
    const std::string dir = bench::DataFolder(argc, argv, "copy-data");
    if (dir.empty())
        return 1;
    if (!makeData(dir)) {
        std::fprintf(stderr, "copy_files: cannot make the test data in %s\n", dir.c_str());
        return 1;
    }
    // Copies left by an interrupted run would turn the copies into replaces.
    std::vector<std::string> made = {"rm", "-rf"};
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(dir, error))
        if (entry.path().filename().string().rfind("out-", 0) == 0)
            made.push_back(entry.path().string());
    if (made.size() > 2) {
        spawnWait(made);
        made.resize(2);
    }
    // Every copy stays until the end: twelve of each set, four more of the small one.
    const uintmax_t needed =
        12 * uintmax_t{kBigSize} * kBigFiles + 16 * (uintmax_t{kSmallFiles} * 8 * 1024);
    const std::filesystem::space_info space = std::filesystem::space(dir, error);
    if (!error && space.available < needed) {
        std::fprintf(stderr, "copy_files: the copies need %ju MiB free in %s, there are %ju MiB\n",
                     needed >> 20, dir.c_str(), space.available >> 20);
        return 1;
    }
    platform::DriveTable drives;
    bench::SilentPrompter prompter;
    QuietFileOpWindow window;
    TFileOperator op(drives, prompter);
    op.SetWindow(&window);
    op.Operation = FileOperation::foCopy;
    op.Flags = {FileOpFlag::foNoConfirmMkDir};

    const Figures big = compare(dir, "big", op, 5, made);
    const Figures small = compare(dir, "small", op, 5, made);

    // What the progress window costs (offscreen when there is no display).
    if (!std::getenv("DISPLAY") && !std::getenv("QT_QPA_PLATFORM"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int qtArgc = 1;
    char name[] = "copy_files";
    char* qtArgv[] = {name, nullptr};
    QApplication app(qtArgc, qtArgv);
    TFileOpProgressForm form;
    form.showDelay = 0;
    const Figures cost = windowCost(dir, op, window, form, made);
    spawnWait(made);
    std::printf("copy_files progress_window small_seconds=%.3f quiet_small_seconds=%.3f "
                "draws=%d cost=%.1f%%\n",
                cost.engine, cost.cp, form.drawCount(), 100.0 * (cost.engine - cost.cp) / cost.cp);
    const double bytes = static_cast<double>(kBigFiles) * static_cast<double>(kBigSize);
    std::printf("copy_files bytes=%.0f files=%d seconds=%.3f cp_seconds=%.3f ratio=%.3f "
                "small_files=%d small_seconds=%.3f small_cp_seconds=%.3f small_ratio=%.3f "
                "disk_seconds=%.3f disk_cp_seconds=%.3f disk_ratio=%.3f\n",
                bytes, kBigFiles, big.engine, big.cp, big.ratio, kSmallFiles, small.engine,
                small.cp, small.ratio, big.engineToDisk, big.cpToDisk, big.ratioToDisk);
    return 0;
}
