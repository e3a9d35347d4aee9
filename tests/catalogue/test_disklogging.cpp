#include "cataloguefixture.h"

#include "catalogue/treeobserver.h"
#include "core/progress.h"
#include "platform/attributes.h"
#include "platform/dirlisting.h"
#include "support/tmpfsmount.h"

#include <algorithm>
#include <set>
#include <stdexcept>
#include <thread>

using namespace zentrix;
using namespace zentrix::test;

namespace {

std::vector<std::string> sorted(std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
}

// Progress that asks to stop after a number of checks.
class StoppingProgress : public Progress {
public:
    explicit StoppingProgress(int checksBeforeStop) : m_left(checksBeforeStop) {}
    void setTotal(int64_t) override {}
    void setPosition(int64_t) override {}
    void showStop(bool shown) override { stops.push_back(shown); }
    bool aborted() const override { return m_left-- <= 0; }
    std::vector<bool> stops;

protected:
    void processEvents() override {}

private:
    mutable int m_left;
};

} // namespace

TEST_F(CatalogueTest, LoggingADriveReadsItsRootAndOneLevel) {
    tmp.write("d/a.txt", "abc");
    tmp.write("d/.profile", "p");
    tmp.write("d/Docs/x.txt");
    tmp.mkdir("d/.cache/inside");
    tmp.mkdir("d/empty");

    logger->LogDrive('d');

    ASSERT_EQ(tree().TopCount(), 1);
    TTreeNode* root = tree().Top(0);
    EXPECT_EQ(root->Text(), "D:\\");
    EXPECT_EQ(root->Path(), "D:\\");
    // Hidden subdirectories and files are catalogued like any other.
    EXPECT_EQ(sorted(children(root)), (std::vector<std::string>{".cache", "Docs", "empty"}));
    EXPECT_EQ(sorted(files(root)), (std::vector<std::string>{".profile", "a.txt"}));
    EXPECT_TRUE(root->Logged());
    EXPECT_TRUE(root->Expanded());
    EXPECT_EQ(root->ImageIndex(), kImageLogged);
    EXPECT_EQ(root->SelectedIndex(), kImageLoggedSelected);
    for (int i = 0; i < root->Count(); ++i) {
        EXPECT_FALSE(root->Item(i)->Logged());
        EXPECT_EQ(root->Item(i)->ImageIndex(), kImageUnlogged);
        // Precision 0 reads no child: the link counts the file system keeps
        // still leave the expand button only where a subdirectory may be.
        EXPECT_EQ(root->Item(i)->HasChildren(), root->Item(i)->Text() == ".cache")
            << root->Item(i)->Text();
    }
    EXPECT_EQ(tree().Selected(), root);
    EXPECT_EQ(tabs->Letters(), "D");
    EXPECT_EQ(state.currentDisk, 'D');
    EXPECT_EQ(state.scope, 1);
    EXPECT_TRUE(state.refillRequested);
    EXPECT_FALSE(state.driveSwitch);
    EXPECT_FALSE(state.busy());
    EXPECT_EQ(ui.calls.front(), "title:Logging disk D: ...");
    EXPECT_EQ(ui.count("label:Please wait ..."), 1);
    EXPECT_EQ(ui.count("title:Zentrix"), 1);

    TFileClass* a = file(root, "a.txt");
    ASSERT_TRUE(a);
    EXPECT_EQ(a->FileSize(), 3);
    EXPECT_EQ(a->Tagged(), 0);
    EXPECT_EQ(a->DescIndex(), -1);
    EXPECT_EQ(a->FileDirName(), "D:\\"); // no second backslash after a root
    EXPECT_EQ(a->FullName(), "D:\\a.txt");
    EXPECT_EQ(a->FileExt(), ".TXT");
}

TEST_F(CatalogueTest, HiddenDirectoriesAreNodesUnlessTheSettingsHideThem) {
    tmp.write("d/.config/app/settings.ini");
    tmp.write("d/.git/HEAD");
    tmp.write("d/src/main.cpp");
    tmp.mkdir("d/onlyhidden/.inner");
    settings.LogDrivePrecisionOption = 10;
    logger->LogDrive('D');
    TTreeNode* root = tree().Top(0);
    EXPECT_EQ(sorted(children(root)),
              (std::vector<std::string>{".config", ".git", "onlyhidden", "src"}));
    EXPECT_EQ(node("D:\\.config\\")->Attributes(),
              platform::kAttrDirectory | platform::kAttrHidden);
    EXPECT_EQ(node("D:\\src\\")->Attributes(), platform::kAttrDirectory);
    EXPECT_TRUE(node("D:\\onlyhidden\\")->HasChildren());
    tree().Select(root);
    logger->LogDirBranch();
    EXPECT_EQ(files(node("D:\\.config\\app\\")), (std::vector<std::string>{"settings.ini"}));

    // Hidden: no node for them, no expand button for a directory that has only
    // hidden ones, and a branch read leaves them out.
    settings.ShowHiddenDirsOption = false;
    logger->LogDrive('D');
    root = tree().Top(0);
    EXPECT_EQ(sorted(children(root)), (std::vector<std::string>{"onlyhidden", "src"}));
    EXPECT_FALSE(node("D:\\onlyhidden\\")->HasChildren());
    tree().Select(root);
    logger->LogDirBranch();
    EXPECT_EQ(sorted(loggedPaths()),
              (std::vector<std::string>{"D:\\", "D:\\onlyhidden\\", "D:\\src\\"}));

    // Still reachable by its path; a re-read keeps it, and adds no others.
    ASSERT_TRUE(logger->GoToDirPath("D:\\.config\\app\\"));
    EXPECT_EQ(tree().Selected()->Path(), "D:\\.config\\app\\");
    tmp.mkdir("d/.cache");
    EXPECT_FALSE(logger->RefreshDir(root));
    EXPECT_EQ(sorted(children(root)), (std::vector<std::string>{".config", "onlyhidden", "src"}));
}

TEST_F(CatalogueTest, NamesThatDifferOnlyInCaseAreEachReachable) {
    tmp.write("d/Docs/mixed.txt");
    tmp.write("d/DOCS/upper.txt");
    tmp.write("d/Solo/x.txt");
    logger->LogDrive('D');
    ASSERT_TRUE(logger->GoToDirPath("D:\\DOCS\\"));
    EXPECT_EQ(files(tree().Selected()), (std::vector<std::string>{"upper.txt"}));
    ASSERT_TRUE(logger->GoToDirPath("D:\\Docs\\"));
    EXPECT_EQ(files(tree().Selected()), (std::vector<std::string>{"mixed.txt"}));
    EXPECT_EQ(node("D:\\DOCS\\")->Text(), "DOCS");
    EXPECT_EQ(node("d:\\Docs\\")->Text(), "Docs");
    // Without an exact name, the name in another case.
    EXPECT_EQ(node("D:\\SOLO\\")->Text(), "Solo");
    ASSERT_TRUE(logger->GoToDirPath("D:\\solo\\"));
    EXPECT_EQ(tree().Selected()->Path(), "D:\\Solo\\");

    // A directory made after its parent was read is opened by its path too.
    tmp.write("d/Solo/Later/y.txt");
    ASSERT_TRUE(logger->GoToDirPath("D:\\Solo\\Later\\"));
    EXPECT_EQ(files(tree().Selected()), (std::vector<std::string>{"y.txt"}));
    EXPECT_FALSE(logger->GoToDirPath("D:\\Solo\\Never\\"));
}

TEST_F(CatalogueTest, RootsStayInLetterOrderAndTabsFollow) {
    logger->LogDrive('D');
    logger->LogDrive('C');
    logger->LogDrive('E');
    ASSERT_EQ(tree().TopCount(), 3);
    EXPECT_EQ(tree().Top(0)->Text(), "C:\\");
    EXPECT_EQ(tree().Top(1)->Text(), "D:\\");
    EXPECT_EQ(tree().Top(2)->Text(), "E:\\");
    EXPECT_EQ(tabs->Letters(), "CDE");
    EXPECT_EQ(tabs->ActiveLetter(), 'E');
}

TEST_F(CatalogueTest, OpeningAnEmptyDirectoryDropsItsButton) {
    tmp.mkdir("d/empty");
    tmp.write("d/full/f.txt");
    logger->LogDrive('D');
    TTreeNode* empty = node("D:\\empty\\");
    ASSERT_TRUE(empty);
    // Nothing below either: no button from the start (link counts).
    EXPECT_FALSE(empty->HasChildren());
    EXPECT_FALSE(node("D:\\full\\")->HasChildren());
    // With a button, as a node closed after it had children keeps one.
    tree().SetHasChildren(empty, true);
    logger->LogSubDirs(empty);
    logger->LogDirFiles(empty);
    EXPECT_FALSE(empty->HasChildren());
    EXPECT_TRUE(empty->Logged());
    EXPECT_EQ(empty->Data()->DirSize(), 0);
    EXPECT_EQ(empty->ImageIndex(), kImageEmpty);
    EXPECT_EQ(empty->SelectedIndex(), kImageEmptySelected);
}

TEST_F(CatalogueTest, ProbeReadsOnlyAsManyEntriesAsThePrecisionAllows) {
    EXPECT_EQ(DiskLogger::ProbeLimit(0), 0);
    const std::vector<int64_t> limits = {10,   100,   300,   1000,   2500,
                                         6000, 35000, 80000, 450000, 999990};
    for (int p = 1; p <= 10; ++p)
        EXPECT_EQ(DiskLogger::ProbeLimit(p), limits[p - 1]) << p;

    // On a tmpfs the listing order follows the order the entries were made in
    // (forwards or backwards, by kernel): of two directories of 40 files and one
    // subdirectory, made first in one and last in the other, one lists the
    // subdirectory first and the other after all its files.
    const TmpfsMount disk(tmp.at("d"));
    if (!disk.mounted())
        GTEST_SKIP() << disk.reason();
    tmp.mkdir("d/first/sub");
    for (int i = 0; i < 40; ++i) {
        tmp.write("d/first/f" + std::to_string(i));
        tmp.write("d/last/f" + std::to_string(i));
    }
    tmp.mkdir("d/last/sub");
    tmp.mkdir("d/emptydir");
    tmp.write("d/filesonly/x");
    auto positionOfSub = [&](const std::string& dir) {
        platform::DirListing listing;
        EXPECT_TRUE(listing.Open(tmp.at(dir)));
        int position = 0;
        platform::DirEntry e;
        while (listing.Next(e)) {
            if (e.hostName == "sub")
                return position;
            if (e.hostName != "." && e.hostName != "..")
                ++position;
        }
        return -1;
    };
    std::string early = "d/first", late = "d/last";
    if (positionOfSub(early) != 0)
        std::swap(early, late);
    ASSERT_EQ(positionOfSub(early), 0);
    ASSERT_EQ(positionOfSub(late), 40);

    // Precision 1 reads 10 entries: the early subdirectory is seen, the late not.
    settings.LogDrivePrecisionOption = 1;
    EXPECT_EQ(logger->PrecisionProbe(tmp.at(early), false), 3);
    EXPECT_EQ(logger->PrecisionProbe(tmp.at(late), false), 1);
    EXPECT_EQ(logger->PrecisionProbe(tmp.at(late), true), 3); // exact reads them all
    EXPECT_EQ(logger->PrecisionProbe(tmp.at("d/emptydir"), true), 0);
    EXPECT_EQ(logger->PrecisionProbe(tmp.at("d/filesonly"), false), 1);
    logger->LogDrive('D');
    EXPECT_TRUE(node("D:\\" + early.substr(2) + "\\")->HasChildren());
    EXPECT_FALSE(node("D:\\" + late.substr(2) + "\\")->HasChildren());
    settings.LogDrivePrecisionOption = 0;
    EXPECT_EQ(logger->PrecisionProbe(tmp.at("d/does-not-exist"), false), 3); // not read at all

    settings.LogDrivePrecisionOption = 10;
    logger->LogDrive('D');
    EXPECT_TRUE(node("D:\\" + late.substr(2) + "\\")->HasChildren());
    EXPECT_FALSE(node("D:\\emptydir\\")->HasChildren());
    EXPECT_FALSE(node("D:\\filesonly\\")->HasChildren());
}

TEST_F(CatalogueTest, SizesAreWholeAndKilobytesRoundDownPerFile) {
    tmp.sparse("d/four-gig-and-5", (4ull << 30) + 5);
    tmp.sparse("d/three-gig", 3ull << 30);
    for (int i = 0; i < 10; ++i)
        tmp.write("d/small/f" + std::to_string(i), std::string(1023, 'x'));
    tmp.write("d/small/kilo", std::string(1024, 'x'));
    logger->LogDrive('D');
    TTreeNode* root = tree().Top(0);
    EXPECT_EQ(file(root, "four-gig-and-5")->FileSize(), (4ll << 30) + 5);
    EXPECT_EQ(file(root, "three-gig")->FileSize(), 3ll << 30);
    EXPECT_EQ(root->Data()->DirSize(), (7ll << 30) + 5);

    TTreeNode* small = node("D:\\small\\");
    logger->LogDirFiles(small);
    EXPECT_EQ(cat->BranchFigures(small, false).count, 11);
    EXPECT_EQ(cat->BranchFigures(small, false).kb, 1); // ten files of 1023 bytes count 0
    file(small, "f3")->SetTagged(true);
    file(small, "kilo")->SetTagged(true);
    EXPECT_EQ(cat->BranchFigures(small, true).count, 2);
    EXPECT_EQ(cat->BranchFigures(small, true).kb, 1);
    EXPECT_EQ(cat->CountFiles(false), 13);
    EXPECT_EQ(cat->CountFiles(true), 2);
    EXPECT_EQ(cat->SumKb(false), 1 + (7ll << 20)); // beyond 32 bits in bytes, whole in Kb
    EXPECT_EQ(cat->BranchFigures(root, false).kb, 1 + (7ll << 20));

    // A re-read keeps a tagged file whose large size did not change.
    file(root, "three-gig")->SetTagged(true);
    logger->RefreshDir(root);
    EXPECT_TRUE(file(root, "three-gig")->Tagged());
    EXPECT_FALSE(cat->BranchHasNonPlainFiles(small));
    tmp.chmod("d/small/f0", 0444);
    logger->RefreshDir(small);
    EXPECT_TRUE(cat->BranchHasNonPlainFiles(root));
}

TEST_F(CatalogueTest, BranchLoggingWalksDepthFirstAndNeverFollowsLinks) {
    tmp.write("d/a/b/c/f1");
    tmp.write("d/a/b/f2");
    tmp.write("d/a/d/f3");
    tmp.write("d/z/f4");
    tmp.symlink("..", "d/a/up");           // a loop back to the drive root
    tmp.symlink(tmp.at("d/z"), "d/a/zlink");
    logger->LogDrive('D');
    tree().Select(tree().Top(0));
    logger->LogDirBranch();

    const std::vector<std::string> logged = loggedPaths();
    EXPECT_EQ(sorted(logged), (std::vector<std::string>{"D:\\", "D:\\a\\", "D:\\a\\b\\",
                                                        "D:\\a\\b\\c\\", "D:\\a\\d\\",
                                                        "D:\\z\\"}));
    // Pre-order, whatever order the directories were listed in: every directory
    // comes after its parent, and the directories below it follow it as one run.
    for (size_t i = 0; i < logged.size(); ++i) {
        size_t run = i + 1;
        while (run < logged.size() && logged[run].rfind(logged[i], 0) == 0)
            ++run;
        for (size_t k = run; k < logged.size(); ++k)
            EXPECT_NE(logged[k].rfind(logged[i], 0), 0u)
                << logged[k] << " is below " << logged[i] << " but apart from its branch";
        if (i > 0) {
            const std::string parent =
                logged[i].substr(0, logged[i].rfind('\\', logged[i].size() - 2) + 1);
            const auto at = std::find(logged.begin(), logged.end(), parent);
            EXPECT_LT(at - logged.begin(), static_cast<std::ptrdiff_t>(i)) << logged[i];
        }
    }

    TTreeNode* up = node("D:\\a\\up\\");
    ASSERT_TRUE(up);
    EXPECT_TRUE(up->IsLink());
    EXPECT_FALSE(up->Logged());
    EXPECT_TRUE(up->HasChildren());
    EXPECT_EQ(up->Count(), 0);
    // Every directory with subdirectories is open; one without has nothing to open.
    EXPECT_TRUE(node("D:\\")->Expanded());
    EXPECT_TRUE(node("D:\\a\\")->Expanded());
    EXPECT_TRUE(node("D:\\a\\b\\")->Expanded());
    EXPECT_EQ(node("D:\\a\\b\\c\\")->Count(), 0);
    EXPECT_FALSE(node("D:\\a\\b\\c\\")->Expanded());
    EXPECT_EQ(children(node("D:\\a\\")), (std::vector<std::string>{"b", "d", "up", "zlink"}));
    EXPECT_EQ(ui.count("sound"), 1);
    EXPECT_EQ(ui.count("freeze"), 1);
    EXPECT_EQ(ui.count("thaw"), 1);

    // Asking again finds nothing more to read (the links stay closed).
    const int before = cat->LoggedDirs().Count();
    logger->LogDirBranch();
    EXPECT_EQ(cat->LoggedDirs().Count(), before);
}

// An error while a branch is read (it ends in the program's report) must not
// leave the tree frozen, inside an update batch or the cursor busy.
TEST_F(CatalogueTest, AnErrorWhileReadingABranchLeavesNoStateBehind) {
    struct Batches : TreeObserver {
        int begun = 0, ended = 0;
        void nodesAboutToBeInserted(TTreeNode*, int, int) override {}
        void nodesInserted(TTreeNode*, int, int) override {}
        void nodesAboutToBeRemoved(TTreeNode*, int, int) override {}
        void nodesRemoved(TTreeNode*, int, int) override {}
        void childrenAboutToBeReordered(TTreeNode*) override {}
        void childrenReordered(TTreeNode*) override {}
        void nodeChanged(TTreeNode*) override {}
        void nodeExpansionChanged(TTreeNode*, bool) override {}
        void selectionChanged(TTreeNode*) override {}
        void treeAboutToBeReset() override { ++begun; }
        void treeReset() override { ++ended; }
    } batches;
    tmp.write("d/a/b/f");
    logger->LogDrive('D');
    TTreeNode* a = node("D:\\a\\");
    logger->LogSubDirs(a); // known below, not yet read: the branch read starts over here
    tree().Select(a);
    tree().AddObserver(&batches);
    auto keep = tree().OnNodeDestroying;
    tree().OnNodeDestroying = [](TTreeNode*) {
        throw std::runtime_error("failed meanwhile");
    };
    EXPECT_THROW(logger->LogDirBranch(), std::runtime_error);
    tree().OnNodeDestroying = keep;
    tree().RemoveObserver(&batches);
    EXPECT_EQ(batches.begun, 1);
    EXPECT_EQ(batches.ended, 1);
    EXPECT_FALSE(state.busy());
    EXPECT_EQ(ui.count("freeze"), 1);
    EXPECT_EQ(ui.count("thaw"), 1);
}

TEST_F(CatalogueTest, ReadingALoggedBranchAgainReplacesItsRecords) {
    tmp.write("d/a/b/f");
    logger->LogDrive('D');
    TTreeNode* root = tree().Top(0);
    logger->LogBranchRecursive(root);
    logger->LogBranchRecursive(root);
    EXPECT_EQ(sorted(loggedPaths()), (std::vector<std::string>{"D:\\", "D:\\a\\", "D:\\a\\b\\"}));
    EXPECT_EQ(cat->CountFiles(false), 1);
}

TEST_F(CatalogueTest, ADiskThatIsGoneIsReleasedEvenWhenCIsGoneToo) {
    settings.SkipReleaseDrvOption = true;
    tmp.remove("c");
    tmp.remove("d");
    prompter.answer(false); // "Disk not ready!" for D: cancel, so D is released
    logger->LogDrive('D');
    EXPECT_EQ(tree().TopCount(), 0);
    EXPECT_TRUE(prompter.allAnswersUsed());
}

TEST_F(CatalogueTest, BranchLoggingOfAVanishedDirectoryLeavesItLoggedAndEmpty) {
    tmp.write("d/gone/f");
    logger->LogDrive('D');
    TTreeNode* gone = node("D:\\gone\\");
    tmp.remove("d/gone");
    logger->LogBranchRecursive(gone);
    EXPECT_TRUE(gone->Logged());
    EXPECT_EQ(gone->Data()->NumFilesInDir(), 0);

    // The single-directory reader leaves a directory it cannot list unlogged.
    tmp.write("d/was-a-dir/f");
    logger->RefreshDir(tree().Top(0));
    TTreeNode* w = node("D:\\was-a-dir\\");
    ASSERT_TRUE(w);
    tmp.remove("d/was-a-dir");
    tmp.write("d/was-a-dir", "now a file");
    logger->LogDirFiles(w);
    EXPECT_FALSE(w->Logged());
}

TEST_F(CatalogueTest, RefreshKeepsTagsOfTaggedFilesThatDidNotChange) {
    tmp.write("d/keep.txt", "k");
    tmp.write("d/changed.txt", "c");
    tmp.write("d/plain.txt", "p");
    tmp.write("d/gone.txt", "g");
    tmp.write("d/old/deep/f");
    tmp.touch("d/changed.txt", 1600000000);
    logger->LogDrive('D');
    TTreeNode* root = tree().Top(0);
    tree().Select(node("D:\\old\\"));
    logger->LogDirBranch();
    tree().Select(root);
    ASSERT_EQ(cat->LoggedDirs().Count(), 3);
    for (const char* n : {"keep.txt", "changed.txt", "gone.txt"})
        file(root, n)->SetTagged(true);

    tmp.touch("d/changed.txt", 1600000100);
    tmp.remove("d/gone.txt");
    tmp.write("d/new.txt", "n");
    tmp.remove("d/old");
    tmp.mkdir("d/newdir");
    const uint64_t generation = cat->Generation();

    EXPECT_TRUE(logger->RefreshDir(root));
    EXPECT_EQ(sorted(files(root)),
              (std::vector<std::string>{"changed.txt", "keep.txt", "new.txt", "plain.txt"}));
    EXPECT_EQ(file(root, "keep.txt")->Tagged(), 1);
    EXPECT_EQ(file(root, "changed.txt")->Tagged(), 0); // catalogued afresh
    EXPECT_EQ(file(root, "new.txt")->Tagged(), 0);
    EXPECT_EQ(files(root).front(), "keep.txt"); // kept records first, then the new ones
    EXPECT_EQ(children(root), (std::vector<std::string>{"newdir"}));
    // No probe for new children; the link count says there is nothing below.
    EXPECT_FALSE(node("D:\\newdir\\")->HasChildren());
    EXPECT_EQ(loggedPaths(), (std::vector<std::string>{"D:\\"}));
    EXPECT_NE(cat->Generation(), generation);
    EXPECT_TRUE(root->Expanded());

    // All files tagged and unchanged, nothing new: nothing changes, records stay.
    for (TFileClass* f : root->Data()->FileList())
        f->SetTagged(true);
    TFileClass* keep = file(root, "keep.txt");
    EXPECT_FALSE(logger->RefreshDir(root));
    EXPECT_EQ(file(root, "keep.txt"), keep);

    // A directory that cannot be read keeps what it had.
    tmp.remove("d");
    EXPECT_FALSE(logger->RefreshDir(root));
    EXPECT_EQ(files(root).size(), 4u);
}

TEST_F(CatalogueTest, UnloggingABranchForgetsEverythingBelowIt) {
    tmp.write("d/a/b/f1");
    tmp.write("d/a/f2");
    tmp.write("d/z/f3");
    logger->LogDrive('D');
    tree().Select(tree().Top(0));
    logger->LogDirBranch();
    TTreeNode* a = node("D:\\a\\");
    file(a, "f2")->SetTagged(true);
    tree().Select(a);
    ui.calls.clear();
    state.refillRequested = false;

    logger->UnlogBranch(a);
    EXPECT_FALSE(a->Logged());
    EXPECT_FALSE(a->Expanded());
    EXPECT_EQ(a->Count(), 0);
    EXPECT_TRUE(a->HasChildren()); // it can be opened again
    EXPECT_EQ(a->ImageIndex(), kImageUnlogged);
    EXPECT_EQ(sorted(loggedPaths()), (std::vector<std::string>{"D:\\", "D:\\z\\"}));
    EXPECT_EQ(cat->CountFiles(true), 0);
    EXPECT_EQ(ui.count("empty"), 1);
    EXPECT_TRUE(state.refillRequested);

    // Opening it again shows the files untagged.
    logger->LogSubDirs(a);
    logger->LogDirFiles(a);
    EXPECT_EQ(file(a, "f2")->Tagged(), 0);

    // "-" on a drive root forgets the disk's catalogue but keeps the disk.
    logger->UnlogBranch(tree().Top(0));
    EXPECT_EQ(tree().TopCount(), 1);
    EXPECT_FALSE(tree().Top(0)->Logged());
    EXPECT_TRUE(tree().Top(0)->HasChildren());
    EXPECT_EQ(cat->LoggedDirs().Count(), 0);
}

TEST_F(CatalogueTest, LoggingADriveAgainStartsFromScratch) {
    tmp.write("d/f.txt");
    logger->LogDrive('D');
    file(tree().Top(0), "f.txt")->SetTagged(true);
    ui.calls.clear();
    logger->LogDrive('D');
    EXPECT_EQ(tree().TopCount(), 1);
    EXPECT_EQ(file(tree().Top(0), "f.txt")->Tagged(), 0);
    EXPECT_EQ(cat->LoggedDirs().Count(), 1);
    EXPECT_EQ(tabs->Letters(), "D");
    EXPECT_GE(ui.count("empty"), 1);
}

TEST_F(CatalogueTest, ReleasingDisks) {
    tmp.mkdir("c/x/y");
    tmp.mkdir("d/docs");
    logger->LogDrive('C');
    logger->ReleaseDisk();
    EXPECT_EQ(prompter.texts(), (std::vector<std::string>{"There is only one disk logged!     "}));
    EXPECT_EQ(tree().TopCount(), 1);

    ASSERT_TRUE(logger->GoToDirPath("C:\\x\\"));
    logger->LogDrive('D');
    ASSERT_TRUE(logger->GoToDirPath("D:\\docs\\"));
    prompter.clear();

    prompter.answer(false);
    EXPECT_FALSE(logger->ReleaseDrive('D'));
    EXPECT_EQ(prompter.questions(), (std::vector<std::string>{"Release disk D ???"}));
    EXPECT_EQ(tree().TopCount(), 2);

    prompter.answer(true);
    logger->ReleaseDisk(); // the selected node is on D
    EXPECT_EQ(tree().TopCount(), 1);
    EXPECT_EQ(tabs->Letters(), "C");
    EXPECT_EQ(cat->LastDirs.Get('D'), "");
    // The other disk's last directory is selected.
    ASSERT_TRUE(tree().Selected());
    EXPECT_EQ(tree().Selected()->Path(), "C:\\x\\");
    EXPECT_EQ(state.currentDisk, 'C');
    EXPECT_TRUE(prompter.allAnswersUsed());

    // A disk that is not logged is not released and nothing is asked.
    prompter.clear();
    EXPECT_FALSE(logger->ReleaseDrive('E'));
    EXPECT_TRUE(prompter.shown().empty());

    // Releasing the last disk through the operation itself logs C again.
    settings.SkipReleaseDrvOption = true;
    EXPECT_TRUE(logger->ReleaseDrive('C'));
    EXPECT_TRUE(prompter.shown().empty());
    ASSERT_EQ(tree().TopCount(), 1);
    EXPECT_EQ(tree().Top(0)->Text(), "C:\\");
    EXPECT_TRUE(tree().Top(0)->Logged());
}

TEST_F(CatalogueTest, ReleasingTheDiskWorkedInMakesTheDiskLeftCurrent) {
    // C was last shown at its root, where the selection lands anyway when D's
    // root goes: the disk information must still follow.
    tmp.mkdir("d/docs");
    logger->LogDrive('C');
    logger->LogDrive('D');
    ASSERT_TRUE(logger->GoToDirPath("D:\\docs\\"));
    ASSERT_EQ(state.currentDisk, 'D');
    ui.calls.clear();
    prompter.answer(true);
    logger->ReleaseDisk();
    ASSERT_EQ(tree().TopCount(), 1);
    EXPECT_EQ(tree().Selected(), tree().Top(0));
    EXPECT_EQ(state.currentDisk, 'C');
    EXPECT_EQ(tabs->ActiveLetter(), 'C');
    EXPECT_EQ(ui.count("diskInfo"), 1);
    EXPECT_EQ(cat->LastDirs.Get('C'), "C:\\");
}

// Unmapping waits for an outside tool: the title says so meanwhile, and a tool
// that fails (here: nothing is mounted there) leaves the disk logged.
TEST_F(CatalogueTest, UnmappingANetworkDiskShowsThatItRunsAndReportsAFailure) {
    tmp.mkdir("n");
    useDrives("C=" + tmp.at("c") + ";N=" + tmp.at("n") + ":network");
    settings.Compatibility = 2;
    logger->LogDrive('C');
    logger->LogDrive('N');
    ui.calls.clear();
    prompter.answer(true).answer(true); // release, disconnect
    EXPECT_FALSE(logger->ReleaseDrive('N'));
    EXPECT_EQ(prompter.texts(),
              (std::vector<std::string>{"Release disk N ???", "Disconnect network mapping ?",
                                        "Could not unmap disk from network!     "}));
    const auto running = std::find(ui.calls.begin(), ui.calls.end(), "title:Unmapping disk N: ...");
    ASSERT_NE(running, ui.calls.end());
    EXPECT_NE(std::find(running, ui.calls.end(), "title:Zentrix"), ui.calls.end());
    EXPECT_FALSE(state.busy());
    EXPECT_EQ(tree().TopCount(), 2);
}

TEST_F(CatalogueTest, ReleaseWithoutALastDirectoryFallsBackToANeighbourRoot) {
    settings.SkipReleaseDrvOption = true;
    logger->LogDrive('C');
    logger->LogDrive('D');
    logger->LogDrive('E');
    cat->LastDirs.Forget('C');
    cat->LastDirs.Forget('D');
    cat->LastDirs.Forget('E');
    tree().Select(tree().Top(1));
    EXPECT_TRUE(logger->ReleaseDrive('D'));
    ASSERT_TRUE(tree().Selected());
    EXPECT_EQ(tree().Selected()->Parent(), nullptr);
}

TEST_F(CatalogueTest, PathsAreFoundWithoutRegardToCaseAndOpenedLevelByLevel) {
    tmp.write("d/Docs/Sub/deep.txt");
    tmp.write("d/Docs/top.txt");
    EXPECT_TRUE(logger->GoToDirPath("D:\\Docs\\Sub\\"));
    ASSERT_EQ(tree().TopCount(), 1);
    TTreeNode* sub = node("d:\\docs\\SUB\\");
    ASSERT_TRUE(sub);
    EXPECT_EQ(tree().Selected(), sub);
    EXPECT_TRUE(sub->Logged());
    EXPECT_TRUE(node("D:\\Docs\\")->Logged());
    EXPECT_EQ(files(sub), (std::vector<std::string>{"deep.txt"}));
    EXPECT_EQ(node("D:"), tree().Top(0));
    EXPECT_EQ(node("D:\\Docs\\Missing\\"), nullptr);
    EXPECT_EQ(node("Q:\\"), nullptr);

    // A path to a directory that is not there leaves the selection alone.
    EXPECT_FALSE(logger->GoToDirPath("D:\\Docs\\Nope\\"));
    EXPECT_EQ(tree().Selected(), sub);

    // Typed paths that try to step out, skip a level or name no drive do nothing.
    const int logged = cat->LoggedDirs().Count();
    for (const char* bad : {"D:\\Docs\\..\\..\\etc\\", "D:\\.\\Docs\\", "D:\\\\Docs\\",
                            "relative\\path\\", "", "1:\\"}) {
        EXPECT_FALSE(logger->GoToDirPath(bad)) << bad;
    }
    EXPECT_EQ(cat->LoggedDirs().Count(), logged);
    EXPECT_EQ(tree().Selected(), sub);
}

TEST_F(CatalogueTest, SelectingANodeOnADiskThatIsNotReadyAsksToRetryThenReleases) {
    tmp.mkdir("e/sub");
    logger->LogDrive('C');
    logger->LogDrive('E');
    tree().Select(node("E:\\sub\\"));
    EXPECT_EQ(cat->LastDirs.Get('E'), "E:\\sub\\");
    tree().Select(tree().Top(0));
    EXPECT_EQ(state.currentDisk, 'C');
    EXPECT_EQ(tabs->ActiveLetter(), 'C');

    tmp.remove("e");
    prompter.answer(true);  // Retry: still not ready
    prompter.answer(false); // Cancel: the disk is released
    prompter.answer(true);  // "Release disk E ???"
    tree().Select(tree().Top(1));
    EXPECT_EQ(prompter.questions(),
              (std::vector<std::string>{"Disk not ready!     ", "Disk not ready!     ",
                                        "Release disk E ???"}));
    EXPECT_EQ(prompter.shown()[0].caption, "Warning!");
    EXPECT_EQ(tree().TopCount(), 1);
    EXPECT_EQ(tree().Top(0)->Text(), "C:\\");
}

TEST_F(CatalogueTest, SelectionIsRefusedWhileAFileOperationRuns) {
    tmp.mkdir("d/a");
    logger->LogDrive('D');
    state.fileOperationRunning = true;
    EXPECT_FALSE(tree().Select(node("D:\\a\\")));
    EXPECT_EQ(tree().Selected(), tree().Top(0));
    state.fileOperationRunning = false;
    EXPECT_TRUE(tree().Select(node("D:\\a\\")));
    EXPECT_TRUE(state.treeSelectionChanged);
}

TEST_F(CatalogueTest, RefreshingAllDirectoriesStopsOnTheAbortFlag) {
    tmp.write("d/a/f");
    tmp.write("d/b/f");
    tmp.write("d/c/f");
    logger->LogDrive('D');
    tree().Select(tree().Top(0));
    logger->LogDirBranch();
    for (const char* d : {"a", "b", "c"})
        tmp.write(std::string("d/") + d + "/new");

    StoppingProgress stopAfterTwo(2); // the root and the first child
    logger->RefreshAllDirectories(stopAfterTwo);
    EXPECT_EQ(stopAfterTwo.stops, (std::vector<bool>{true, false}));
    EXPECT_EQ(files(node("D:\\a\\")).size(), 2u);
    EXPECT_EQ(files(node("D:\\b\\")).size(), 1u);
    EXPECT_EQ(files(node("D:\\c\\")).size(), 1u);
    EXPECT_TRUE(state.refillRequested);

    state.scope = 2; // not the directory scope: nothing is re-read
    StoppingProgress never(1000);
    logger->RefreshAllDirectories(never);
    EXPECT_EQ(files(node("D:\\b\\")).size(), 1u);

    state.scope = 1;
    logger->RefreshAllDirectories(never);
    EXPECT_EQ(files(node("D:\\c\\")).size(), 2u);
}

// "STOP" is a click: it reaches the walk only through the events it lets
// through. They must run by time, however few directories there are.
TEST_F(CatalogueTest, AStopClickedMeanwhileEndsRefreshingAllOnAnOrdinaryTree) {
    class ClickingStop : public Progress {
    public:
        void setTotal(int64_t) override {}
        void setPosition(int64_t) override {}
        void showStop(bool) override {}
        bool aborted() const override { return m_clicked; }

    protected:
        void processEvents() override { m_clicked = true; }

    private:
        bool m_clicked = false;
    };
    tmp.write("d/a/f");
    tmp.write("d/b/f");
    logger->LogDrive('D');
    tree().Select(tree().Top(0));
    logger->LogDirBranch();
    tmp.write("d/new");
    tmp.write("d/a/new");

    ClickingStop progress; // the click waits in the queue from the start
    logger->RefreshAllDirectories(progress);
    EXPECT_EQ(files(tree().Top(0)).size(), 0u);
    EXPECT_EQ(files(node("D:\\a\\")).size(), 1u);

    // Events run again once the interval has passed, not only after a count of calls.
    struct Counting : Progress {
        int events = 0;
        void setTotal(int64_t) override {}
        void setPosition(int64_t) override {}
        void showStop(bool) override {}
        bool aborted() const override { return false; }
        void processEvents() override { ++events; }
    } counting;
    for (int i = 0; i < 3; ++i) {
        counting.pump();
        std::this_thread::sleep_for(Progress::kPumpInterval + std::chrono::milliseconds(5));
    }
    EXPECT_EQ(counting.events, 3);
}

TEST_F(CatalogueTest, OneLevelAndRelogCommands) {
    tmp.write("d/a/b/f");
    tmp.write("d/a/g");
    logger->LogDrive('D');
    TTreeNode* a = node("D:\\a\\");
    tree().Select(a);
    logger->LogOneLevel();
    EXPECT_TRUE(a->Logged());
    EXPECT_TRUE(a->Expanded());
    EXPECT_EQ(children(a), (std::vector<std::string>{"b"}));

    // With entries in the file window and a logged directory, only the focus moves.
    ui.hasEntries = true;
    ui.calls.clear();
    logger->LogOneLevel();
    EXPECT_EQ(ui.calls, (std::vector<std::string>{"focusFiles"}));

    tmp.write("d/a/h");
    state.refillRequested = false;
    logger->RelogDir();
    EXPECT_EQ(files(a).size(), 2u);
    EXPECT_TRUE(state.refillRequested);
}

TEST(LoggedDiskTabs, KeepLetterOrderAndRaiseTheSwitchFlagOnlyMeanwhile) {
    AppState state;
    LoggedDiskTabs tabs(state);
    std::vector<bool> flagDuringChange;
    tabs.OnChanged = [&] { flagDuringChange.push_back(state.driveSwitch); };
    tabs.Add('D');
    tabs.Add('a');
    tabs.Add('C');
    tabs.Add('C');
    EXPECT_EQ(tabs.Letters(), "ACD");
    EXPECT_EQ(tabs.Count(), 3);
    EXPECT_EQ(tabs.ActiveLetter(), 'C');
    tabs.SetActive('D');
    EXPECT_EQ(tabs.ActiveLetter(), 'D');
    tabs.Remove('D');
    EXPECT_EQ(tabs.Letters(), "AC");
    EXPECT_EQ(tabs.ActiveLetter(), 'C');
    EXPECT_FALSE(state.driveSwitch);
    EXPECT_EQ(flagDuringChange, std::vector<bool>(flagDuringChange.size(), true));
}

TEST(LastDirList, OneEntryPerDiskFoundByItsLetter) {
    LastDirList list;
    list.Set("D:\\docs\\");
    list.Set("c:\\x\\");
    list.Set("d:\\other\\");
    EXPECT_EQ(list.Get('D'), "d:\\other\\");
    EXPECT_EQ(list.Get('c'), "c:\\x\\");
    EXPECT_EQ(list.Entries().size(), 2u);
    list.Forget('C');
    EXPECT_EQ(list.Get('C'), "");
}
