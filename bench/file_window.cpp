// Times the file window on a catalogue of synthesised records:
//   file_window [--files N] [--no-draw]
// (a) a global fill with "*.TXT" and with "*.*" (which ends in the entry limit),
// (b) TQSort of 32,767 entries by name, size and date, (c) std::sort with the
// same comparison on the same entries; then how many rows per second the
// large-icon format draws while scrolling a 32,767-entry window offscreen.
// Last line: file_window records=N fill_ms=A fill_all_ms=B qsort_ms=C stdsort_ms=D ratio=E
#include "catalogue/catalogue.h"
#include "catalogue/catalogueui.h"
#include "catalogue/disklogger.h"
#include "catalogue/loggeddisktabs.h"
#include "config/settings.h"
#include "core/appstate.h"
#include "core/progress.h"
#include "core/prompter.h"
#include "filewindow/filecompare.h"
#include "filewindow/filewindow.h"
#include "filewindow/tqsort.h"
#include "gui/filewindow/filewindowcontroller.h"
#include "gui/filewindow/tvirtuallistbox.h"
#include "platform/collation.h"
#include "platform/drivetable.h"

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace zentrix;
using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

class CountingPrompter : public Prompter {
public:
    std::vector<std::string> warnings;
    bool askYesNo(const std::string&, const std::string&) override { return true; }
    bool askOkCancel(const std::string&, const std::string&) override { return true; }
    Answer askYesNoCancel(const std::string&, const std::string&) override { return Answer::Yes; }
    bool askRetryCancel(const std::string&, const std::string&) override { return false; }
    void inform(const std::string&, const std::string&) override {}
    void warn(const std::string& text) override { warnings.push_back(text); }
    void error(const std::string&, const std::string&) override {}
    std::optional<std::string> inputText(const std::string&, const std::string&,
                                         const std::string&) override {
        return std::nullopt;
    }
    void beep() override {}
};

// Extensions by weight: about 2 in 100 files are ".TXT" or ".txt", so that a
// "*.TXT" fill stays within the entry limit.
struct Ext {
    const char* ext;
    int weight;
};
const Ext kExtensions[] = {{".jpg", 14}, {".png", 10}, {".c", 8},   {".h", 8},    {".cpp", 8},
                           {".pdf", 6},  {".mp3", 6},  {".doc", 5}, {".html", 5}, {".js", 5},
                           {".json", 5}, {".xml", 4},  {".log", 4}, {".md", 3},   {".py", 3},
                           {".o", 2},    {".exe", 1},  {".txt", 1}, {".TXT", 1},  {"", 1}};

std::string randomName(std::mt19937_64& rng) {
    static const char letters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_- ";
    const int len = 5 + static_cast<int>(rng() % 20);
    std::string name;
    for (int i = 0; i < len; ++i)
        name.push_back(letters[rng() % (sizeof letters - 2)]);
    int total = 0;
    for (const Ext& e : kExtensions)
        total += e.weight;
    int pick = static_cast<int>(rng() % static_cast<unsigned>(total));
    for (const Ext& e : kExtensions) {
        if (pick < e.weight) {
            name += e.ext;
            break;
        }
        pick -= e.weight;
    }
    return name;
}

void addFiles(Catalogue& cat, TTreeNode* node, int count, std::mt19937_64& rng) {
    TLoggedClass* rec = cat.LoggedDirs().Add(std::make_unique<TLoggedClass>(node));
    cat.Tree().SetData(node, rec);
    rec->FileList().Reserve(static_cast<size_t>(count), static_cast<size_t>(count) * 20);
    for (int i = 0; i < count; ++i) {
        const std::string name = randomName(rng);
        const int32_t size = static_cast<int32_t>(rng() % 50000000);
        const int64_t time = 132000000000000000LL + static_cast<int64_t>(rng() % 100000000000000LL);
        rec->FileList().Add(name, size, 0x20, time, node);
    }
}

} // namespace

int main(int argc, char** argv) {
    int files = 1000000;
    bool draw = true;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--files") == 0 && i + 1 < argc)
            files = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--no-draw") == 0)
            draw = false;
    }
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    platform::InitCollation();

    platform::DriveTable drives = platform::DriveTable::FromSpec("T=/nonexistent-bench-root", {});
    Catalogue cat(drives);
    AppState state;
    Settings settings;
    LoggedDiskTabs tabs(state);
    CountingPrompter prompter;
    CatalogueUi catUi;
    DiskLogger logger(cat, state, settings, tabs, prompter, catUi);
    NullProgress progress;
    // The synthesised drive has no directory behind it: selecting in it must not
    // ask the disk whether it is ready.
    cat.Tree().OnSelectionChange = nullptr;

    // The catalogue: one directory of 32,767 files to sort, the rest in
    // directories of 1,000 files, two levels deep.
    std::mt19937_64 rng(42);
    TTree& tree = cat.Tree();
    TTreeNode* root = tree.InsertTopLevel(0, "T:\\");
    const int bigCount = std::min(FileWindow::kMaxEntries, files);
    TTreeNode* big = tree.AddChild(root, "BIG");
    addFiles(cat, big, bigCount, rng);
    int made = bigCount;
    for (int d = 0; made < files; ++d) {
        TTreeNode* top = tree.AddChild(root, "dir" + std::to_string(d));
        addFiles(cat, top, std::min(500, files - made), rng);
        made += std::min(500, files - made);
        for (int s = 0; s < 10 && made < files; ++s) {
            TTreeNode* sub = tree.AddChild(top, "sub" + std::to_string(s));
            const int n = std::min(1000, files - made);
            addFiles(cat, sub, n, rng);
            made += n;
        }
    }
    tree.Select(root);
    const long long records = cat.CountFiles(false);

    FileWindow fw(cat, state, settings, prompter, progress, logger);

    // (a) fills
    fw.ApplyTypedFileSpec("*.TXT");
    state.scope = 2;
    auto t0 = Clock::now();
    fw.FillMainListBox();
    const double fillMs = msSince(t0);
    const int txtEntries = fw.Count();

    fw.ApplyTypedFileSpec("*.*");
    state.scope = 2;
    t0 = Clock::now();
    fw.FillMainListBox();
    const double fillAllMs = msSince(t0);
    const bool limitHit =
        !prompter.warnings.empty() && prompter.warnings.back() == "Too many files!     ";

    // (b) and (c): the same shuffled entries, TQSort against std::sort.
    tree.Select(big);
    state.scope = 1;
    fw.FillMainListBox();
    const std::vector<const TFileClass*> bigRecords = fw.Records();
    std::vector<FileWindow::Entry> base;
    for (const TFileClass* r : bigRecords)
        base.push_back({std::string(r->FileName()), const_cast<TFileClass*>(r)});
    std::shuffle(base.begin(), base.end(), std::mt19937_64(7));

    double qsortMs = 0, stdsortMs = 0;
    for (int key : {kSortByName, kSortBySize, kSortByDate}) {
        std::vector<FileWindow::Entry> entries = base;
        TQSort q;
        q.Compare = [&](void*, int a, int b, bool, int& action) {
            action = CompareFileRecords(*entries[static_cast<size_t>(a)].Record,
                                        *entries[static_cast<size_t>(b)].Record, key);
        };
        q.Swap = [&](void*, int a, int b) {
            std::swap(entries[static_cast<size_t>(a)], entries[static_cast<size_t>(b)]);
        };
        t0 = Clock::now();
        q.Sort(&entries, static_cast<int>(entries.size()));
        qsortMs += msSince(t0);

        std::vector<FileWindow::Entry> other = base;
        t0 = Clock::now();
        std::sort(other.begin(), other.end(),
                  [key](const FileWindow::Entry& a, const FileWindow::Entry& b) {
                      return CompareFileRecords(*a.Record, *b.Record, key) < 0;
                  });
        stdsortMs += msSince(t0);
        for (size_t i = 0; i < entries.size(); ++i)
            if (CompareFileRecords(*entries[i].Record, *other[i].Record, key) != 0) {
                std::fprintf(stderr, "sorts disagree at %zu (key %d)\n", i, key);
                return 1;
            }
    }

    std::printf("fill \"*.TXT\": %d entries; \"*.*\": %s\n", txtEntries,
                limitHit ? "Too many files!" : "no limit message");

    if (draw) {
        // Drawing: the large-icon format over the 32,767 entries, scrolled a
        // page at a time, rendered offscreen.
        FileWindowController controller(cat, state, settings, prompter, progress, logger);
        settings.FileDisplayOption = 1;
        controller.model().ApplyFormat();
        tree.Select(big);
        state.scope = 1;
        controller.FillMainListBox();
        TVirtualListBox* list = controller.MainListBox;
        QWidget* panel = controller.listPanel();
        panel->resize(900, 700);
        panel->show();
        QApplication::processEvents();
        const int perPage = std::max(1, list->visibleRows());
        // The first pass fetches every description and icon on the way (cold);
        // the second draws from the caches (warm).
        for (const char* pass : {"cold", "warm"}) {
            int64_t rows = 0;
            const std::clock_t cpu0 = std::clock();
            t0 = Clock::now();
            for (int top = 0; top + perPage < list->count(); top += perPage) {
                list->setTopIndex(top);
                list->viewport()->repaint();
                rows += list->lastPaintedRows();
                if (msSince(t0) > 3000)
                    break;
            }
            const double drawMs = msSince(t0);
            const double cpuMs = 1000.0 * double(std::clock() - cpu0) / CLOCKS_PER_SEC;
            std::printf("draw large_icons %s rows=%lld ms=%.1f cpu_ms=%.1f rows_per_s=%.0f "
                        "rows_per_cpu_s=%.0f\n",
                        pass, static_cast<long long>(rows), drawMs, cpuMs, rows * 1000.0 / drawMs,
                        cpuMs > 0 ? rows * 1000.0 / cpuMs : 0);
        }
    }

    std::printf("file_window records=%lld fill_ms=%.1f fill_all_ms=%.1f qsort_ms=%.1f "
                "stdsort_ms=%.1f ratio=%.2f\n",
                records, fillMs, fillAllMs, qsortMs, stdsortMs,
                stdsortMs > 0 ? qsortMs / stdsortMs : 0);
    return limitHit ? 0 : 1;
}
