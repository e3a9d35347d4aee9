// Times the CD-ROM catalogue cache on a tree: the tree is logged whole as a
// CD-ROM, archived to its cache file, loaded back from it into an empty
// catalogue, and logged again from the disk (warm) for comparison:
//   cd_cache DIR
// Last line: cd_cache files=N bytes=B write_ms=W load_ms=L log_ms=G ratio=R
// with R = L / G (the load against a warm read of the same tree).
#include "benchsupport.h"
#include "catalogue/catalogue.h"
#include "catalogue/catalogueui.h"
#include "catalogue/cdcache.h"
#include "catalogue/disklogger.h"
#include "catalogue/loggeddisktabs.h"
#include "config/settings.h"
#include "core/appstate.h"
#include "core/progress.h"
#include "platform/drivetable.h"
#include "silentprompter.h"

#include <sys/stat.h>

#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

using namespace zentrix;

/// Gives the disc its title when asked.
class TitlePrompter : public bench::SilentPrompter {
public:
    std::optional<std::string> inputText(const std::string&, const std::string&,
                                         const std::string&) override {
        return std::string("Bench disc");
    }
};

/// A catalogue with its logger, as the program has one.
struct Session {
    explicit Session(const platform::DriveTable& drives, bool withCache)
        : catalogue(drives), tabs(state), logger(catalogue, state, settings, tabs, prompter, ui),
          cache(catalogue, state, settings, logger, prompter, progress, ui) {
        settings.SkipRestoreOption = true;
        settings.SkipArchiveOption = true;
        if (withCache)
            logger.SetCdCacheLoader(&cache);
    }
    Catalogue catalogue;
    AppState state;
    Settings settings;
    LoggedDiskTabs tabs;
    TitlePrompter prompter;
    CatalogueUi ui;
    NullProgress progress;
    DiskLogger logger;
    CdCache cache;

    TTreeNode* root() { return logger.FindNodeByPath("T:\\"); }
    void logWhole() {
        logger.LogDrive('T');
        logger.LogBranchRecursive(root());
    }
};

double msSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

} // namespace

int main(int argc, char** argv) {
    const std::string dir = bench::TreeArgument(argc, argv, "cd_cache");
    if (dir.empty())
        return argc < 2 ? 2 : 1;
    // The cache file goes beside this program, not into the user's files.
    const std::string home = bench::DataFolder(1, argv, "cd_cache-data");
    ::mkdir(home.c_str(), 0700);
    ::setenv("ZENTRIX_HOME", home.c_str(), 1);
    bench::TimeTool({"find", dir, "-printf", "%s %T@ %m\n"}); // warm the cache

    const platform::DriveTable drives = platform::DriveTable::FromSpec(
        "T=" + dir + ":cdrom:BENCH", platform::DriveTable::ReadMountTable());

    long long files = 0;
    long long bytes = 0;
    double writeMs = 0;
    {
        Session first(drives, false);
        first.logWhole();
        files = first.catalogue.CountFiles(false);
        first.state.currentDisk = 'T';
        const auto start = std::chrono::steady_clock::now();
        first.cache.ArchiveCDROMDisk();
        writeMs = msSince(start);
        const auto id = first.cache.DiscIdentification('T', first.state.volumeLabel);
        struct stat st {};
        if (!id || ::stat((CdCache::CacheDirectory() + *id + ".ccc").c_str(), &st) != 0) {
            std::fprintf(stderr, "cd_cache: no cache file was written\n");
            return 1;
        }
        bytes = st.st_size;
    }

    double loadMs = 0;
    {
        Session loaded(drives, true);
        const auto start = std::chrono::steady_clock::now();
        loaded.logger.LogDrive('T');
        loadMs = msSince(start);
        if (loaded.catalogue.CountFiles(false) != files) {
            std::fprintf(stderr, "cd_cache: the cache held %d files, the tree %lld\n",
                         loaded.catalogue.CountFiles(false), files);
            return 1;
        }
    }

    double logMs = 0;
    {
        Session warm(drives, false);
        const auto start = std::chrono::steady_clock::now();
        warm.logWhole();
        logMs = msSince(start);
    }

    std::printf("cd_cache files=%lld bytes=%lld write_ms=%.0f load_ms=%.0f log_ms=%.0f "
                "ratio=%.2f\n",
                files, bytes, writeMs, loadMs, logMs, logMs > 0 ? loadMs / logMs : 0);
    return 0;
}
