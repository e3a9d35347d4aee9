// Times the file window's fill in the real main window against the model's
// own fill on the same catalogue:
//   window_fill DIR
// A TMainForm (offscreen) gets DIR as drive T:, logs its whole branch, and
// shows the disk's files ("S" in the tree) with "*.HTML" and with "*.*" (which
// ends in the entry limit); then a plain FileWindow with no window fills the
// same scope. "Refresh all directories" is timed too.
// Last line: window_fill records=N window_ms=W model_ms=M ratio=R (R = W / M)
#include "benchsupport.h"
#include "catalogue/catalogue.h"
#include "catalogue/disklogger.h"
#include "config/settings.h"
#include "core/appstate.h"
#include "core/progress.h"
#include "filewindow/filewindow.h"
#include "gui/app/tmainform.h"
#include "gui/app/zentrixapp.h"
#include "gui/errors/exceptionreporter.h"
#include "gui/filewindow/filewindowcontroller.h"
#include "gui/tree/thetreeview.h"
#include "platform/collation.h"
#include "platform/drivetable.h"
#include "silentprompter.h"

#include <QApplication>

#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

using namespace zentrix;
using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Lets the window run until its queue is empty and no refill is pending.
void settle(TMainForm& form, AppState& state) {
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        form.IdleHandler();
    } while (state.refillRequested);
}

// The disk's files ("S", the window's DiskShowAllLogged) with a specification
// applied as the box applies a typed one: the time until the window shows them.
double windowFill(TMainForm& form, AppState& state, const std::string& spec) {
    form.fileWindow().model().ApplyTypedFileSpec(spec);
    state.scope = 1;
    settle(form, state);
    form.MainTreeView->setFocus();
    const int fills = form.fillCount();
    const auto t0 = Clock::now();
    form.runCommand("DiskShowAllLogged");
    while (form.fillCount() == fills)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    const double ms = msSince(t0);
    settle(form, state);
    return ms;
}

} // namespace

int main(int argc, char** argv) {
    const std::string dir = bench::TreeArgument(argc, argv, "window_fill");
    if (dir.empty())
        return argc < 2 ? 2 : 1;
    // The window's settings and logs go to a folder of their own.
    char home[] = "/tmp/zentrix-window-fill-XXXXXX";
    if (!::mkdtemp(home)) {
        std::perror("mkdtemp");
        return 1;
    }
    ::setenv("ZENTRIX_HOME", home, 1);
    if (!std::getenv("QT_QPA_PLATFORM"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    platform::InitCollation();

    platform::DriveTable drives = platform::DriveTable::FromSpec(
        "T=" + dir, platform::DriveTable::ReadMountTable());
    Catalogue catalogue(drives);
    AppState state;
    state.currentDisk = 'T';
    Settings settings;
    settings.ShowHintsAtStartUp = settings.ShowQuotesAtStartUp = false;
    settings.SkipQuitOption = true;
    bench::SilentPrompter prompter;
    ExceptionReporter reporter(std::string(home) + "/ERRORS.LOG");

    {
        TMainForm form(catalogue, state, settings, drives, &prompter);
        ShowMainWindow(form, {}, reporter);
        settle(form, state);
        auto t0 = Clock::now();
        form.runCommand("LogDirBranch");
        settle(form, state);
        std::printf("branch logged: %.0f ms\n", msSince(t0));
        const long long records = catalogue.CountFiles(false);

        const double htmlMs = windowFill(form, state, "*.HTML");
        const int htmlEntries = form.fileWindow().model().Count();
        const double allMs = windowFill(form, state, "*.*");
        std::printf("window S *.HTML: %.1f ms, %d entries; S *.*: %.1f ms (entry limit)\n", htmlMs,
                    htmlEntries, allMs);

        state.scope = 1;
        settle(form, state);
        t0 = Clock::now();
        form.runCommand("miVolRefreshAllDirsClick");
        settle(form, state);
        const double refreshMs = msSince(t0);
        {
            NullProgress quiet;
            t0 = Clock::now();
            form.logger().RefreshAllDirectories(quiet);
            std::printf("refresh all directories: window %.0f ms, without a window %.0f ms\n",
                        refreshMs, msSince(t0));
            settle(form, state);
        }

        // The model alone, on the same catalogue and selection.
        NullProgress progress;
        FileWindow model(catalogue, state, settings, prompter, progress, form.logger());
        model.ApplyTypedFileSpec("*.HTML");
        state.scope = 3;
        t0 = Clock::now();
        model.FillMainListBox();
        const double modelMs = msSince(t0);
        std::printf("model S *.HTML: %.1f ms, %d entries\n", modelMs, model.Count());
        state.scope = 1;

        std::printf("window_fill records=%lld window_ms=%.1f model_ms=%.1f ratio=%.2f\n", records,
                    htmlMs, modelMs, modelMs > 0 ? htmlMs / modelMs : 0);
        form.hide();
    }
    std::error_code ignored;
    std::filesystem::remove_all(home, ignored);
    return 0;
}
