// Times the tag walks on a catalogue of synthesised records:
//   tagging [--files N]
// Each tree command runs over all logged disks: tag with "*.*", tag with
// "*.TXT *.DOC", invert, by attributes, by age (30 days, the answer given as
// the input box's text), and the disk command on one of two drives. The
// reference is the plainest possible walk: a loop over every record of the
// logged-directories list inverting its tag, measured in the same run.
// Last line: tagging records=N ref_ms=R tag_all_ms=A tag_spec_ms=B invert_ms=C
//            attr_ms=D age_ms=E disk_ms=F
#include "silentprompter.h"
#include "filewindow/tagging.h"
#include "catalogue/catalogue.h"
#include "catalogue/catalogueui.h"
#include "catalogue/disklogger.h"
#include "catalogue/loggeddisktabs.h"
#include "config/settings.h"
#include "core/appstate.h"
#include "core/progress.h"
#include "core/prompter.h"
#include "filewindow/filewindow.h"
#include "platform/drivetable.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

namespace {

using namespace zentrix;
using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

/// Answers the age question with a fixed text; nothing else is asked.
class AnsweringPrompter : public bench::SilentPrompter {
public:
    std::string answer = "30";
    std::optional<std::string> inputText(const std::string&, const std::string&,
                                         const std::string&) override {
        return answer;
    }
};

const char* const kExtensions[] = {".jpg", ".png", ".c",    ".h",   ".cpp", ".pdf", ".mp3",
                                   ".doc", ".txt", ".html", ".log", ".o",   ""};

void addFiles(Catalogue& cat, TTreeNode* node, int count, std::mt19937_64& rng) {
    TLoggedClass* rec = cat.LoggedDirs().Add(std::make_unique<TLoggedClass>(node));
    cat.Tree().SetData(node, rec);
    rec->FileList().Reserve(static_cast<size_t>(count), static_cast<size_t>(count) * 16);
    // File times spread over the last two years.
    const int64_t now =
        116444736000000000LL + static_cast<int64_t>(std::time(nullptr)) * 10000000LL;
    const int64_t twoYears = 2LL * 365 * 864000000000LL;
    for (int i = 0; i < count; ++i) {
        std::string name = "file" + std::to_string(rng() % 1000000);
        name += kExtensions[rng() % (sizeof kExtensions / sizeof *kExtensions)];
        const uint16_t attributes = (rng() % 10 == 0) ? 0x22 : 0x20;
        rec->FileList().Add(name, static_cast<int32_t>(rng() % 5000000), attributes,
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
    AnsweringPrompter prompter;
    CatalogueUi catUi;
    DiskLogger logger(cat, state, settings, tabs, prompter, catUi);
    NullProgress progress;
    cat.Tree().OnSelectionChange = nullptr;

    // Two drives, directories of 500 files two levels deep.
    std::mt19937_64 rng(42);
    TTree& tree = cat.Tree();
    TTreeNode* roots[] = {tree.InsertTopLevel(0, "T:\\"), tree.InsertTopLevel(1, "U:\\")};
    int made = 0;
    for (int d = 0; made < files; ++d) {
        TTreeNode* top = tree.AddChild(roots[d % 2], "dir" + std::to_string(d));
        const int n = std::min(500, files - made);
        addFiles(cat, top, n, rng);
        made += n;
        for (int s = 0; s < 10 && made < files; ++s) {
            TTreeNode* sub = tree.AddChild(top, "sub" + std::to_string(s));
            const int m = std::min(500, files - made);
            addFiles(cat, sub, m, rng);
            made += m;
        }
    }
    tree.Select(roots[0]);
    const long long records = cat.CountFiles(false);

    FileWindow fw(cat, state, settings, prompter, progress, logger);
    Tagging tagging(cat, state, settings, fw, prompter);

    // The reference: every record of the logged-directories list, tag inverted
    // (twice, so that the records are in the cache and the tags as they were).
    double refMs = 0;
    for (int pass = 0; pass < 2; ++pass) {
        const auto t0 = Clock::now();
        for (const TLoggedClass* dir : cat.LoggedDirs())
            for (TFileClass* f : dir->FileList())
                f->SetTagged(!f->Tagged());
        refMs = msSince(t0);
    }

    auto timed = [&](auto&& run) {
        const auto start = Clock::now();
        run();
        return msSince(start);
    };
    const double tagAllMs = timed([&] { tagging.GlobalTagAll(); });
    const int32_t all = cat.CountFiles(true);
    tagging.GlobalUnTagAll();
    fw.ApplyTypedFileSpec("*.TXT *.DOC");
    const double tagSpecMs = timed([&] { tagging.GlobalTagAll(); });
    const int32_t spec = cat.CountFiles(true);
    fw.ApplyTypedFileSpec("*.*");
    const double invertMs = timed([&] { tagging.InvertAllGlobalTags(); });
    tagging.GlobalUnTagAll();
    const double attrMs = timed([&] { tagging.TagByAttributes(4, "+H"); });
    const int32_t hidden = cat.CountFiles(true);
    tagging.GlobalUnTagAll();
    const double ageMs = timed([&] { tagging.miDirTagAllGlobalByAgeClick(); });
    const int32_t young = cat.CountFiles(true);
    tagging.GlobalUnTagAll();
    const double diskMs = timed([&] { tagging.DiskTagAll(); });
    const int32_t disk = cat.CountFiles(true);

    std::printf("tagged: all=%d spec=%d hidden=%d age30=%d disk=%d\n", all, spec, hidden, young,
                disk);
    std::printf("tagging records=%lld ref_ms=%.1f tag_all_ms=%.1f tag_spec_ms=%.1f "
                "invert_ms=%.1f attr_ms=%.1f age_ms=%.1f disk_ms=%.1f\n",
                records, refMs, tagAllMs, tagSpecMs, invertMs, attrMs, ageMs, diskMs);
    return all == records ? 0 : 1;
}
