// Times undoing moves against the moves themselves, with the undo journal:
//   undo [DIR]
// DIR (default: undo-data beside this program) gets 10,000 files of 0-4 KiB in
// 100 directories, made once. They are moved, as one command, into one
// directory of the same file system and undone; then moved across file
// systems (into /dev/shm) and undone. The journal's own cost is the time of
// the move within one file system, where it weighs most, with the journal
// against without it (put back by plain renames, not timed). After a move and
// undo untimed, the rounds alternate their order; best of four rounds
// (ZENTRIX_BENCH_ROUNDS for another number). Last line:
// undo files=N move_seconds=M undo_seconds=U ratio=R cross_ratio=C journal_cost=P%
#include "benchsupport.h"
#include "core/progress.h"
#include "ops/quietfileopwindow.h"
#include "ops/tfileoperator.h"
#include "platform/drivetable.h"
#include "silentprompter.h"
#include "undo/undojournal.h"
#include "undo/undorunner.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace zentrix;
namespace fs = std::filesystem;

constexpr int kDirs = 100;
constexpr int kFiles = 10000;

std::string fileName(int i) {
    char name[32];
    std::snprintf(name, sizeof name, "f%05d.dat", i);
    return name;
}

std::string dirName(int i) {
    char name[16];
    std::snprintf(name, sizeof name, "d%02d", i % kDirs);
    return name;
}

bool makeSources(const std::string& src) {
    if (fs::exists(src + "/.complete"))
        return true;
    fs::remove_all(src);
    std::mt19937 random(7);
    std::vector<char> bytes(4096, 'z');
    for (int i = 0; i < kFiles; ++i) {
        const std::string dir = src + "/" + dirName(i);
        fs::create_directories(dir);
        const int fd =
            ::open((dir + "/" + fileName(i)).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0)
            return false;
        const size_t size = random() % 4097;
        const bool ok = ::write(fd, bytes.data(), size) == static_cast<ssize_t>(size);
        ::close(fd);
        if (!ok)
            return false;
    }
    ::close(::open((src + "/.complete").c_str(), O_WRONLY | O_CREAT, 0644));
    return true;
}

/// Every source, as the tagged move of a file window hands them over.
std::vector<std::string> sourceList(char drive) {
    std::vector<std::string> list;
    for (int i = 0; i < kFiles; ++i)
        list.push_back(std::string(1, drive) + ":\\src\\" + dirName(i) + "\\" + fileName(i));
    return list;
}

/// Puts the files of a move without journal back by plain renames.
void putBack(const std::string& data, const std::string& to) {
    for (int i = 0; i < kFiles; ++i)
        ::rename((to + "/" + fileName(i)).c_str(),
                 (data + "/src/" + dirName(i) + "/" + fileName(i)).c_str());
}

struct Times {
    double move = 1e9;
    double undo = 1e9;
};

} // namespace

int main(int argc, char** argv) {
    const std::string data = bench::DataFolder(argc, argv, "undo-data");
    if (data.empty() || !makeSources(data + "/src")) {
        std::fprintf(stderr, "undo: cannot make the files in %s\n", data.c_str());
        return 1;
    }
    const std::string shm = "/dev/shm/zentrix-undo-bench-" + std::to_string(::getpid());
    struct stat here {
    }, there{};
    const bool cross = ::mkdir(shm.c_str(), 0700) == 0 && ::stat(data.c_str(), &here) == 0 &&
                       ::stat(shm.c_str(), &there) == 0 && here.st_dev != there.st_dev;
    const int rounds = std::max(
        1,
        std::atoi(std::getenv("ZENTRIX_BENCH_ROUNDS") ? std::getenv("ZENTRIX_BENCH_ROUNDS") : "4"));

    const platform::DriveTable drives =
        platform::DriveTable::FromSpec("D=" + data + ";E=" + shm, {});
    bench::SilentPrompter prompter;
    NullProgress progress;
    QuietFileOpWindow window;
    TFileOperator op(drives, prompter);
    op.SetWindow(&window);
    op.Flags = {FileOpFlag::foAllowUndo, FileOpFlag::foNoConfirmMkDir,
                FileOpFlag::foMultiDestFiles};
    op.Operation = FileOperation::foMove;
    fs::remove_all(data + "/home");
    UndoJournal journal(data + "/home/UNDO.JOURNAL");
    journal.Load();

    const std::vector<std::string> sources = sourceList('D');
    auto move = [&](const std::string& dest, bool recorded) {
        std::unique_ptr<OperationRecord> record;
        if (recorded)
            record = journal.Begin({OperationKind::Move, "D:\\src\\", dest, 0});
        op.Record = record.get();
        op.SetSources(sources);
        op.SetDestination(dest);
        const double t = bench::Seconds([&] {
            op.Execute();
            if (record)
                record->Commit();
        });
        op.Record = nullptr;
        return t;
    };
    auto undo = [&] {
        if (journal.Entries().empty()) {
            std::fprintf(stderr, "undo: the move recorded nothing\n");
            fs::remove_all(shm);
            std::exit(1);
        }
        UndoRunner runner(journal, prompter, progress);
        const uint64_t id = journal.Entries().back().id;
        UndoReport report;
        const double t = bench::Seconds([&] { report = runner.Run(id); });
        if (!report.leftAlone.empty() || report.putBack < kFiles) {
            std::fprintf(stderr, "undo: %zu files left alone, %lld put back\n",
                         report.leftAlone.size(), static_cast<long long>(report.putBack));
            fs::remove_all(shm);
            std::exit(1);
        }
        return t;
    };

    // One move and its undo untimed first, so that no round finds the files
    // colder than the others. Then the rounds alternate their order (within
    // one file system and without journal first, or across file systems
    // first), so that neither side always runs after the other; the best of
    // each counts.
    move("D:\\DST\\", true);
    undo();
    Times within, across;
    double plain = 1e9;
    for (int r = 0; r < rounds; ++r) {
        Times w, a;
        double p = 1e9;
        auto timeWithin = [&] {
            p = move("D:\\DST\\", false);
            putBack(data, data + "/DST");
            w.move = move("D:\\DST\\", true);
            w.undo = undo();
        };
        auto timeAcross = [&] {
            if (!cross)
                return;
            a.move = move("E:\\DST\\", true);
            a.undo = undo();
        };
        if (r % 2 == 0) {
            timeWithin();
            timeAcross();
        } else {
            timeAcross();
            timeWithin();
        }
        plain = std::min(plain, p);
        within.move = std::min(within.move, w.move);
        within.undo = std::min(within.undo, w.undo);
        across.move = std::min(across.move, a.move);
        across.undo = std::min(across.undo, a.undo);
        std::printf("round %d: move %.3f s, undo %.3f s, without journal %.3f s", r + 1, w.move,
                    w.undo, p);
        if (cross)
            std::printf(", across %.3f s, undo %.3f s", a.move, a.undo);
        std::printf("\n");
        std::fflush(stdout);
    }
    fs::remove_all(shm);
    const double cost = (within.move - plain) / plain * 100.0;
    std::printf("undo files=%d move_seconds=%.3f undo_seconds=%.3f ratio=%.2f cross_ratio=%s "
                "journal_cost=%.1f%%\n",
                kFiles, within.move, within.undo, within.undo / within.move,
                cross ? std::to_string(across.undo / across.move).substr(0, 4).c_str() : "n/a",
                cost);
    return 0;
}
