// Times the tag wizard's run on a catalogue of synthesised records:
//   tag_wizard [--files N]
// Ten criteria: whole drives and single directories, with specifications
// (plain and inverted), ages and sizes. The drives' directories are not on the
// disk, so the first pass logs nothing and the time is the untagging and the
// second pass over the records. The reference is ten plain loops over every
// record of the logged-directories list, measured in the same run: the least a
// walk per criterion can cost.
// Last line: tag_wizard records=N criteria=10 ref_ms=R wizard_ms=W tagged=T
#include "silentprompter.h"

#include "catalogue/catalogue.h"
#include "catalogue/catalogueui.h"
#include "catalogue/disklogger.h"
#include "catalogue/loggeddisktabs.h"
#include "config/settings.h"
#include "core/appstate.h"
#include "core/progress.h"
#include "filewindow/filewindow.h"
#include "filewindow/tagwizardrun.h"
#include "platform/drivetable.h"

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

const char* const kExtensions[] = {".jpg", ".png", ".c",    ".h",   ".cpp", ".pdf", ".mp3",
                                   ".doc", ".txt", ".html", ".log", ".o",   ".exe", ""};

void addFiles(Catalogue& cat, TTreeNode* node, int count, std::mt19937_64& rng, int64_t now) {
    TLoggedClass* rec = cat.LoggedDirs().Add(std::make_unique<TLoggedClass>(node));
    cat.Tree().SetData(node, rec);
    rec->FileList().Reserve(static_cast<size_t>(count), static_cast<size_t>(count) * 16);
    const int64_t twoYears = 2LL * 365 * 864000000000LL;
    for (int i = 0; i < count; ++i) {
        std::string name = "file" + std::to_string(rng() % 1000000);
        name += kExtensions[rng() % (sizeof kExtensions / sizeof *kExtensions)];
        rec->FileList().Add(name, static_cast<int32_t>(rng() % 5000000), 0x20,
                            now - static_cast<int64_t>(rng() % static_cast<uint64_t>(twoYears)),
                            node);
    }
}

} // namespace

int main(int argc, char** argv) {
    int files = 1000000;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--files") == 0 && i + 1 < argc)
            files = std::atoi(argv[++i]);

    platform::DriveTable drives =
        platform::DriveTable::FromSpec("T=/nonexistent-bench-root;U=/nonexistent-bench-two", {});
    Catalogue cat(drives);
    AppState state;
    Settings settings;
    settings.SoundWhenComplete = false;
    LoggedDiskTabs tabs(state);
    bench::SilentPrompter prompter;
    CatalogueUi catUi;
    DiskLogger logger(cat, state, settings, tabs, prompter, catUi);
    NullProgress progress;
    cat.Tree().OnSelectionChange = nullptr;

    const int64_t now =
        116444736000000000LL + static_cast<int64_t>(std::time(nullptr)) * 10000000LL;
    std::mt19937_64 rng(42);
    TTree& tree = cat.Tree();
    TTreeNode* roots[] = {tree.InsertTopLevel(0, "T:\\"), tree.InsertTopLevel(1, "U:\\")};
    int made = 0;
    for (int d = 0; made < files; ++d) {
        TTreeNode* top = tree.AddChild(roots[d % 2], "dir" + std::to_string(d));
        const int n = std::min(500, files - made);
        addFiles(cat, top, n, rng, now);
        made += n;
        for (int s = 0; s < 10 && made < files; ++s) {
            TTreeNode* sub = tree.AddChild(top, "sub" + std::to_string(s));
            const int m = std::min(500, files - made);
            addFiles(cat, sub, m, rng, now);
            made += m;
        }
    }
    tree.Select(roots[0]);
    const long long records = cat.CountFiles(false);

    FileWindow fw(cat, state, settings, prompter, progress, logger);
    TagWizardRun run(cat, state, logger, fw, catUi, progress);
    const std::vector<std::string> criteria = {
        "T:\\ | Y | *.TXT *.DOC | <30 | ", "U:\\ | Y | \\*.JPG *.PNG *.O | | >4000",
        "T:\\dir0 | N |  |  | ",           "T:\\dir2 | Y | *.C *.H *.CPP | >100 | <100",
        "U:\\ | Y | *.EXE | >365 | ",      "T:\\ | Y | FILE1*.* |  | ",
        "U:\\dir1 | Y |  | <7 | ",         "T:\\ | Y | *.PDF |  | >2000",
        "U:\\ | Y | \\*.* |  | ",          "T:\\dir4\\sub3 | N | *.MP3 | <400 | <3000",
    };

    // The reference: ten plain passes over every record, each flipping the tag
    // (an even number, so the tags end as they began).
    double refMs = 0;
    for (int pass = 0; pass < 2; ++pass) {
        const auto t0 = Clock::now();
        for (size_t c = 0; c < criteria.size(); ++c)
            for (const TLoggedClass* dir : cat.LoggedDirs())
                for (TFileClass* f : dir->FileList())
                    f->SetTagged(!f->Tagged());
        refMs = msSince(t0);
    }

    const auto t0 = Clock::now();
    run.Apply(criteria);
    const double wizardMs = msSince(t0);
    const int32_t tagged = cat.CountFiles(true);

    std::printf("tag_wizard records=%lld criteria=%zu ref_ms=%.1f wizard_ms=%.1f tagged=%d\n",
                records, criteria.size(), refMs, wizardMs, tagged);
    return state.scope == 5 && tagged > 0 ? 0 : 1;
}
