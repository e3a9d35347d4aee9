// Times the directory tree window on a large tree, offscreen:
//   tree_view DIR
// Makes DIR as 100 x 40 x 25 directories (104,101 in all) when it does not
// exist, logs its whole branch with the tree view attached, scrolls through
// it, and sorts it fully; last line:
// tree_view dirs=N log_ms=A rebuild_ms=B scroll_ms=C scroll_pages=P sort_ms=D find_ms=F
#include "catalogue/catalogue.h"
#include "catalogue/disklogger.h"
#include "config/settings.h"
#include "core/appstate.h"
#include "core/prompter.h"
#include "silentprompter.h"
#include "gui/app/tmainform.h"
#include "gui/tree/cataloguetreemodel.h"
#include "gui/tree/thetreeview.h"
#include "platform/drivetable.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <cstdio>
#include <climits>
#include <cstdlib>
#include <sys/stat.h>

using namespace zentrix;

namespace {


} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: tree_view DIR\n");
        return 2;
    }
    struct stat st{};
    if (::stat(argv[1], &st) != 0) {
        ::mkdir(argv[1], 0755);
        char path[4096];
        for (int a = 0; a < 100; ++a)
            for (int b = 0; b < 40; ++b)
                for (int c = 0; c < 25; ++c) {
                    std::snprintf(path, sizeof path, "%s/d%02d", argv[1], a);
                    ::mkdir(path, 0755);
                    std::snprintf(path, sizeof path, "%s/d%02d/sub %02d", argv[1], a, b);
                    ::mkdir(path, 0755);
                    std::snprintf(path, sizeof path, "%s/d%02d/sub %02d/leaf%02d", argv[1], a, b, c);
                    ::mkdir(path, 0755);
                }
    }
    char resolved[PATH_MAX];
    if (!::realpath(argv[1], resolved)) {
        std::perror(argv[1]);
        return 1;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::string home = "/tmp/zentrix-bench-home";
    setenv("ZENTRIX_HOME", home.c_str(), 1);
    QApplication app(argc, argv);
    platform::DriveTable drives =
        platform::DriveTable::FromSpec(std::string("T=") + resolved, platform::DriveTable::ReadMountTable());
    Catalogue catalogue(drives);
    AppState state;
    Settings settings;
    state.currentDisk = 'T';
    bench::SilentPrompter prompter;
    TMainForm form(catalogue, state, settings, drives, &prompter);
    form.resize(900, 700);
    form.show();
    app.processEvents();
    form.logger().LogDrive('T');
    app.processEvents();

    QElapsedTimer t;
    t.start();
    form.LogDirBranch();
    const qint64 logMs = t.elapsed();
    t.restart();
    app.processEvents(); // the view lays itself out again
    form.MainTreeView->viewport()->repaint();
    const qint64 rebuildMs = t.elapsed();

    int dirs = 0;
    catalogue.Tree().ForEachNode([&](TTreeNode*) {
        ++dirs;
        return true;
    });

    // Scroll through the whole tree a page at a time, painting each page.
    t.restart();
    QScrollBar* bar = form.MainTreeView->verticalScrollBar();
    int pages = 0;
    for (int v = 0; v <= bar->maximum() && pages < 400; v += bar->pageStep() * (bar->maximum() / bar->pageStep() / 400 + 1), ++pages) {
        bar->setValue(v);
        form.MainTreeView->viewport()->repaint();
    }
    const qint64 scrollMs = t.elapsed();

    t.restart();
    catalogue.Tree().FullSort();
    app.processEvents();
    form.MainTreeView->viewport()->repaint();
    const qint64 sortMs = t.elapsed();

    // Finding a deep node by its path.
    t.restart();
    TTreeNode* last = catalogue.Tree().LastNode();
    const std::string path = last ? last->Path() : std::string("T:\\");
    form.logger().FindNodeByPath(path);
    form.scrollIntoView(last);
    const qint64 findMs = t.elapsed();

    std::printf("tree_view dirs=%d log_ms=%lld rebuild_ms=%lld scroll_ms=%lld scroll_pages=%d "
                "sort_ms=%lld find_ms=%lld\n",
                dirs, static_cast<long long>(logMs), static_cast<long long>(rebuildMs),
                static_cast<long long>(scrollMs), pages, static_cast<long long>(sortMs),
                static_cast<long long>(findMs));
    return 0;
}
