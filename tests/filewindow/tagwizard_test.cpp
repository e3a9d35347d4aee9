#include "fixture.h"

#include "config/tenhinifile.h"
#include "filewindow/tagcriterion.h"
#include "filewindow/tagwizard.h"
#include "filewindow/tagwizardrun.h"
#include "filewindow/ttemplatelist.h"
#include "platform/filetime.h"

#include <ctime>
#include <set>

namespace zentrix::test {
namespace {

TEST(TagCriterion, LinesAreReadBackAsTheWizardWroteThem) {
    const TagCriterion c{"D:\\DOCS", true, "\\*.EXE", ">30", "<10"};
    EXPECT_EQ(c.Line(), "D:\\DOCS | Y | \\*.EXE | >30 | <10");
    EXPECT_EQ(TagCriterion::Parse(c.Line()), c);
    // Empty conditions, a run of bars as one separator, blanks trimmed, missing
    // fields empty, fields past the fifth ignored.
    EXPECT_EQ(TagCriterion::Parse("D:\\A | N |  |  | "),
              (TagCriterion{"D:\\A", false, "", "", ""}));
    EXPECT_EQ(TagCriterion::Parse("  D:\\A ||| Y|*.TXT"),
              (TagCriterion{"D:\\A", true, "*.TXT", "", ""}));
    EXPECT_EQ(TagCriterion::Parse("D:\\A"), (TagCriterion{"D:\\A", false, "", "", ""}));
    EXPECT_EQ(TagCriterion::Parse("a|Y|b|<1|>2|extra"), (TagCriterion{"a", true, "b", "<1", ">2"}));

    const CriterionColumns cols = DisplayColumns(c);
    EXPECT_EQ(cols.recurse, "Yes");
    EXPECT_EQ(cols.fileSpec, "NOT *.EXE");
    EXPECT_EQ(cols.age, "> 30 days");
    EXPECT_EQ(cols.size, "< 10 Kb");
    const CriterionColumns plain = DisplayColumns(TagCriterion{"D:\\A", false, "", "", ""});
    EXPECT_EQ(plain.recurse, "No");
    EXPECT_EQ(plain.fileSpec, "All files");
    EXPECT_EQ(plain.age, "");
    EXPECT_EQ(plain.size, "");
}

TEST(TagCriterion, ConditionsCountOnlyWhenCheckedAndFilled) {
    CriterionFields f;
    f.directory = "D:\\A";
    f.fileSpec = "*.TXT"; // not checked: no condition
    f.useAge = true;      // checked, but empty: no condition
    f.useSize = true;
    f.size = "10";
    f.largerThan = true;
    EXPECT_EQ(CriterionFromFields(f).Line(), "D:\\A | N |  |  | >10");

    // Loading a criterion back checks the boxes of its conditions only; an empty
    // condition unchecks its box and leaves the box's text alone.
    CriterionFields current;
    current.useSize = true;
    current.size = "77";
    const CriterionFields loaded =
        FieldsFromCriterion(TagCriterion::Parse("D:\\B | Y | \\*.EXE | <5 | "), current);
    EXPECT_TRUE(loaded.recurse);
    EXPECT_TRUE(loaded.useFileSpec);
    EXPECT_TRUE(loaded.invert);
    EXPECT_EQ(loaded.fileSpec, "*.EXE");
    EXPECT_TRUE(loaded.useAge);
    EXPECT_FALSE(loaded.olderThan);
    EXPECT_EQ(loaded.age, "5");
    EXPECT_FALSE(loaded.useSize);
    EXPECT_EQ(loaded.size, "77");
}

class TagWizardModel : public ::testing::Test {
protected:
    TempDir dir;
    ScriptedPrompter prompter;
    std::string storePath = dir.at("registry.ini");
    std::unique_ptr<TEnhIniFile> store = std::make_unique<TEnhIniFile>("Zentrix.INI", storePath);

    static CriterionFields fields(const std::string& directory, bool recurse = false) {
        CriterionFields f;
        f.directory = directory;
        f.recurse = recurse;
        return f;
    }
    /// The program ends and starts again: the store is read from its file.
    void restart() {
        store->UpdateFile();
        store.reset();
        store = std::make_unique<TEnhIniFile>("Zentrix.INI", storePath);
    }
};

TEST_F(TagWizardModel, CriteriaStaySortedUniqueAndSelected) {
    TagWizard w(*store, prompter);
    EXPECT_FALSE(w.Add(fields("   ")));
    EXPECT_TRUE(w.Add(fields("D:\\M")));
    EXPECT_TRUE(w.Add(fields("D:\\B")));
    EXPECT_TRUE(w.Add(fields("D:\\X")));
    EXPECT_EQ(w.SelectedCriterion(), 2);
    // The same line in other letters is selected, not added again.
    EXPECT_FALSE(w.Add(fields("d:\\b")));
    EXPECT_EQ(w.SelectedCriterion(), 0);
    EXPECT_EQ(w.Criteria(), (std::vector<std::string>{"D:\\B | N |  |  | ", "D:\\M | N |  |  | ",
                                                      "D:\\X | N |  |  | "}));

    // Modify replaces the selected line where it stands.
    w.SelectCriterion(0, {});
    EXPECT_TRUE(w.Modify(fields("D:\\Z")));
    EXPECT_EQ(w.Criteria()[0], "D:\\Z | N |  |  | ");
    EXPECT_EQ(w.SelectedCriterion(), 0);
    EXPECT_FALSE(w.Modify(fields("D:\\X"))); // already there: selected instead
    EXPECT_EQ(w.SelectedCriterion(), 2);

    // Delete selects the one before, or the first when the first went.
    w.Delete();
    EXPECT_EQ(w.SelectedCriterion(), 1);
    w.SelectCriterion(0, {});
    w.Delete();
    EXPECT_EQ(w.SelectedCriterion(), 0);
    EXPECT_EQ(w.Criteria().size(), 1u);
    w.Delete();
    EXPECT_EQ(w.SelectedCriterion(), -1);

    // A bar would split the line in the wrong place: refused with a beep.
    EXPECT_FALSE(w.Add(fields("D:\\A|B")));
    EXPECT_EQ(prompter.beeps(), 1);
    EXPECT_TRUE(w.Criteria().empty());
}

TEST_F(TagWizardModel, TemplatesComeBackAfterARestartInTheirOrder) {
    {
        TagWizard w(*store, prompter);
        EXPECT_FALSE(w.AddTemplate("  "));
        w.Add(fields("D:\\ONE", true));
        EXPECT_TRUE(w.AddTemplate(" Work "));
        EXPECT_FALSE(w.AddTemplate("WORK"));
        w.Add(fields("D:\\TWO"));
        EXPECT_TRUE(w.AddTemplate("Zeta"));
        w.Clear();
        w.Add(fields("D:\\THREE"));
        EXPECT_TRUE(w.AddTemplate("Alpha"));
        EXPECT_EQ(prompter.texts(),
                  (std::vector<std::string>{kTemplateNeedsName, kTemplateExists}));
    }
    restart();
    TagWizard w(*store, prompter);
    ASSERT_EQ(w.Templates().Items.size(), 3u);
    EXPECT_EQ(w.Templates().Items[0], (TTemplateClass{"Work", {"D:\\ONE | Y |  |  | "}}));
    EXPECT_EQ(w.Templates().Items[1],
              (TTemplateClass{"Zeta", {"D:\\ONE | Y |  |  | ", "D:\\TWO | N |  |  | "}}));
    EXPECT_EQ(w.Templates().Items[2].Name, "Alpha");
    EXPECT_EQ(w.SelectedTemplate(), 0);

    // Apply renames the selected template and gives it the criteria; a name of
    // another template is refused.
    w.SelectTemplate(1);
    EXPECT_EQ(w.LoadTemplate(), "Zeta");
    EXPECT_EQ(w.SelectedCriterion(), 0);
    w.Delete();
    EXPECT_FALSE(w.ApplyTemplate("alpha"));
    EXPECT_TRUE(w.ApplyTemplate("Beta"));
    // Delete: the template at the same place is selected, or the last one.
    w.SelectTemplate(2);
    w.DeleteTemplate();
    EXPECT_EQ(w.SelectedTemplate(), 1);
    restart();
    TagWizard again(*store, prompter);
    ASSERT_EQ(again.Templates().Items.size(), 2u);
    EXPECT_EQ(again.Templates().Items[1], (TTemplateClass{"Beta", {"D:\\TWO | N |  |  | "}}));
    // The sections of renamed and deleted templates are gone.
    EXPECT_FALSE(store->SectionExists("Zeta"));
    EXPECT_FALSE(store->SectionExists("Alpha"));
}

TEST_F(TagWizardModel, UnnamedAndBrokenTemplateEntriesAreSkipped) {
    store->WriteString("Templates", "T0", "unnamed");
    store->WriteString("Templates", "T1", "Good");
    store->WriteString("Templates", "T2", "");
    store->WriteString("Templates", "T3", "good"); // the same section again
    store->WriteString("Templates", "T7", "Lost"); // counted, but read as T4: "unnamed"
    store->WriteString("Good", "C0", "D:\\A | N |  |  | ");
    store->WriteString("Good", "C1", "D:\\B | N |  |  | ");
    TTemplateList list;
    list.Load(*store);
    ASSERT_EQ(list.Items.size(), 1u);
    EXPECT_EQ(list.Items[0].Criteria.size(), 2u);
}

TEST_F(TagWizardModel, TemplateNamesNeverTakeOverOtherSettings) {
    store->WriteString("Options", "SortOrder", "1");
    store->WriteString("FileSpecHistory", "H0", "*.TXT");
    store->WriteString("Elsewhere", "Key", "kept"); // a section the wizard does not know
    TagWizard w(*store, prompter);
    w.Add(fields("D:\\A"));
    for (const char* name : {"Options", "options", "Templates", "FileSpecHistory", "Elsewhere",
                             "unnamed", "A\\B", "\\Software"}) {
        prompter.clear();
        EXPECT_FALSE(w.AddTemplate(name)) << name;
        EXPECT_EQ(prompter.texts(), std::vector<std::string>{kTemplateNameTaken}) << name;
    }
    EXPECT_TRUE(w.AddTemplate("Mine"));
    w.SelectTemplate(0);
    EXPECT_FALSE(w.ApplyTemplate("Options"));
    EXPECT_TRUE(w.ApplyTemplate("MINE")); // its own section, in other letters
    restart();

    // A settings file that names other sections as templates (written by hand or
    // damaged) does not make them templates, and saving leaves them whole.
    store->WriteString("Templates", "T1", "Options");
    store->WriteString("Templates", "T2", "Elsewhere");
    store->WriteString("Templates", "T3", "Mixed");
    store->WriteString("Mixed", "C0", "D:\\M | N |  |  | ");
    store->WriteString("Mixed", "Note", "not a criterion");
    TTemplateList list;
    list.Load(*store);
    ASSERT_EQ(list.Items.size(), 1u);
    EXPECT_EQ(list.Items[0], (TTemplateClass{"MINE", {"D:\\A | N |  |  | "}}));
    list.Items.clear();
    list.Save(*store);
    restart();
    EXPECT_EQ(store->ReadString("Options", "SortOrder", ""), "1");
    EXPECT_EQ(store->ReadString("FileSpecHistory", "H0", ""), "*.TXT");
    EXPECT_EQ(store->ReadString("Elsewhere", "Key", ""), "kept");
    EXPECT_EQ(store->ReadSection("Mixed").size(), 2u);
    EXPECT_FALSE(store->SectionExists("MINE"));
    EXPECT_EQ(store->ReadSection("Templates").size(), 0u);
}

// --- the run -------------------------------------------------------------------------

constexpr int64_t kDay = 864000000000LL;

class TagWizardApply : public FileWindowFixture {
protected:
    int64_t now = 0;
    std::unique_ptr<TagWizardRun> run;

    void SetUp() override {
        const int64_t unixNow = static_cast<int64_t>(std::time(nullptr));
        now = 116444736000000000LL + unixNow * 10000000LL;
        dir.write("a/x.txt", std::string(10240, 'x'));
        dir.write("a/y.exe", std::string(10241, 'y'));
        dir.write("a/z.TXT", "");
        dir.write("a/sub/deep.txt", "d");
        dir.write("a/sub/deeper/old.txt", "o");
        dir.write("b/other.txt", "o");
        dir.touch("a/x.txt", unixNow - 10 * 86400);
        dir.touch("a/y.exe", unixNow - 3600);
        dir.touch("a/z.TXT", unixNow + 3 * 86400); // dated in the future
        dir.touch("a/sub/deeper/old.txt", unixNow - 400 * 86400);
        start();
        logger->LogDrive('D');
        run = std::make_unique<TagWizardRun>(*cat, state, *logger, *fw, catUi, progress);
        run->now = [this] {
            return now;
        };
    }

    std::set<std::string> tagged() {
        std::set<std::string> out;
        for (const TLoggedClass* d : cat->LoggedDirs())
            for (const TFileClass* f : d->FileList())
                if (f->Tagged())
                    out.insert(f->FullName());
        return out;
    }
    std::set<std::string> apply(std::vector<std::string> lines) {
        run->Apply(lines);
        return tagged();
    }
};

TEST_F(TagWizardApply, OneDirectoryIsLoggedTaggedAndShownAlone) {
    logger->LogDirBranch(); // everything logged
    ASSERT_NE(file("D:\\b\\other.txt"), nullptr);
    file("D:\\b\\other.txt")->SetTagged(true);
    select("D:\\b\\");
    fw->ApplyTypedFileSpec("*.EXE");
    fw->ToggleFileSpec();
    state.refillRequested = false;

    EXPECT_EQ(apply({"D:\\a | N |  |  | "}),
              (std::set<std::string>{"D:\\a\\x.txt", "D:\\a\\y.exe", "D:\\a\\z.TXT"}));
    EXPECT_EQ(state.scope, 5);
    EXPECT_TRUE(state.refillRequested);
    EXPECT_EQ(fw->FileSpec(), "*.*");
    EXPECT_FALSE(fw->FileSpecInverted());
    EXPECT_EQ(cat->Tree().Selected(), node("D:\\b\\")); // the selection comes back
    fill();
    EXPECT_EQ(texts().size(), 3u);

    // An empty list changes nothing at all.
    state.refillRequested = false;
    state.scope = 1;
    run->Apply({});
    EXPECT_EQ(tagged().size(), 3u);
    EXPECT_EQ(state.scope, 1);
    EXPECT_FALSE(state.refillRequested);
}

TEST_F(TagWizardApply, BranchesAreLoggedAndConditionsCombine) {
    // Nothing below the root is logged yet: the first pass logs what it needs.
    ASSERT_EQ(node("D:\\a\\sub\\"), nullptr);
    EXPECT_EQ(apply({"D:\\a | Y |  |  | "}),
              (std::set<std::string>{"D:\\a\\x.txt", "D:\\a\\y.exe", "D:\\a\\z.TXT",
                                     "D:\\a\\sub\\deep.txt", "D:\\a\\sub\\deeper\\old.txt"}));
    ASSERT_NE(node("D:\\a\\sub\\deeper\\"), nullptr);
    EXPECT_TRUE(node("D:\\a\\sub\\deeper\\")->Logged());
    EXPECT_FALSE(node("D:\\b\\")->Logged());

    // Inverted specification, and a criterion of a missing directory that adds
    // nothing; criteria only add tags.
    EXPECT_EQ(apply({"D:\\a | N | \\*.exe |  | ", "D:\\gone | Y |  |  | "}),
              (std::set<std::string>{"D:\\a\\x.txt", "D:\\a\\z.TXT"}));
    EXPECT_EQ(apply({"D:\\a | Y | *.TXT | >100 | ", "D:\\a | N | *.exe |  | "}),
              (std::set<std::string>{"D:\\a\\sub\\deeper\\old.txt", "D:\\a\\y.exe"}));
}

TEST_F(TagWizardApply, AgeAndSizeLimitsIncludeTheirBoundaries) {
    logger->LogDirBranch();
    const std::string a = "D:\\a | N |  | ";
    // Newer than 0 days: only the file dated in the future (and the instant now).
    EXPECT_EQ(apply({a + "<0 | "}), std::set<std::string>{"D:\\a\\z.TXT"});
    // Older than 0 days: everything up to now.
    EXPECT_EQ(apply({a + ">0 | "}), (std::set<std::string>{"D:\\a\\x.txt", "D:\\a\\y.exe"}));
    EXPECT_EQ(apply({a + "<2 | "}), (std::set<std::string>{"D:\\a\\y.exe", "D:\\a\\z.TXT"}));
    EXPECT_EQ(apply({a + ">0x5 | "}), std::set<std::string>{"D:\\a\\x.txt"}); // hexadecimal
    // Unreadable days count as -1: older takes all but what lies a day ahead.
    EXPECT_EQ(apply({a + ">soon | "}), (std::set<std::string>{"D:\\a\\x.txt", "D:\\a\\y.exe"}));

    // 10240 bytes are both larger than 10 Kb and smaller than 10 Kb.
    EXPECT_EQ(apply({a + " | >10"}), (std::set<std::string>{"D:\\a\\x.txt", "D:\\a\\y.exe"}));
    EXPECT_EQ(apply({a + " | <10"}), (std::set<std::string>{"D:\\a\\x.txt", "D:\\a\\z.TXT"}));
    // Unreadable sizes: larger takes every file, smaller none.
    EXPECT_EQ(apply({a + " | >big"}).size(), 3u);
    EXPECT_EQ(apply({a + " | <big"}).size(), 0u);
}

} // namespace
} // namespace zentrix::test
