// Times LogBranchRecursive over a tree against find(1) on the same tree:
//   log_branch DIR
// Three rounds each, medians count.
// Last line: log_branch files=N dirs=D seconds=S find_seconds=F ratio=R bytes_per_file=B
// With --window after DIR, the real main window (offscreen) logs the disk:
//   log_branch DIR --window
// Last line: log_branch window files=N ... program_bytes_per_file=B
#include "benchsupport.h"
#include "log_branch_window.h"
#include "treecatalogue.h"

#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <malloc.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using namespace zentrix;


double runFind(const std::string& dir) {
    return bench::TimeTool({"find", dir, "-printf", "%s %T@ %m\n"});
}

} // namespace

int main(int argc, char** argv) {
    const std::string dir = bench::TreeArgument(argc, argv, "log_branch");
    if (dir.empty())
        return argc < 2 ? 2 : 1;
    if (argc > 2 && std::string(argv[2]) == "--window")
        return bench::LogBranchInWindow(dir, argc, argv);
    runFind(dir); // warm the cache

    // Three rounds, the two tools taking turns at going first; the figures are
    // the medians, so one slow moment of a shared machine moves neither. The
    // memory is that of the first round, read into a fresh process.
    constexpr int kRounds = 3;
    std::vector<double> ownTimes, findTimes;
    long long files = 0, dirs = 0;
    double bytesPerFile = 0;
    for (int round = 0; round < kRounds; ++round) {
        if (round % 2 == 1)
            findTimes.push_back(runFind(dir));
        {
            bench::TreeCatalogue tree(dir);
            Catalogue& catalogue = tree.catalogue;
            malloc_trim(0);
            rusage usageBefore{}, usageAfter{};
            getrusage(RUSAGE_SELF, &usageBefore);
            const long before = bench::ResidentBytes();
            const auto start = std::chrono::steady_clock::now();
            tree.logger.LogBranchRecursive(tree.root);
            ownTimes.push_back(
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
            const long after = bench::ResidentBytes();
            getrusage(RUSAGE_SELF, &usageAfter);
            auto secs = [](const timeval& a, const timeval& b) {
                return double(b.tv_sec - a.tv_sec) + double(b.tv_usec - a.tv_usec) / 1e6;
            };
            std::printf("round %d: %.3f s (user %.3f s, system %.3f s)\n", round + 1,
                        ownTimes.back(), secs(usageBefore.ru_utime, usageAfter.ru_utime),
                        secs(usageBefore.ru_stime, usageAfter.ru_stime));
            files = catalogue.CountFiles(false);
            dirs = catalogue.LoggedDirs().Count();
            if (round == 0)
                bytesPerFile = files > 0 ? double(after - before) / double(files) : 0;
        }
        if (round % 2 == 0)
            findTimes.push_back(runFind(dir));
        std::printf("round %d: find %.3f s\n", round + 1, findTimes.back());
    }
    const double seconds = bench::Median(ownTimes);
    const double findSeconds = bench::Median(findTimes);
    std::printf("log_branch files=%lld dirs=%lld seconds=%.3f find_seconds=%.3f ratio=%.2f "
                "bytes_per_file=%.1f\n",
                files, dirs, seconds, findSeconds, findSeconds > 0 ? seconds / findSeconds : 0,
                bytesPerFile);
    return 0;
}
