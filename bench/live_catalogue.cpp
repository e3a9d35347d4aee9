// Keeps the catalogue of the 1,000,000-file tree in step while another process
// changes it: 10,000 changes (create, append, rename within and across
// directories, delete) spread over 1,000 directories.
//   live_catalogue [DIR]
// DIR defaults to the tree the other benchmarks use (bench-tree in the build
// folder), made with make-tree when it is missing. The tree is left as it was:
// every file the changes make is deleted by them.
// Reference: reading every logged directory again by hand (what following
// replaces), timed in the same run.
// Last line: live_catalogue dirs=D changes=N setup_ms=S p50_ms=A p99_ms=B
//            idle_cpu_pct=C bytes_per_dir=M mismatches=X
#include "benchsupport.h"
#include "catalogue/diskaudit.h"
#include "catalogue/livecatalogue.h"
#include "platform/dirwatcher.h"
#include "treecatalogue.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <fcntl.h>
#include <malloc.h>
#include <mutex>
#include <new>
#include <signal.h>
#include <string>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace zentrix;

constexpr int kDirs = 1000;
constexpr int kFiles = 2500;         // each made, appended to, renamed, deleted
constexpr int kChanges = 4 * kFiles; // 10,000
constexpr int kBurst = 25;           // changes made together ...
constexpr long kBurstGapUs = 25000;  // ... every 25 ms: 1,000 changes a second

enum Kind : int { Create, Append, Rename, Delete };

// What the changing process publishes for the catalogue's side, in shared memory.
struct Shared {
    std::atomic<int> made{0}; // changes done so far
    std::atomic<int> goOn{0}; // the catalogue has checked the middle state
    std::atomic<int> failed{0};
    int64_t doneAt[kChanges]; // CLOCK_MONOTONIC ns when each change was done
};

int64_t nowNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

struct Plan {
    int file;
    Kind kind;
    std::string path;   // host path acted on
    std::string target; // rename target
    int dir;            // directory before the change (index into dirs)
    int toDir;          // directory after it
    std::string name;   // catalogue name before
    std::string toName; // catalogue name after
};

double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

size_t heapInUse() {
    return mallinfo2().uordblks;
}

bool hasFile(const TTreeNode* node, const std::string& name, int64_t size) {
    if (!node->Data())
        return false;
    for (const TFileClass* f : node->Data()->FileList())
        if (f->FileName() == name)
            return size < 0 || f->FileSize() == size;
    return false;
}

// The changing process: the plan, in bursts, each change stamped when done.
void change(Shared& shared, const std::vector<Plan>& plan) {
    for (int i = 0; i < kChanges; ++i) {
        const Plan& p = plan[static_cast<size_t>(i)];
        if (i == 3 * kFiles) {
            // The middle state (files made, written and moved) is checked first.
            while (!shared.goOn.load())
                usleep(10000);
        }
        bool ok = true;
        switch (p.kind) {
        case Create:
        case Append: {
            const int fd = ::open(
                p.path.c_str(),
                O_WRONLY | O_CREAT | O_CLOEXEC | (p.kind == Append ? O_APPEND : O_EXCL), 0644);
            ok = fd >= 0 && ::write(fd, "hello", 5) == 5;
            if (fd >= 0)
                ::close(fd);
            break;
        }
        case Rename:
            ok = ::rename(p.path.c_str(), p.target.c_str()) == 0;
            break;
        case Delete:
            ok = ::unlink(p.path.c_str()) == 0;
            break;
        }
        if (!ok)
            shared.failed.fetch_add(1);
        shared.doneAt[i] = nowNs();
        shared.made.store(i + 1);
        if ((i + 1) % kBurst == 0)
            usleep(kBurstGapUs);
    }
}

} // namespace

int main(int argc, char** argv) {
    std::string dir = bench::DataFolder(argc, argv, "../bench-tree");
    if (argc < 2) {
        struct stat st {};
        if (::stat((dir + "/.complete").c_str(), &st) != 0) {
            const std::string maker = bench::DataFolder(1, argv, "make-tree");
            std::printf("making the tree in %s ...\n", dir.c_str());
            if (bench::TimeTool({maker, dir, "--files", "1000000"}) < 0)
                return 1;
            std::fclose(std::fopen((dir + "/.complete").c_str(), "w"));
        }
    }
    {
        char resolved[PATH_MAX];
        if (!::realpath(dir.c_str(), resolved)) {
            std::perror(dir.c_str());
            return 1;
        }
        dir = resolved;
    }
    // Whatever an interrupted run left behind goes (this also warms the cache).
    bench::TimeTool({"find", dir, "-name", "zx-live-*", "-delete"});

    bench::TreeCatalogue tree(dir);
    Catalogue& catalogue = tree.catalogue;
    DiskLogger& logger = tree.logger;
    TTreeNode* root = tree.root;
    logger.LogBranchRecursive(root);
    const int logged = catalogue.LoggedDirs().Count();

    // Reference: every directory read again by hand.
    auto start = std::chrono::steady_clock::now();
    for (TLoggedClass* d : catalogue.LoggedDirs())
        logger.RefreshDir(d->DirNode());
    const double refreshMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();

    std::mutex mutex;
    std::condition_variable cv;
    bool ready = false;
    LiveCatalogue live(catalogue, logger, tree.settings, tree.state, [&] {
        std::lock_guard<std::mutex> lock(mutex);
        ready = true;
        cv.notify_all();
    });
    malloc_trim(0);
    const size_t heapBefore = heapInUse();
    start = std::chrono::steady_clock::now();
    live.SetEnabled(true);
    const double setupMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    const size_t watched = live.Watches();
    const double bytesPerDir =
        watched ? double(heapInUse() - std::min(heapInUse(), heapBefore)) / double(watched) : 0;
    if (watched < static_cast<size_t>(logged))
        std::printf("watched %zu of %d logged directories (fs.inotify.max_user_watches=%zu, "
                    "budget %zu)\n",
                    watched, logged, platform::DirWatcher::SystemLimit(), live.Budget());

    // The directories changed: spread over the followed ones.
    std::vector<TTreeNode*> followed;
    catalogue.Tree().ForEachNode([&](TTreeNode* n) {
        if (n->Follow() == FollowState::Followed)
            followed.push_back(n);
        return true;
    });
    if (followed.size() < static_cast<size_t>(kDirs)) {
        std::fprintf(stderr, "only %zu directories are followed; %d are needed\n", followed.size(),
                     kDirs);
        return 1;
    }
    std::vector<TTreeNode*> dirs;
    std::vector<std::string> hostDirs;
    for (int i = 0; i < kDirs; ++i) {
        dirs.push_back(followed[followed.size() * static_cast<size_t>(i) / kDirs]);
        hostDirs.push_back(*catalogue.HostPath(dirs.back()));
    }

    // The plan: every file made, written to, renamed (half within its
    // directory, half into the next one) and deleted, phase by phase.
    std::vector<Plan> plan;
    plan.reserve(kChanges);
    auto nameOf = [](int f, const char* ext) {
        return "zx-live-" + std::to_string(f) + ext;
    };
    for (int phase = 0; phase < 4; ++phase)
        for (int f = 0; f < kFiles; ++f) {
            const int d = f % kDirs;
            const int moveTo = (f % 2) ? (d + 1) % kDirs : d;
            const std::string made = nameOf(f, ".tmp");
            const std::string moved = nameOf(f, (f % 2) ? ".mov" : ".ren");
            Plan p{f, Kind(phase), "", "", d, d, made, made};
            switch (phase) {
            case Create:
            case Append:
                p.path = hostDirs[size_t(d)] + "/" + made;
                break;
            case Rename:
                p.path = hostDirs[size_t(d)] + "/" + made;
                p.target = hostDirs[size_t(moveTo)] + "/" + moved;
                p.toDir = moveTo;
                p.toName = moved;
                break;
            case Delete:
                p.path = hostDirs[size_t(moveTo)] + "/" + moved;
                p.dir = p.toDir = moveTo;
                p.name = p.toName = moved;
                break;
            }
            plan.push_back(std::move(p));
        }

    auto* shared = static_cast<Shared*>(
        mmap(nullptr, sizeof(Shared), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0));
    if (shared == MAP_FAILED)
        return 1;
    new (shared) Shared();
    const pid_t child = fork();
    if (child == 0) {
        change(*shared, plan);
        _exit(0);
    }

    // Follow the changes; each is seen when the catalogue first shows the
    // state it made (or a later change of the same file).
    std::vector<int64_t> seenAt(kChanges, 0);
    std::vector<int> lastOf(kFiles, -1); // the latest change of each file made so far
    int firstOpen = 0;
    int mismatches = 0;
    bool middleChecked = false;
    auto shows = [&](const Plan& p) {
        switch (p.kind) {
        case Create:
            return hasFile(dirs[size_t(p.dir)], p.name, -1);
        case Append:
            return hasFile(dirs[size_t(p.dir)], p.name, 10);
        case Rename:
            return !hasFile(dirs[size_t(p.dir)], p.name, -1) &&
                   hasFile(dirs[size_t(p.toDir)], p.toName, 10);
        case Delete:
            return !hasFile(dirs[size_t(p.dir)], p.name, -1);
        }
        return false;
    };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(5);
    while (firstOpen < kChanges && std::chrono::steady_clock::now() < deadline) {
        {
            std::unique_lock<std::mutex> lock(mutex);
            cv.wait_for(lock, std::chrono::milliseconds(100), [&] { return ready; });
            ready = false;
        }
        live.Apply();
        const int64_t now = nowNs();
        const int made = shared->made.load();
        for (int i = 0; i < made; ++i)
            lastOf[size_t(plan[size_t(i)].file)] =
                std::max(lastOf[size_t(plan[size_t(i)].file)], i);
        for (int i = firstOpen; i < made; ++i) {
            if (seenAt[size_t(i)])
                continue;
            const Plan& p = plan[size_t(i)];
            const int latest = lastOf[size_t(p.file)];
            if (!shows(plan[size_t(latest)]))
                continue;
            // Every earlier change of the file is shown by now as well.
            for (int k = p.kind; k >= 0; --k) {
                const int idx = k * kFiles + p.file;
                if (idx <= latest && !seenAt[size_t(idx)])
                    seenAt[size_t(idx)] = now;
            }
        }
        while (firstOpen < made && seenAt[size_t(firstOpen)])
            ++firstOpen;
        if (!middleChecked && firstOpen == 3 * kFiles) {
            middleChecked = true;
            mismatches += static_cast<int>(DiskAudit(catalogue, root, true).size());
            shared->goOn.store(1);
        }
    }
    int status = 0;
    if (!middleChecked)
        shared->goOn.store(1);
    waitpid(child, &status, 0);
    if (firstOpen < kChanges)
        std::fprintf(stderr, "%d changes were never seen\n", kChanges - firstOpen);
    if (shared->failed.load())
        std::fprintf(stderr, "%d changes failed on disk\n", shared->failed.load());

    // Idle: nothing changes for ten seconds.
    const double cpuBefore = cpuSeconds();
    const auto idleStart = std::chrono::steady_clock::now();
    const auto idleEnd = idleStart + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < idleEnd) {
        std::unique_lock<std::mutex> lock(mutex);
        if (cv.wait_until(lock, idleEnd, [&] { return ready; })) {
            ready = false;
            lock.unlock();
            live.Apply();
        }
    }
    const double idleSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - idleStart).count();
    const double idlePct = 100.0 * (cpuSeconds() - cpuBefore) / idleSeconds;
    const std::vector<std::string> finalAudit = DiskAudit(catalogue, root, true);
    for (size_t i = 0; i < finalAudit.size() && i < 10; ++i)
        std::fprintf(stderr, "mismatch: %s\n", finalAudit[i].c_str());
    mismatches += static_cast<int>(finalAudit.size()) + (kChanges - firstOpen);

    std::vector<double> latencies;
    for (int i = 0; i < kChanges; ++i)
        if (seenAt[size_t(i)])
            latencies.push_back(double(seenAt[size_t(i)] - shared->doneAt[i]) / 1e6);
    std::sort(latencies.begin(), latencies.end());
    auto pct = [&](double q) {
        return latencies.empty() ? 0.0
                                 : latencies[std::min(latencies.size() - 1,
                                                      size_t(q * double(latencies.size())))];
    };
    std::printf("reference: reading all %d directories again by hand took %.0f ms\n", logged,
                refreshMs);
    std::printf("live_catalogue dirs=%zu changes=%d setup_ms=%.0f p50_ms=%.0f p99_ms=%.0f "
                "idle_cpu_pct=%.2f bytes_per_dir=%.0f mismatches=%d\n",
                watched, kChanges, setupMs, pct(0.50), pct(0.99), idlePct, bytesPerDir, mismatches);
    munmap(shared, sizeof(Shared));
    return 0;
}
