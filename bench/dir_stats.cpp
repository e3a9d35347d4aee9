// Times the statistics walk of the "Info" page (totals, years and file types)
// over a tree against du(1) on the same tree, warm cache:
//   dir_stats DIR
// Last line: dir_stats entries=N seconds=S du_seconds=D ratio=R
// DIR_STATS_THREADS=N in the environment sets the number of walking threads.
#include "benchsupport.h"
#include "search/dirstatistics.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>

extern char** environ;

namespace {

using namespace zentrix;

double runDu(const std::string& dir) {
    return bench::TimeTool({"du", "-s", dir});
}

} // namespace

int main(int argc, char** argv) {
    const std::string dir = bench::TreeArgument(argc, argv, "dir_stats");
    if (dir.empty())
        return argc < 2 ? 2 : 1;
    runDu(dir); // warm the cache

    // Best of three each, alternating, so that a busy moment of the machine
    // weighs on both alike.
    double seconds = 1e9;
    double duSeconds = 1e9;
    DirTotals totals;
    for (int round = 0; round < 3; ++round) {
        DirStatisticsWalk::Options options;
        options.threads = std::getenv("DIR_STATS_THREADS")
                              ? std::atoi(std::getenv("DIR_STATS_THREADS"))
                              : DirStatisticsWalk::DefaultThreads();
        const auto start = std::chrono::steady_clock::now();
        totals = DirStatisticsWalk::Walk(dir, "T:\\", options);
        seconds = std::min(
            seconds,
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        duSeconds = std::min(duSeconds, runDu(dir));
    }
    std::printf("files=%llu directories=%llu bytes=%llu allocated=%llu types=%zu threads=%d\n",
                static_cast<unsigned long long>(totals.files),
                static_cast<unsigned long long>(totals.directories),
                static_cast<unsigned long long>(totals.spaceUsed),
                static_cast<unsigned long long>(totals.actuallyUsed), totals.types.Count(),
                DirStatisticsWalk::DefaultThreads());
    std::printf("dir_stats entries=%llu seconds=%.3f du_seconds=%.3f ratio=%.2f\n",
                static_cast<unsigned long long>(totals.files + totals.directories), seconds,
                duSeconds, duSeconds > 0 ? seconds / duSeconds : 0);
    return 0;
}
