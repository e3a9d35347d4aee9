#include "log_branch_window.h"

#include "benchsupport.h"
#include "catalogue/catalogue.h"
#include "config/settings.h"
#include "core/appstate.h"
#include "gui/app/tmainform.h"
#include "gui/app/zentrixapp.h"
#include "gui/errors/exceptionreporter.h"
#include "platform/collation.h"
#include "platform/drivetable.h"
#include "silentprompter.h"

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <malloc.h>
#include <unistd.h>

namespace zentrix::bench {
namespace {

using Clock = std::chrono::steady_clock;

// Lets the window run until its queue is empty and no refill is pending.
void settle(TMainForm& form, AppState& state) {
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        form.IdleHandler();
    } while (state.refillRequested);
}

} // namespace

int LogBranchInWindow(const std::string& dir, int argc, char** argv) {
    // The window's settings and logs go to a folder of their own.
    char home[] = "/tmp/zentrix-log-branch-XXXXXX";
    if (!::mkdtemp(home)) {
        std::perror("mkdtemp");
        return 1;
    }
    ::setenv("ZENTRIX_HOME", home, 1);
    if (!std::getenv("QT_QPA_PLATFORM"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const std::vector<std::string> find = {"find", dir, "-printf", "%s %T@ %m\n"};
    TimeTool(find); // warm the cache
    QApplication app(argc, argv);
    platform::InitCollation();

    platform::DriveTable drives =
        platform::DriveTable::FromSpec("T=" + dir, platform::DriveTable::ReadMountTable());
    Catalogue catalogue(drives);
    AppState state;
    state.currentDisk = 'T';
    Settings settings;
    settings.ShowHintsAtStartUp = settings.ShowQuotesAtStartUp = false;
    settings.SkipQuitOption = true;
    SilentPrompter prompter;
    ExceptionReporter reporter(std::string(home) + "/ERRORS.LOG");
    {
        TMainForm form(catalogue, state, settings, drives, &prompter);
        ShowMainWindow(form, {}, reporter);
        settle(form, state);

        malloc_trim(0);
        const long before = ResidentBytes();
        const auto start = Clock::now();
        form.runCommand("LogDirBranch"); // Alt+B on the disk's root
        settle(form, state);
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        const long after = ResidentBytes();
        malloc_trim(0);
        const long trimmed = ResidentBytes();

        const double findSeconds = TimeTool(find);
        const long long files = catalogue.CountFiles(false);
        const long long dirs = catalogue.LoggedDirs().Count();
        auto perFile = [files](long bytes) {
            return files > 0 ? double(bytes) / double(files) : 0;
        };
        std::printf("window: resident %.1f MB before, %.1f MB after, %.1f MB after a trim\n",
                    double(before) / 1e6, double(after) / 1e6, double(trimmed) / 1e6);
        std::printf("log_branch window files=%lld dirs=%lld seconds=%.3f find_seconds=%.3f "
                    "ratio=%.2f program_bytes_per_file=%.1f trimmed_bytes_per_file=%.1f\n",
                    files, dirs, seconds, findSeconds, findSeconds > 0 ? seconds / findSeconds : 0,
                    perFile(after - before), perFile(trimmed - before));
        form.hide();
    }
    std::error_code ignored;
    std::filesystem::remove_all(home, ignored);
    return 0;
}

} // namespace zentrix::bench
