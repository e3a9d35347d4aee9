#include "fixture.h"

#include "core/text.h"
#include "filewindow/filespec.h"

#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

namespace zentrix::test {
namespace {

class FillTest : public FileWindowFixture {
protected:
    void SetUp() override {
        dir.write("a.txt", std::string(100, 'a'));
        dir.write("b.doc", std::string(2048, 'b'));
        dir.write("README");
        dir.write("c.TXT", std::string(1023, 'c'));
        dir.write("docs/d.txt", std::string(5000, 'd'));
        dir.write("docs/e.doc", std::string(3000, 'e'));
        dir.write("docs/f.bmp", "f");
        dir.write("docs/sub/g.txt", "g");
        dir.write("other/h.txt", std::string(4096, 'h'));
        other.write("x.txt", std::string(2048, 'x'));
        other.write("y.doc");
        start();
    }

    /// The names the catalogue holds for a scope's walk, in catalogue order.
    std::vector<std::string> catalogueOrder(const TTreeNode* base, bool taggedOnly,
                                            const std::string& spec) {
        std::vector<std::string> out;
        for (const TLoggedClass* d : cat->LoggedDirs()) {
            if (base && !d->DirNode()->IsInBranchOf(base))
                continue;
            for (const TFileClass* f : d->FileList())
                if ((!taggedOnly || f->Tagged()) && MatchesFileSpec(spec, f->FileName()))
                    out.emplace_back(f->FileName());
        }
        return out;
    }

    void typeSpec(const std::string& text) { fw->ApplyTypedFileSpec(text); }
};

TEST_F(FillTest, CurrentDirectoryIsFilteredAndSortedByName) {
    logAll('D');
    select("D:\\");
    fill();
    EXPECT_EQ(texts(), (std::vector<std::string>{"a.txt", "b.doc", "c.TXT", "README"}));
    EXPECT_EQ(fw->Current(), 0);
    EXPECT_TRUE(ui.enabled);
    EXPECT_FALSE(fw->Maximized());
    EXPECT_FALSE(progress.stopShown);

    typeSpec("  *.txt ");
    EXPECT_EQ(fw->FileSpec(), "*.TXT");
    EXPECT_TRUE(state.refillRequested);
    fill();
    EXPECT_EQ(texts(), (std::vector<std::string>{"a.txt", "c.TXT"}));

    fw->pnFileSpecClick(); // inverted
    EXPECT_TRUE(fw->FileSpecInverted());
    fill();
    EXPECT_EQ(texts(), (std::vector<std::string>{"b.doc", "README"}));

    fw->sbDefaultFSpecClick();
    EXPECT_FALSE(fw->FileSpecInverted());
    typeSpec("*.");
    fill();
    EXPECT_EQ(texts(), (std::vector<std::string>{"README"}));
}

TEST_F(FillTest, TypedSpecificationIsAppliedOnlyWhenChanged) {
    std::vector<std::string> history;
    fw->AddFileSpecHistory = [&](const std::string& t) {
        history.push_back(t);
    };
    typeSpec(" *.txt *.doc ");
    EXPECT_EQ(fw->FileSpec(), "*.TXT *.DOC");
    EXPECT_EQ(fw->FileSpecBoxText(), "*.TXT *.DOC");
    EXPECT_TRUE(state.refillRequested);
    state.refillRequested = false;
    typeSpec("*.TXT *.doc");
    EXPECT_FALSE(state.refillRequested);
    EXPECT_EQ(history, (std::vector<std::string>{"*.TXT *.DOC", "*.TXT *.DOC"}));

    // Blanks only, or nothing: back to "*.*", not inverted.
    fw->ToggleFileSpec();
    typeSpec("   ");
    EXPECT_EQ(fw->FileSpec(), "*.*");
    EXPECT_FALSE(fw->FileSpecInverted());
    EXPECT_TRUE(state.refillRequested);
    fw->ToggleFileSpec();
    typeSpec("");
    EXPECT_EQ(fw->FileSpecBoxText(), "*.*");
    EXPECT_FALSE(fw->FileSpecInverted());

    // Esc puts the specification back; Enter turns an empty box into "*.*".
    typeSpec("*.BMP");
    fw->FileSpecBoxEnter("");
    EXPECT_EQ(fw->FileSpecBoxText(), "*.*");
    fw->FileSpecBoxEscape();
    EXPECT_EQ(fw->FileSpecBoxText(), "*.BMP");

    // No plug-in: the message, the specification unchanged.
    fw->sbExtFileSpecClick("*.BMP");
    EXPECT_EQ(prompter.texts().back(), "Zentrix plugin Utils.so not found.");
    EXPECT_EQ(fw->FileSpec(), "*.BMP");
    fw->ExtendedFileSpec = [](std::string& text) {
        text = "*.png";
        return ExtSpecResult::Accepted;
    };
    fw->sbExtFileSpecClick("*.BMP");
    EXPECT_EQ(fw->FileSpec(), "*.PNG");
}

TEST_F(FillTest, EveryScopeCollectsInCatalogueOrder) {
    logAll('D');
    logAll('E');
    file("D:\\other\\h.txt")->SetTagged(true);
    file("D:\\docs\\sub\\g.txt")->SetTagged(true);
    file("E:\\x.txt")->SetTagged(true);
    file("D:\\README")->SetTagged(true);
    typeSpec("*.TXT");
    select("D:\\docs\\");
    TTreeNode* docs = node("D:\\docs\\");
    TTreeNode* d = node("D:\\");

    struct Expect {
        int scope;
        const TTreeNode* base;
        bool tagged;
        std::vector<std::string> names;
    } cases[] = {
        {2, nullptr, false, {}}, {3, d, false, {}}, {4, docs, false, {}},
        {5, nullptr, true, {}},  {6, d, true, {}},  {7, docs, true, {}},
    };
    for (auto& c : cases) {
        c.names = catalogueOrder(c.base, c.tagged, "*.TXT");
        state.scope = c.scope;
        ui.focus = RecordingUi::Focus::Tree;
        fill();
        EXPECT_EQ(texts(), c.names) << "scope " << c.scope;
        EXPECT_EQ(state.scope, c.scope);
        EXPECT_TRUE(fw->Maximized());
        EXPECT_EQ(ui.focus, RecordingUi::Focus::FileWindow);
        EXPECT_FALSE(progress.stopShown) << "the panel is cleared after the fill";
        EXPECT_FALSE(state.refillRequested);
    }
    // The tagged scopes leave untagged and filtered-out files out; the disk
    // scope reaches every directory of D: and none of E:.
    state.scope = 6;
    fill();
    EXPECT_EQ(texts().size(), 2u);
    state.scope = 3;
    fill();
    for (const auto& t : texts())
        EXPECT_NE(t, "x.txt");
    EXPECT_EQ(texts().size(), 5u);
    state.scope = 2;
    fill();
    EXPECT_EQ(texts().size(), 6u);
    EXPECT_EQ(progress.total, cat->CountFiles(false));
}

TEST_F(FillTest, AnEmptyMultiDirectoryFillReturnsToTheDirectory) {
    logAll('D');
    select("D:\\docs\\");
    fw->ToggleFileSpec(); // inverted "*.*": nothing passes
    state.scope = 4;
    fw->MaximizeMainListBox(true);
    fill();
    EXPECT_EQ(fw->Count(), 0);
    EXPECT_EQ(state.scope, 1);
    EXPECT_TRUE(state.refillRequested);
    EXPECT_EQ(ui.focus, RecordingUi::Focus::Tree);
    EXPECT_FALSE(fw->Maximized());
    // In the directory scope an empty window is disabled.
    fill();
    EXPECT_FALSE(ui.enabled);
    EXPECT_FALSE(state.refillRequested);
}

TEST_F(FillTest, AStopEndsTheWalkAndReturnsToTheDirectory) {
    for (int i = 0; i < 200; ++i)
        dir.write("many/f" + std::to_string(i) + ".txt");
    logAll('D');
    select("D:\\");
    progress.stopAt = 30;
    state.scope = 2;
    fill();
    EXPECT_GT(fw->Count(), 0);
    EXPECT_LE(fw->Count(), 31);
    EXPECT_EQ(state.scope, 1);
    EXPECT_TRUE(state.refillRequested);
    EXPECT_EQ(ui.focus, RecordingUi::Focus::Tree);
    EXPECT_FALSE(progress.stopShown);
    // Events are let through while walking (throttled), not only at the end.
    EXPECT_GE(progress.total, 209);
}

TEST_F(FillTest, RecordsRemovedDuringAFillEndIt) {
    for (int i = 0; i < 200; ++i)
        dir.write("many/f" + std::to_string(i) + ".txt");
    logAll('D');
    select("D:\\");
    int fills = 0;
    progress.onPosition = [&](int64_t p) {
        if (p == 50) {
            // Something run while the fill lets events through: a nested fill
            // waits, a removal ends the walk.
            fw->FillMainListBox();
            ++fills;
            logger->UnlogBranch(node("D:\\many\\"));
        }
    };
    state.scope = 2;
    fill();
    EXPECT_EQ(fills, 1);
    EXPECT_EQ(fw->Count(), 0);
    EXPECT_EQ(state.scope, 1);
    EXPECT_TRUE(state.refillRequested);
    EXPECT_FALSE(fw->Filling());
    EXPECT_TRUE(fw->MainListBoxKeyDown(FileKeys::Escape));
    progress.onPosition = nullptr;
    fill();
    EXPECT_EQ(fw->Count(), 4);
}

TEST_F(FillTest, ResultListShowsNamedFilesThatPassTheFilter) {
    logger->LogDrive('D'); // only the root is read
    ASSERT_FALSE(node("D:\\docs\\")->Logged());
    typeSpec("*.TXT");
    cat->ResultFiles = {"D:\\DOCS\\D.TXT",       "D:\\DOCS\\E.DOC", "D:\\GONE\\X.TXT",
                        "D:\\DOCS\\NOTHERE.TXT", "D:\\A.TXT",       "D:\\DOCS\\SUB\\G.TXT"};
    state.scope = 8;
    fill();
    // The names are kept in upper case, the directories are lower case on disk:
    // they are found all the same. The rejected, missing and unknown ones are
    // skipped silently.
    EXPECT_EQ(texts(), (std::vector<std::string>{"d.txt", "a.txt", "g.txt"}));
    EXPECT_TRUE(prompter.texts().empty());
    EXPECT_EQ(state.scope, 8);
    EXPECT_TRUE(node("D:\\docs\\")->Logged());
    EXPECT_EQ(ui.treeLocks, 1);
    EXPECT_EQ(ui.treeUnlocks, 1);
    EXPECT_TRUE(static_cast<bool>(cat->Tree().OnSelectionChange));
    EXPECT_EQ(fw->Statistics().upperCaption, " Find results statistics ");
    EXPECT_EQ(fw->Statistics().files, "6");
    EXPECT_EQ(fw->Statistics().size, "-");

    cat->ResultFiles.clear();
    fill();
    EXPECT_EQ(fw->Count(), 0);
    EXPECT_EQ(state.scope, 1);
    EXPECT_TRUE(state.refillRequested);
}

// Names on this system are case-sensitive: an entry shows the file of its
// exact name, and another file of the same name in another case only when
// there is no exact one. The same holds for the directories on the way.
TEST_F(FillTest, ResultEntriesFindTheirOwnFileBesideOnesDifferingInCase) {
    dir.write("pair/a.txt", "lower");
    dir.write("pair/A.TXT", "UPPER!");
    dir.write("Twins/x.txt", "1");
    dir.write("TWINS/x.txt", "22");
    logger->LogDrive('D');
    auto shownSize = [&](const std::vector<std::string>& results) {
        cat->ResultFiles = results;
        state.scope = 8;
        fill();
        std::vector<std::string> out;
        for (int i = 0; i < fw->Count(); ++i)
            out.push_back(std::string(fw->Record(i)->FileName()) + ":" +
                          std::to_string(fw->Record(i)->FileSize()));
        return out;
    };
    EXPECT_EQ(shownSize({"D:\\pair\\A.TXT"}), (std::vector<std::string>{"A.TXT:6"}));
    EXPECT_EQ(shownSize({"D:\\pair\\a.txt"}), (std::vector<std::string>{"a.txt:5"}));
    EXPECT_EQ(shownSize({"D:\\TWINS\\x.txt"}), (std::vector<std::string>{"x.txt:2"}));
    EXPECT_EQ(shownSize({"D:\\Twins\\x.txt"}), (std::vector<std::string>{"x.txt:1"}));
    // Without an exact name, the one in another case is found.
    const auto either = shownSize({"D:\\Pair\\a.Txt"});
    ASSERT_EQ(either.size(), 1u);
    EXPECT_TRUE(either[0] == "a.txt:5" || either[0] == "A.TXT:6") << either[0];
}

// What runs during a fill may fail; the error ends in the program's report, and
// the fill must not leave its state behind: a busy cursor for good, a list that
// never repaints, a "STOP" panel, a fill that never runs again.
TEST_F(FillTest, AnErrorDuringAFillLeavesNoStateBehind) {
    logAll('D');
    state.scope = 2;
    progress.onPosition = [](int64_t) {
        throw std::runtime_error("failed meanwhile");
    };
    EXPECT_THROW(fill(), std::runtime_error);
    EXPECT_FALSE(state.busy());
    EXPECT_FALSE(ui.updating);
    EXPECT_FALSE(progress.stopShown);

    progress.onPosition = nullptr;
    fill();
    EXPECT_FALSE(state.refillRequested); // not put off as if a fill still ran
    EXPECT_EQ(fw->Count(), 9);

    // The result list gives the tree its selection handling back.
    cat->ResultFiles = {"D:\\docs\\d.txt"};
    state.scope = 8;
    int positions = 0; // the second is the result list's own
    progress.onPosition = [&](int64_t) {
        if (++positions == 2)
            throw std::runtime_error("failed meanwhile");
    };
    EXPECT_THROW(fill(), std::runtime_error);
    EXPECT_EQ(positions, 2);
    EXPECT_TRUE(static_cast<bool>(cat->Tree().OnSelectionChange));
    EXPECT_EQ(ui.treeLocks, ui.treeUnlocks);
}

TEST_F(FillTest, DroppedNamesBecomeTheResultList) {
    logAll('D');
    state.scope = 4;
    fw->MaximizeMainListBox(true);
    fw->DropFindResults({"d:\\docs\\d.txt", "D:\\a.txt"});
    EXPECT_FALSE(fw->Maximized());
    EXPECT_EQ(ui.focus, RecordingUi::Focus::Tree);
    EXPECT_EQ(state.scope, 8);
    EXPECT_TRUE(state.refillRequested);
    EXPECT_EQ(cat->ResultFiles, (std::vector<std::string>{"d:\\docs\\d.txt", "D:\\a.txt"}));
    fill();
    EXPECT_EQ(texts(), (std::vector<std::string>{"d.txt", "a.txt"}));
    EXPECT_FALSE(state.busy());
}

void makeEmptyFiles(const std::string& dirPath, int count) {
    for (int i = 0; i < count; ++i) {
        const std::string p = dirPath + "/f" + std::to_string(i);
        const int fd = ::open(p.c_str(), O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(fd, 0);
        ::close(fd);
    }
}

TEST_F(FillTest, TheEntryLimit) {
    dir.mkdir("big/inner");
    makeEmptyFiles(dir.at("big/inner"), 32767);
    logAll('D');
    select("D:\\big\\inner\\");
    fill();
    EXPECT_EQ(fw->Count(), 32767);
    EXPECT_TRUE(prompter.texts().empty());

    dir.write("big/inner/one-more");
    logger->RefreshDir(node("D:\\big\\inner\\"));
    fill();
    EXPECT_EQ(fw->Count(), 0);
    ASSERT_EQ(prompter.texts().size(), 1u);
    EXPECT_EQ(prompter.texts()[0], "Too many files!     ");
    EXPECT_EQ(prompter.shown()[0].kind, ScriptedPrompter::Kind::Warn);
    EXPECT_EQ(state.scope, 1);

    // In a branch scope the limit also returns to the directory.
    select("D:\\big\\");
    state.scope = 4;
    fill();
    EXPECT_EQ(fw->Count(), 0);
    EXPECT_EQ(prompter.texts().size(), 2u);
    EXPECT_EQ(state.scope, 1);
    EXPECT_TRUE(state.refillRequested);
}

TEST_F(FillTest, RemovedRecordsAreNeverReadAgain) {
    logAll('D');
    select("D:\\");
    fill();
    ASSERT_EQ(fw->Count(), 4);
    cat->RemoveFileRecord(file("D:\\b.doc"));
    state.refillRequested = false;
    EXPECT_EQ(fw->Count(), 0);
    EXPECT_EQ(fw->Record(0), nullptr);
    EXPECT_EQ(fw->Current(), -1);
    EXPECT_TRUE(state.refillRequested);
    fill();
    EXPECT_EQ(fw->Count(), 3);

    // Unlogging a branch while its files are shown.
    select("D:\\docs\\");
    state.scope = 4;
    fill();
    ASSERT_GT(fw->Count(), 0);
    logger->UnlogBranch(node("D:\\docs\\"));
    EXPECT_EQ(fw->Count(), 0);
    fw->UpdateStatistics(); // reads no record
    EXPECT_FALSE(fw->MainListBoxKeyDown(FileKeys::Shift + 'D') && fw->Current() >= 0);
}

TEST_F(FillTest, MaximisingAndLeavingShowAll) {
    logAll('D');
    select("D:\\");
    state.scope = 3;
    fill();
    EXPECT_TRUE(fw->Maximized());
    fw->MaxFileWin(); // un-maximise: back to the directory
    EXPECT_FALSE(fw->Maximized());
    EXPECT_FALSE(ui.maximized);
    EXPECT_EQ(state.scope, 1);
    EXPECT_TRUE(state.refillRequested);
    fill();
    fw->MaxFileWin();
    EXPECT_TRUE(fw->Maximized());
    EXPECT_EQ(state.scope, 1);

    fw->DiskShowAllTagged();
    EXPECT_EQ(state.scope, 6);
    fw->GlobalShowAllLogged();
    EXPECT_EQ(state.scope, 2);
    fw->BranchShowAllTagged();
    EXPECT_EQ(state.scope, 7);
}

} // namespace
} // namespace zentrix::test
