#include "fixture.h"

#include "config/menutable.h"
#include "filewindow/attributemask.h"
#include "filewindow/fileage.h"
#include "filewindow/spectagrules.h"
#include "filewindow/tagging.h"
#include "platform/filetime.h"
#include "support/scopedenv.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <deque>
#include <limits>
#include <optional>
#include <set>

namespace zentrix::test {
namespace {

/// The tag commands' windows, played from a script: the special-tag dialog
/// commits the scripted text and answers OK (none: Cancel); the Down keys move
/// the file window's current entry and the tree's selection as the real
/// windows do.
class ScriptedTaggingUi : public TaggingUi {
public:
    FileWindow* fw = nullptr;
    Catalogue* cat = nullptr;
    AppState* state = nullptr;
    RecordingUi* windowUi = nullptr;

    std::deque<std::optional<std::string>> dialogAnswers;
    std::vector<std::string> dialogCaptions;
    std::vector<std::string> selectionAtCreation;
    std::string pageCaption;
    bool pageShown = false;
    std::vector<std::string> history;
    int entryMoves = 0;
    int directoryMoves = 0;

    void moveToNextEntry() override {
        ++entryMoves;
        fw->MainListBoxKeyDown(FileKeys::Down);
        fw->MainListBoxKeyUp();
    }
    void moveToNextDirectory() override {
        ++directoryMoves;
        TTreeNode* n = cat->Tree().Selected();
        if (!n)
            return;
        TTreeNode* next = nullptr;
        if (n->Expanded() && n->Count() > 0) {
            next = n->Item(0);
        } else {
            for (TTreeNode* up = n; up && !next; up = up->Parent())
                next = up->NextSibling();
        }
        if (next) {
            cat->Tree().Select(next);
            state->requestRefill(); // the key release
        }
    }
    bool runSpecTagForm(const std::string& caption, std::string& selectionSpec) override {
        dialogCaptions.push_back(caption);
        SpecTagRules rules(selectionSpec);
        selectionAtCreation.push_back(selectionSpec);
        if (dialogAnswers.empty()) {
            ADD_FAILURE() << "unexpected dialog " << caption;
            return false;
        }
        const std::optional<std::string> answer = dialogAnswers.front();
        dialogAnswers.pop_front();
        if (!answer)
            return false;
        rules.Commit(*answer);
        return true;
    }
    void showAttributePage(const std::string& caption) override {
        pageCaption = caption;
        pageShown = true;
    }
    void closeAttributePage() override { pageShown = false; }
    void addAttributeHistory(const std::string& text) override { history.push_back(text); }
    bool fileWindowEnabled() const override { return windowUi->enabled; }
};

/// Records the default answer of input questions too.
class AgePrompter : public ScriptedPrompter {
public:
    std::vector<std::string> defaults;
    std::optional<std::string> inputText(const std::string& caption, const std::string& prompt,
                                         const std::string& defaultText) override {
        defaults.push_back(defaultText);
        return ScriptedPrompter::inputText(caption, prompt, defaultText);
    }
};

int64_t nowUnix() {
    return static_cast<int64_t>(std::time(nullptr));
}

class TaggingTest : public FileWindowFixture {
protected:
    ScriptedTaggingUi tagUi;
    AgePrompter agePrompter;
    std::unique_ptr<Tagging> tagging;

    void SetUp() override {
        dir.write("a.txt", std::string(100, 'a'));
        dir.write("b.doc", std::string(2048, 'b'));
        dir.write("c.bak", std::string(3000, 'c'));
        dir.write("README");
        dir.write(".hidden.txt", "h");
        dir.write("docs/d.txt", std::string(5000, 'd'));
        dir.write("docs/e.bak", std::string(3000, 'e'));
        dir.write("docs/sub/g.txt", std::string(4096, 'g'));
        dir.write("docs/sub/h.doc", "h");
        dir.write("other/o.txt", "o");
        dir.write("other/p.bak", "p");
        other.write("x.txt", std::string(2048, 'x'));
        other.write("y.bak");
        start();
        tagging = std::make_unique<Tagging>(*cat, state, settings, *fw, agePrompter);
        tagUi.fw = fw.get();
        tagUi.cat = cat.get();
        tagUi.state = &state;
        tagUi.windowUi = &ui;
        tagging->SetUi(&tagUi);
        logAll('E');
        logAll('D');
        select("D:\\");
    }

    /// Full names of every tagged file of the catalogue, sorted.
    std::set<std::string> tagged() {
        std::set<std::string> out;
        for (const TLoggedClass* d : cat->LoggedDirs())
            for (const TFileClass* f : d->FileList())
                if (f->Tagged())
                    out.insert(f->FullName());
        return out;
    }
    void tag(std::initializer_list<const char*> names) {
        for (const char* n : names) {
            ASSERT_NE(file(n), nullptr) << n;
            file(n)->SetTagged(true);
        }
    }
    void setSpec(const std::string& spec, bool inverted = false) {
        fw->ApplyTypedFileSpec(spec);
        if (fw->FileSpecInverted() != inverted)
            fw->ToggleFileSpec();
        state.refillRequested = false;
    }
    using Names = std::set<std::string>;
};

// --- tree scopes ------------------------------------------------------------------------

TEST_F(TaggingTest, DirectoryFilesFollowTheSpecificationAndMoveTheTree) {
    setSpec("*.TXT");
    tagging->DirTagFiles();
    EXPECT_EQ(tagged(), (Names{"D:\\.hidden.txt", "D:\\a.txt"}));
    // The tree went on to the next directory, and its key release asks for a refill.
    EXPECT_EQ(tagUi.directoryMoves, 1);
    EXPECT_NE(cat->Tree().Selected(), node("D:\\"));
    EXPECT_TRUE(state.refillRequested);

    select("D:\\");
    setSpec("*.TXT", true);
    tagging->DirTagFiles();
    EXPECT_EQ(tagged(),
              (Names{"D:\\.hidden.txt", "D:\\a.txt", "D:\\README", "D:\\b.doc", "D:\\c.bak"}));

    select("D:\\");
    setSpec("*.BAK *.");
    tagging->DirUnTagFiles();
    EXPECT_EQ(tagged(), (Names{"D:\\.hidden.txt", "D:\\a.txt", "D:\\b.doc"}));

    select("D:\\");
    setSpec("*.*");
    tagging->InvertDirTags();
    EXPECT_EQ(tagged(), (Names{"D:\\README", "D:\\c.bak"}));
    EXPECT_EQ(tagUi.directoryMoves, 4);
}

TEST_F(TaggingTest, BranchDiskAndGlobalWalks) {
    select("D:\\docs\\");
    setSpec("*.TXT");
    tagging->DirTagBranch();
    EXPECT_EQ(tagged(), (Names{"D:\\docs\\d.txt", "D:\\docs\\sub\\g.txt"}));
    EXPECT_EQ(cat->Tree().Selected(), node("D:\\docs\\")) << "only directory commands move";
    EXPECT_EQ(tagUi.directoryMoves, 0);

    // The disk of a directory deep down is its whole drive, and no other.
    select("D:\\docs\\sub\\");
    setSpec("*.BAK");
    tagging->DiskTagAll();
    EXPECT_EQ(tagged(), (Names{"D:\\c.bak", "D:\\docs\\d.txt", "D:\\docs\\e.bak",
                               "D:\\docs\\sub\\g.txt", "D:\\other\\p.bak"}));

    setSpec("*.*");
    tagging->GlobalTagAll();
    EXPECT_EQ(tagged().size(), 13u);
    tagging->InvertAllDiskTags();
    EXPECT_EQ(tagged(), (Names{"E:\\x.txt", "E:\\y.bak"}));

    // Every directory is visited once: inverting the whole catalogue twice
    // would bring back what it started from.
    tagging->InvertAllGlobalTags();
    EXPECT_EQ(tagged().size(), 11u);
    EXPECT_EQ(tagged().count("E:\\x.txt"), 0u);

    select("D:\\docs\\");
    setSpec("*.TXT", true);
    tagging->InvertBranchTags();
    EXPECT_EQ(tagged().count("D:\\docs\\e.bak"), 0u);
    EXPECT_EQ(tagged().count("D:\\docs\\sub\\h.doc"), 0u);
    EXPECT_EQ(tagged().count("D:\\docs\\d.txt"), 1u);
    tagging->DirUnTagBranch();
    EXPECT_EQ(tagged().count("D:\\docs\\d.txt"), 1u) << "the text files do not pass the filter";
    setSpec("*.*");
    tagging->DiskUnTagAll();
    EXPECT_EQ(tagged(), Names{});
    tagging->GlobalTagAll();
    tagging->GlobalUnTagAll();
    EXPECT_EQ(tagged(), Names{});
}

TEST_F(TaggingTest, UnloggedDirectoriesAndNoSelectionAreSkipped) {
    logger->UnlogBranch(node("D:\\docs\\"));
    ASSERT_FALSE(node("D:\\docs\\")->Logged());
    select("D:\\docs\\");
    tagging->DirTagBranch();
    tagging->DirTagFiles();
    EXPECT_EQ(tagged(), Names{});
    tagging->DiskTagAll();
    EXPECT_EQ(tagged().size(), 7u); // the root's five and other's two
}

// --- the file window's entries ---------------------------------------------------------------

TEST_F(TaggingTest, AllInWindowInATaggedScopeClearsExactlyTheShownFiles) {
    tag({"D:\\a.txt", "D:\\docs\\d.txt", "E:\\x.txt"});
    setSpec("*.TXT");
    state.scope = 5;
    fill();
    ASSERT_EQ(fw->Count(), 3);
    tag({"D:\\b.doc"}); // not shown: the window filters *.TXT
    tagging->TagFileWinFiles();
    tagging->UnTagFileWinFiles();
    EXPECT_EQ(tagged(), (Names{"D:\\b.doc"}));
    EXPECT_EQ(fw->Count(), 3) << "the entries stay until the next fill";

    tagging->ToggleFileTags();
    EXPECT_EQ(tagged(), (Names{"D:\\a.txt", "D:\\b.doc", "D:\\docs\\d.txt", "E:\\x.txt"}));
    EXPECT_EQ(fw->Statistics().taggedFiles, "4") << "global tagged statistics follow at once";
}

TEST_F(TaggingTest, SingleFileNeedsTheFocusAndMovesOn) {
    fill();
    ASSERT_EQ(texts(),
              (std::vector<std::string>{".hidden.txt", "a.txt", "b.doc", "c.bak", "README"}));
    ui.focus = RecordingUi::Focus::Tree;
    tagging->TagSingleFile();
    EXPECT_EQ(tagged(), Names{});
    EXPECT_EQ(fw->Current(), 0);

    ui.focus = RecordingUi::Focus::FileWindow;
    ui.repainted.clear();
    tagging->TagSingleFile();
    EXPECT_EQ(tagged(), (Names{"D:\\.hidden.txt"}));
    EXPECT_EQ(ui.repainted, std::vector<int>{0}) << "only the entry is repainted";
    EXPECT_EQ(fw->Current(), 1);
    EXPECT_EQ(fw->Statistics().lowerCaption, " Directory tagged statistics: ");
    EXPECT_EQ(fw->Statistics().taggedFiles, "1");
    EXPECT_EQ(fw->RepeatCount(), 0);

    // Untagging an untagged file changes nothing, but still moves on.
    ui.repainted.clear();
    tagging->UnTagSingleFile();
    EXPECT_TRUE(ui.repainted.empty());
    EXPECT_EQ(fw->Current(), 2);

    // The last entry is tagged and stays current.
    fw->SetCurrent(4);
    tagging->TagSingleFile();
    EXPECT_EQ(tagged(), (Names{"D:\\.hidden.txt", "D:\\README"}));
    EXPECT_EQ(fw->Current(), 4);

    // The toggle needs no focus and does not move.
    ui.focus = RecordingUi::Focus::Tree;
    tagging->ToggleSingleFileTag();
    tagging->ToggleSingleFileTag();
    tagging->ToggleSingleFileTag();
    EXPECT_EQ(tagged(), (Names{"D:\\.hidden.txt"}));
    EXPECT_EQ(fw->Current(), 4);
}

TEST_F(TaggingTest, EmptyWindowOrNoCurrentEntryChangesNothing) {
    select("D:\\docs\\");
    setSpec("*.ZIP");
    fill();
    ASSERT_EQ(fw->Count(), 0);
    ui.focus = RecordingUi::Focus::FileWindow;
    tagging->TagSingleFile();
    tagging->ToggleSingleFileTag();
    tagging->TagFileWinFiles();
    tagging->ToggleFileTags();
    tagging->TagFilesSpecial(); // no dialog for an empty window
    EXPECT_EQ(tagged(), Names{});
    EXPECT_EQ(tagUi.entryMoves, 0);
    EXPECT_TRUE(tagUi.dialogCaptions.empty());
}

TEST_F(TaggingTest, SpecialTagMatchesNamesWithoutTheInversion) {
    setSpec("*.BAK", true); // the window shows everything but the backups
    fill();
    ASSERT_EQ(fw->Count(), 4);
    tagUi.dialogAnswers = {std::string(" *.txt  read* "), std::nullopt, std::string("*.TXT")};
    EXPECT_TRUE(tagging->RunFileCommand(FileCommand::TagFilesSpecial));
    EXPECT_EQ(tagging->SelectionSpec(), "*.TXT  READ*");
    EXPECT_EQ(tagged(), (Names{"D:\\.hidden.txt", "D:\\README", "D:\\a.txt"}));

    tagging->UnTagFilesSpecial(); // cancelled
    EXPECT_EQ(tagged().size(), 3u);
    tagging->UnTagFilesSpecial();
    EXPECT_EQ(tagged(), (Names{"D:\\README"}));
    EXPECT_EQ(tagUi.dialogCaptions,
              (std::vector<std::string>{"Expand selection ...", "Shrink selection ...",
                                        "Shrink selection ..."}));
    // Each dialog starts from "*.*", whatever the last one chose.
    EXPECT_EQ(tagUi.selectionAtCreation, (std::vector<std::string>{"*.*", "*.*", "*.*"}));
    EXPECT_FALSE(tagging->RunFileCommand(FileCommand::Delete));
}

TEST(SpecTagRules, OkEnablingAndCommit) {
    std::string spec = "OLD";
    SpecTagRules rules(spec);
    EXPECT_EQ(spec, "*.*");
    EXPECT_FALSE(SpecTagRules::OkEnabled(""));
    EXPECT_TRUE(SpecTagRules::OkEnabled(" "));
    EXPECT_TRUE(SpecTagRules::OkEnabled("*.txt"));
    EXPECT_EQ(rules.Commit("  *.txt *.doc\t"), "*.TXT *.DOC");
    EXPECT_EQ(spec, "*.TXT *.DOC");
    EXPECT_TRUE(SpecTagRules::EnterAccepts("*.TXT", false));
    EXPECT_FALSE(SpecTagRules::EnterAccepts("*.TXT", true)) << "Enter in the open list picks";
    EXPECT_FALSE(SpecTagRules::EnterAccepts("", false)) << "as OK would be disabled";
}

// --- by pattern ---------------------------------------------------------------------------------

TEST_F(TaggingTest, PatternWithInversionAndTheSpecificationKept) {
    setSpec("*.DOC", true);
    select("D:\\docs\\");
    tagUi.dialogAnswers = {std::string("*.bak")};
    tagging->miDirTagAllDiskByPatternClick();
    EXPECT_EQ(tagUi.dialogCaptions.back(), "Tag all disk files by pattern ...");
    // With the inversion on, the pattern picks the files that are not backups.
    EXPECT_EQ(tagged(),
              (Names{"D:\\.hidden.txt", "D:\\README", "D:\\a.txt", "D:\\b.doc", "D:\\docs\\d.txt",
                     "D:\\docs\\sub\\g.txt", "D:\\docs\\sub\\h.doc", "D:\\other\\o.txt"}));
    EXPECT_EQ(fw->FileSpec(), "*.DOC");
    EXPECT_TRUE(fw->FileSpecInverted());
    EXPECT_FALSE(state.refillRequested);

    setSpec("*.*");
    tagUi.dialogAnswers = {std::string("*.txt")};
    tagging->miDirUntagAllGlobalByPatternClick();
    EXPECT_EQ(tagUi.dialogCaptions.back(), "Untag all global files by pattern ...");
    EXPECT_EQ(tagged(), (Names{"D:\\README", "D:\\b.doc", "D:\\docs\\sub\\h.doc"}));

    tagUi.dialogAnswers = {std::string("*.BAK")};
    tagging->miDirTagAllBranchByPatternClick();
    EXPECT_EQ(tagUi.dialogCaptions.back(), "Tag all branch files by pattern ...");
    EXPECT_EQ(tagged().count("D:\\docs\\e.bak"), 1u);
    EXPECT_EQ(tagged().count("D:\\c.bak"), 0u);

    // Cancelled: nothing changes, yet the statistics are brought up to date.
    file("D:\\c.bak")->SetTagged(true);
    ui.focus = RecordingUi::Focus::Tree;
    fw->UpdateStatistics(); // caches the disk's figures
    const std::string before = fw->Statistics().taggedFiles;
    tagUi.dialogAnswers = {std::nullopt};
    tagging->miDirUnTagAllDiskByPatternClick();
    EXPECT_EQ(tagged().count("D:\\c.bak"), 1u);
    EXPECT_EQ(fw->Statistics().taggedFiles, std::to_string(std::stoi(before) + 1));
}

// --- by attributes
// ----------------------------------------------------------------------------------

TEST(AttributeMask, Tokens) {
    constexpr uint16_t A = 0x20, R = 0x01, H = 0x02, S = 0x04;
    struct Case {
        const char* text;
        uint16_t attributes;
        bool matches;
    };
    const Case cases[] = {
        {"+H-S", H, true},
        {"+H-S", H | S, false},
        {"+H-S", A, false},
        {"+H-S", A | H | R, true},
        {"+A", A, true},
        {"+A", R, false},
        {"", 0, true},
        {"XYZ, 12", H | S, true},
        {"-r", R, false},
        {"-r", A, true},
        {"+A-A", A, false},
        {"+A-A", 0, false},
        {"A+RH", R, true},
        {"A+RH", 0, false},
        {"+R+", R, true},
        {"+A-R-H-S", A, true},
        {"+A-R-H-S", A | H, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AttributeMask(c.text).Matches(c.attributes), c.matches)
            << c.text << " on " << c.attributes;
    EXPECT_TRUE(AttributeMask("+S-S").Contradictory());

    EXPECT_EQ(AttributeBoxChar('a'), 'A');
    EXPECT_EQ(AttributeBoxChar('+'), '+');
    EXPECT_EQ(AttributeBoxChar('S'), 'S');
    EXPECT_EQ(AttributeBoxChar('x'), std::nullopt);
    EXPECT_EQ(AttributeBoxChar('1'), std::nullopt);
    EXPECT_EQ(AttributeBoxChar(U'\u00e4'), std::nullopt);
}

TEST_F(TaggingTest, AttributesPageModesAndScopes) {
    tagging->miDirTagAllBranchByAttrClick();
    EXPECT_EQ(tagging->AttributeMode(), 2);
    EXPECT_EQ(tagUi.pageCaption, "Attributes of files to tag:");
    tagging->miDirUnTagAllGlobalByAttrClick();
    EXPECT_EQ(tagging->AttributeMode(), -4);
    EXPECT_EQ(tagUi.pageCaption, "Attributes of files to untag:");
    EXPECT_TRUE(tagUi.pageShown);

    // Hidden files here are the names beginning with a full stop; the system
    // attribute is given to one of them in the record.
    dir.write("docs/.h1", "1");
    dir.write("docs/.h2", "2");
    logger->RefreshDir(node("D:\\docs\\"));
    file("D:\\docs\\.h2")->SetAttributes(0x20 | 0x02 | 0x04);

    select("D:\\docs\\");
    tagging->miDirTagAllDiskByAttrClick();
    ui.focus = RecordingUi::Focus::Other;
    EXPECT_TRUE(tagging->AttributePageOK("+H-S"));
    EXPECT_EQ(tagged(), (Names{"D:\\.hidden.txt", "D:\\docs\\.h1"}));
    EXPECT_FALSE(tagUi.pageShown);
    EXPECT_EQ(tagUi.history, std::vector<std::string>{"+H-S"});
    EXPECT_EQ(ui.focus, RecordingUi::Focus::FileWindow);

    tagging->miDirUnTagAllDiskByAttrClick();
    EXPECT_TRUE(tagging->AttributePageOK("+H"));
    EXPECT_EQ(tagged(), Names{});

    // Global and branch walks apply the file specification filter too.
    setSpec("*.TXT");
    tagging->miDirTagAllGlobalByAttrClick();
    tagging->AttributePageOK("+A");
    EXPECT_EQ(tagged(), (Names{"D:\\.hidden.txt", "D:\\a.txt", "D:\\docs\\d.txt",
                               "D:\\docs\\sub\\g.txt", "D:\\other\\o.txt", "E:\\x.txt"}));
    tagging->miDirUntagAllBranchByAttrClick();
    tagging->AttributePageOK("-H");
    EXPECT_EQ(tagged(), (Names{"D:\\.hidden.txt", "D:\\a.txt", "E:\\x.txt", "D:\\other\\o.txt"}));

    // An empty text applies nothing; the page still closes.
    tagging->miDirTagAllGlobalByAttrClick();
    tagUi.history.clear();
    ui.enabled = false; // the focus goes to the tree when the window is disabled
    EXPECT_TRUE(tagging->AttributePageOK(""));
    EXPECT_TRUE(tagUi.history.empty());
    EXPECT_FALSE(tagUi.pageShown);
    EXPECT_EQ(ui.focus, RecordingUi::Focus::Tree);

    // Mode 0 belongs to the attribute change: nothing is done here.
    tagging->SetAttributeMode(0);
    tagUi.pageShown = true;
    EXPECT_FALSE(tagging->AttributePageOK("+A"));
    EXPECT_TRUE(tagUi.pageShown);
}

TEST_F(TaggingTest, WindowAttributeModeDoesNotFilterAgain) {
    fill();
    ASSERT_EQ(fw->Count(), 5);
    // The specification changes, but the window keeps its entries until the
    // refill: the window mode tags what the window shows.
    fw->ApplyTypedFileSpec("*.TXT");
    tagging->miFileTagAllbyAttrsClick();
    EXPECT_EQ(tagging->AttributeMode(), 1);
    tagging->AttributePageOK("+A");
    EXPECT_EQ(tagged(),
              (Names{"D:\\.hidden.txt", "D:\\README", "D:\\a.txt", "D:\\b.doc", "D:\\c.bak"}));
    tagging->miFileUnTagAllbyAttrsClick();
    EXPECT_EQ(tagging->AttributeMode(), -1);
    tagging->AttributePageOK("+H");
    EXPECT_EQ(tagged().count("D:\\.hidden.txt"), 0u);
    EXPECT_EQ(tagged().size(), 4u);

    // The tree's attribute walk filters.
    setSpec("*.*");
    tagging->GlobalUnTagAll();
    setSpec("*.TXT");
    tagging->TagByAttributes(3, "+A");
    EXPECT_EQ(tagged(), (Names{"D:\\.hidden.txt", "D:\\a.txt", "D:\\docs\\d.txt",
                               "D:\\docs\\sub\\g.txt", "D:\\other\\o.txt"}));
}

// --- by age
// -------------------------------------------------------------------------------------------

TEST(FileAge, ReadingTheAnswer) {
    struct Case {
        const char* text;
        int days;
    };
    const Case cases[] = {
        {"1", 1},
        {"  7", 7},
        {"\t12", 12},
        {"-3", -3},
        {"+4", 4},
        {"0", 0},
        {"10h", 16},
        {"1FH", 31},
        {"ffh  ", 255},
        {"0x1F", 31},
        {"0X10", 16},
        {"-0x2", -2},
        {"0xAh", 10},
        {"7 ", -1},
        {"", -1},
        {"   ", -1},
        {"abc", -1},
        {"1.5", -1},
        {"1 2", -1},
        {"0x", -1},
        {"h", -1},
        {"1F h", -1},
        {"0x1G", -1},
        {"12d", -1},
        {"2147483647", 2147483647},
        {"2147483648", -1},
        {"-2147483648", -2147483647 - 1},
        {"FFFFFFFFh", -1},
        {"0x7fffffff", 2147483647},
        {"100000000h", -1},
        {"99999999999999999999", -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadAgeDays(c.text), c.days) << '"' << c.text << '"';
}

TEST(FileAge, LimitInLocalTime) {
    timespec now{1700000000, 500};
    const int64_t nowFile = platform::ToFileTime(now);
    constexpr int64_t day = 864000000000LL;
    const AgeLimit one(nowFile, 1);
    EXPECT_EQ(one.LocalLimit(), LocalFileTime(nowFile) - day);
    // A file exactly as old as the limit is not newer than it.
    EXPECT_FALSE(one.Later(nowFile - day));
    EXPECT_TRUE(one.Later(nowFile - day + 1));
    EXPECT_FALSE(one.Later(nowFile - 2 * day));
    EXPECT_TRUE(one.Later(nowFile));
    const AgeLimit zero(nowFile, 0);
    EXPECT_FALSE(zero.Later(nowFile));
    EXPECT_TRUE(zero.Later(nowFile + 1));
    const AgeLimit ahead(nowFile, -1);
    EXPECT_FALSE(ahead.Later(nowFile + day / 2));
    EXPECT_TRUE(ahead.Later(nowFile + day + 1));
    // Extreme answers neither overflow nor wrap around.
    const AgeLimit forever(nowFile, 2147483647);
    EXPECT_TRUE(forever.Later(0));
    EXPECT_TRUE(forever.Later(nowFile));
    const AgeLimit never(nowFile, -2147483647 - 1);
    EXPECT_FALSE(never.Later(nowFile + 1000 * day));
    EXPECT_FALSE(never.Later(std::numeric_limits<int64_t>::max()));
}

// Old local mean times put some zones almost 16 hours from universal time; a
// limit that assumed at most 15 decided files near it without asking the zone.
TEST(FileAge, ZonesFurtherThanFifteenHoursFromUniversalTime) {
    constexpr int64_t minute = 600000000LL;
    struct Zone {
        const char* name;
        time_t when; // a moment of the old local mean time
    };
    for (const Zone& zone :
         {Zone{"Asia/Manila", -4100000000}, Zone{"America/Juneau", -3500000000}}) {
        ScopedEnv tz("TZ", zone.name);
        ::tzset();
        tm local{};
        const time_t when = zone.when;
        ASSERT_TRUE(::localtime_r(&when, &local));
        if (std::abs(local.tm_gmtoff) <= 15 * 3600) {
            ::tzset();
            GTEST_SKIP() << "the zone database here has no old offset for " << zone.name;
        }
        const int64_t now = platform::ToFileTime(timespec{when, 0});
        const AgeLimit limit(now, 0);
        EXPECT_EQ(limit.LocalLimit(), now + local.tm_gmtoff * 10000000LL) << zone.name;
        for (int64_t step = -20 * 60; step <= 20 * 60; step += 30)
            EXPECT_EQ(limit.Later(now + step * minute), step > 0) << zone.name << " " << step;
    }
    ::tzset();
}

TEST(FileAge, ExtremeFileTimesConvertWithoutOverflow) {
    constexpr int64_t least = std::numeric_limits<int64_t>::min();
    for (const int64_t t :
         {least, least + 65535, std::numeric_limits<int64_t>::max(), int64_t{0}, int64_t{-1}}) {
        const timespec ts = platform::FromFileTime(t);
        EXPECT_EQ(platform::ToFileTime(ts), t);
        EXPECT_GE(ts.tv_nsec, 0);
        EXPECT_LT(ts.tv_nsec, 1000000000L);
        LocalFileTime(t);
        AgeLimit(t, 1).Later(t);
    }
    // Seconds beyond what a file time holds are held to its ends.
    EXPECT_EQ(platform::ToFileTime(timespec{std::numeric_limits<time_t>::max(), 0}),
              std::numeric_limits<int64_t>::max());
    EXPECT_EQ(platform::ToFileTime(timespec{std::numeric_limits<time_t>::min(), 0}),
              std::numeric_limits<int64_t>::min());
}

class TagByAgeTest : public TaggingTest {
protected:
    void SetUp() override {
        const int64_t now = nowUnix();
        dir.write("age/future.txt");
        dir.touch("age/future.txt", now + 3 * 3600);
        dir.write("age/farfuture.txt");
        dir.touch("age/farfuture.txt", now + 30 * 3600);
        dir.write("age/fresh.txt");
        dir.touch("age/fresh.txt", now - 20 * 3600);
        dir.write("age/fresh.doc");
        dir.touch("age/fresh.doc", now - 3600);
        dir.write("age/old.txt");
        dir.touch("age/old.txt", now - 28 * 3600);
        dir.write("age/ancient.txt");
        dir.touch("age/ancient.txt", now - 400 * 86400);
        TaggingTest::SetUp();
        // Everything else was just written: it is moved out of the way.
        for (const TLoggedClass* d : cat->LoggedDirs())
            if (d->DirNode() != node("D:\\age\\"))
                for (TFileClass* f : d->FileList())
                    f->SetLastWriteTime(platform::ToFileTime(timespec{now - 1000 * 86400, 0}));
        select("D:\\age\\");
    }
    Names ageTagged() {
        Names out;
        for (const std::string& n : tagged())
            out.insert(n.substr(n.rfind('\\') + 1));
        return out;
    }
};

TEST_F(TagByAgeTest, ZeroDaysOneDayAndUnreadableAnswers) {
    agePrompter.answerText("0");
    tagging->miDirTagAllBranchByAgeClick();
    EXPECT_EQ(ageTagged(), (Names{"farfuture.txt", "future.txt"}));
    EXPECT_EQ(agePrompter.shown().back().caption, "Zentrix");
    EXPECT_EQ(agePrompter.shown().back().text, "Max file age in days of branch files to tag: ");
    EXPECT_EQ(agePrompter.defaults.back(), "1");

    agePrompter.answerText("1");
    tagging->miDirTagAllDiskByAgeClick();
    EXPECT_EQ(ageTagged(), (Names{"farfuture.txt", "future.txt", "fresh.txt", "fresh.doc"}));
    EXPECT_EQ(agePrompter.shown().back().text, "Max file age in days of disk files to tag: ");

    // An unreadable answer is -1 day: only files more than a day ahead change.
    agePrompter.answerText("1 ");
    tagging->miDirUntagAllGlobalByAgeClick();
    EXPECT_EQ(agePrompter.shown().back().text, "Max file age in days of global files to untag: ");
    EXPECT_EQ(ageTagged(), (Names{"future.txt", "fresh.txt", "fresh.doc"}));

    // The hexadecimal forms: 0x2 days and 1FFh days.
    setSpec("*.TXT");
    agePrompter.answerText("0x2");
    tagging->miDirTagAllGlobalByAgeClick();
    EXPECT_EQ(ageTagged(),
              (Names{"farfuture.txt", "future.txt", "fresh.txt", "fresh.doc", "old.txt"}));
    agePrompter.answerText(" 1FFh ");
    tagging->miDirUntagAllBranchByAgeClick();
    EXPECT_EQ(ageTagged(), (Names{"fresh.doc"})) << "the filter keeps the .doc file";

    // Cancelled: nothing changes.
    agePrompter.answerCancel();
    tagging->miDirUntagAllDiskByAgeClick();
    EXPECT_EQ(ageTagged(), (Names{"fresh.doc"}));
    EXPECT_TRUE(agePrompter.allAnswersUsed());
}

// --- tags, scopes and statistics
// ------------------------------------------------------------------------

TEST_F(TaggingTest, TagsSurviveScopesSortingAndRefills) {
    ui.focus = RecordingUi::Focus::FileWindow;
    fill();
    tagging->TagSingleFile();
    tagging->TagSingleFile();
    const Names first = tagged();
    ASSERT_EQ(first.size(), 2u);
    fw->SortFilesBySize();
    fw->ReversedSortOrder();
    EXPECT_EQ(tagged(), first);
    fw->BranchShowAllLogged();
    fill();
    fw->DiskShowAllTagged();
    fill();
    EXPECT_EQ(fw->Count(), 2);
    for (int i = 0; i < fw->Count(); ++i)
        EXPECT_TRUE(fw->Record(i)->Tagged());
    // A re-read that keeps the records keeps their tags.
    logger->RefreshDir(node("D:\\"));
    EXPECT_EQ(tagged(), first);
}

TEST_F(TaggingTest, StatisticsAndTaggedScopesFollowAtOnce) {
    // The tree has the focus: the lower group shows the disk's tagged files and
    // keeps them until the disk-statistics cache is reset.
    ui.focus = RecordingUi::Focus::Tree;
    state.currentDisk = 'D';
    fill();
    fw->UpdateStatistics();
    EXPECT_EQ(fw->Statistics().lowerCaption, " Disk tagged statistics: ");
    EXPECT_EQ(fw->Statistics().taggedFiles, "0");
    EXPECT_EQ(fw->DiskStatCache(), 'D');

    select("D:\\docs\\");
    tagging->DirTagBranch();
    EXPECT_EQ(fw->Statistics().taggedFiles, "4");
    EXPECT_EQ(fw->Statistics().taggedSize, "10 Kb."); // 4 + 2 + 4 + 0
    EXPECT_EQ(fw->DiskStatCache(), 'D') << "recomputed, and cached again";

    tagging->GlobalTagAll(); // E's files do not count for disk D
    EXPECT_EQ(fw->Statistics().taggedFiles, "11");

    // The tagged scope shows the new tags at its next fill.
    fw->BranchShowAllTagged();
    fill();
    EXPECT_EQ(fw->Count(), 4);
    EXPECT_EQ(fw->Statistics().lowerCaption, " Branch tagged statistics: ");
    tagging->UnTagFileWinFiles();
    EXPECT_EQ(fw->Statistics().taggedFiles, "0");
    EXPECT_EQ(fw->Statistics().files, "4");
}

TEST_F(TaggingTest, EveryMenuCommandHasItsHandler) {
    const MenuTable table = MenuTable::Default();
    std::set<std::string> ours;
    for (const auto& [name, handler] : tagging->Commands()) {
        EXPECT_NE(table.findCommand(name), nullptr) << name;
        EXPECT_TRUE(ours.insert(name).second) << name;
    }
    // Every command of the tag, untag and toggle menus is one of ours, but for
    // the tag wizard and the specification toggles.
    const std::set<std::string> elsewhere = {"miDirTagWizardClick", "miDirToggleFileSpecClick",
                                             "miFileTglFileSpecClick"};
    for (const char* menu :
         {"miDirTag", "miDirUnTag", "miDirToggle", "miFileTag", "miFileUnTag", "miFileTgl"}) {
        const MenuItem* item = table.find(menu);
        ASSERT_NE(item, nullptr) << menu;
        for (const MenuItem& sub : item->items) {
            if (!sub.command.empty() && !elsewhere.count(sub.command)) {
                EXPECT_TRUE(ours.count(sub.command)) << sub.command;
            }
        }
    }
    EXPECT_EQ(ours.size(), 40u);
}

} // namespace
} // namespace zentrix::test
