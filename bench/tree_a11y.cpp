// Times logging a whole tree in the real main window with assistive tools
// listening, against the same without them:
//   tree_a11y DIR
// A TMainForm (offscreen) gets DIR as drive T:; with the tree focused, its
// whole branch is logged (Alt+B) and the window settles. First without
// assistive tools, then, from the unlogged disk again, with a listener that
// does what a screen reader's bridge does with each event: it asks for the
// event's interface and, when the tree's rows change, for their number. (Qt's
// accessibility never switches on offscreen; the listener stands in for the
// platform's bridge.) Last line:
// tree_a11y dirs=D seconds=S plain_seconds=P a11y_ratio=R (R = S / P)
#include "benchsupport.h"
#include "catalogue/catalogue.h"
#include "catalogue/tree.h"
#include "config/settings.h"
#include "core/appstate.h"
#include "gui/app/tmainform.h"
#include "gui/app/zentrixapp.h"
#include "gui/controls/assistivetools.h"
#include "gui/errors/exceptionreporter.h"
#include "gui/tree/thetreeview.h"
#include "platform/collation.h"
#include "platform/drivetable.h"
#include "silentprompter.h"

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

using namespace zentrix;
using Clock = std::chrono::steady_clock;

long long g_events = 0;

void bridge(QAccessibleEvent* event) {
    ++g_events;
    QAccessibleInterface* iface = event->accessibleInterface();
    if (!iface)
        return;
    (void)iface->role();
    if (event->type() == QAccessible::ObjectReorder)
        (void)iface->childCount();
}

// Lets the window run until its queue is empty and no refill is pending.
void settle(TMainForm& form, AppState& state) {
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        form.IdleHandler();
    } while (state.refillRequested);
}

// Alt+B in the tree on the drive root, until the window has settled; seconds.
double logWhole(TMainForm& form, Catalogue& catalogue, AppState& state) {
    catalogue.Tree().Select(catalogue.Tree().FirstTop());
    form.MainTreeView->setFocus();
    settle(form, state);
    const auto start = Clock::now();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_B, Qt::AltModifier);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_B, Qt::AltModifier);
    QApplication::sendEvent(form.MainTreeView, &press);
    QApplication::sendEvent(form.MainTreeView, &release);
    settle(form, state);
    return std::chrono::duration<double>(Clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv) {
    const std::string dir = bench::TreeArgument(argc, argv, "tree_a11y");
    if (dir.empty())
        return argc < 2 ? 2 : 1;
    bench::TimeTool({"find", dir, "-printf", "%s\n"}); // warm the cache
    char home[] = "/tmp/zentrix-tree-a11y-XXXXXX";
    if (!::mkdtemp(home)) {
        std::perror("mkdtemp");
        return 1;
    }
    ::setenv("ZENTRIX_HOME", home, 1);
    if (!std::getenv("QT_QPA_PLATFORM"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
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
    bench::SilentPrompter prompter;
    ExceptionReporter reporter(std::string(home) + "/ERRORS.LOG");

    {
        TMainForm form(catalogue, state, settings, drives, &prompter);
        ShowMainWindow(form, {}, reporter);
        QApplication::setActiveWindow(&form);
        settle(form, state);

        const double plain = logWhole(form, catalogue, state);
        int dirs = 0;
        catalogue.Tree().ForEachNode([&](TTreeNode*) {
            ++dirs;
            return true;
        });
        std::printf("without accessibility: %.2f s, %d directories\n", plain, dirs);

        // Back to the disk's root alone ("&Collapse all disks"), then again with
        // assistive tools listening.
        form.runCommand("pmiCollapseAllDrivesClick");
        settle(form, state);
        SetAccessibilityListener(&bridge);
        (void)QAccessible::queryAccessibleInterface(&form)->childCount();
        const double withTools = logWhole(form, catalogue, state);
        std::printf("with accessibility: %.2f s, %lld events\n", withTools, g_events);
        SetAccessibilityListener(nullptr);

        std::printf("tree_a11y dirs=%d seconds=%.2f plain_seconds=%.2f a11y_ratio=%.2f\n", dirs,
                    withTools, plain, plain > 0 ? withTools / plain : 0);
        form.hide();
    }
    std::error_code ignored;
    std::filesystem::remove_all(home, ignored);
    return 0;
}
