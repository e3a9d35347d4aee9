// The catalogue following the disk: real directories changed by the test (as
// another program would) and by a child process, the changes applied as they
// settle, the catalogue compared with a fresh walk.
#include "cataloguefixture.h"

#include "catalogue/diskaudit.h"
#include "catalogue/livecatalogue.h"
#include "catalogue/recordobserver.h"
#include "platform/dirwatcher.h"
#include "support/shell.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace zentrix::test {
namespace {

/// Counts what the record observers hear.
struct CountingObserver : RecordObserver {
    int batches = 0, added = 0, removing = 0, branches = 0, changed = 0, renamed = 0, moved = 0;
    void liveBatchBegin() override { ++batches; }
    void recordsAdded(const TLoggedClass&, const std::vector<TFileClass*>& r) override {
        added += static_cast<int>(r.size());
    }
    void recordRemoving(const TFileClass*) override { ++removing; }
    void branchRemoving(const TTreeNode*) override { ++branches; }
    void recordChanged(TFileClass*, bool isRename) override { ++(isRename ? renamed : changed); }
    void recordsMoved(const std::unordered_map<const TFileClass*, TFileClass*>&) override {
        ++moved;
    }
    void liveBatchEnd() override {}
    int heard() const { return added + removing + branches + changed + renamed + moved; }
};

class LiveTest : public CatalogueTest {
protected:
    std::mutex mutex;
    std::condition_variable cv;
    bool ready = false;
    std::unique_ptr<LiveCatalogue> live;
    CountingObserver observer;

    void SetUp() override {
        CatalogueTest::SetUp();
        tmp.write("c/a.txt", "aaa");
        tmp.write("c/b.txt", "bb");
        tmp.write("c/docs/one.doc", "1");
        tmp.write("c/docs/two.doc", "22");
        tmp.write("c/docs/deep/x.bin", "x");
        tmp.write("c/other/y.txt", "y");
        cat->AddRecordObserver(&observer);
    }
    void TearDown() override {
        cat->RemoveRecordObserver(&observer);
        live.reset();
    }

    void startLive(size_t budget = 1000) {
        live = std::make_unique<LiveCatalogue>(
            *cat, *logger, settings, state,
            [this] {
                std::lock_guard<std::mutex> lock(mutex);
                ready = true;
                cv.notify_all();
            },
            budget);
        ASSERT_TRUE(live->Available());
        live->SetEnabled(true);
    }
    /// Drive C logged whole, followed.
    void logAll(size_t budget = 1000) {
        logger->LogDrive('C');
        logger->LogBranchRecursive(node("C:\\"));
        startLive(budget);
    }

    /// Applies what settles until `done` holds; false after 20 seconds.
    bool until(const std::function<bool()>& done) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            {
                std::unique_lock<std::mutex> lock(mutex);
                cv.wait_for(lock, std::chrono::milliseconds(50), [this] { return ready; });
                ready = false;
            }
            live->Apply();
        }
        return true;
    }
    /// Waits until the next batch of changes has been taken.
    bool nextBatch() {
        const uint64_t before = live->Batches();
        return until([&] { return live->Batches() > before; });
    }
    std::vector<std::string> audit() { return DiskAudit(*cat, node("C:\\"), true); }
};

TEST_F(LiveTest, FilesMadeChangedAndDeletedByAnotherProgramReachTheCatalogue) {
    logAll();
    TTreeNode* docs = node("C:\\docs\\");
    file(node("C:\\"), "a.txt")->SetTagged(true); // untouched below: keeps its tag
    file(docs, "one.doc")->SetTagged(true);       // appended to: loses it
    ASSERT_EQ(0, RunShell("cd '" + tmp.at("c") +
                          "' && printf new > new.txt && printf more >> docs/one.doc && "
                          "chmod a-w b.txt && rm docs/two.doc"));
    ASSERT_TRUE(until([&] {
        const TFileClass* one = file(docs, "one.doc");
        return file(node("C:\\"), "new.txt") && !file(docs, "two.doc") && one &&
               one->FileSize() == 5 && (file(node("C:\\"), "b.txt")->Attributes() & 1);
    })) << testing::PrintToString(audit());
    EXPECT_EQ(audit(), std::vector<std::string>());
    EXPECT_TRUE(file(node("C:\\"), "a.txt")->Tagged());
    EXPECT_FALSE(file(docs, "one.doc")->Tagged()) << "a changed file loses its tag";
    EXPECT_EQ(node("C:\\")->ImageIndex(), kImageLogged);
    EXPECT_GT(observer.added, 0);
    EXPECT_GT(observer.removing, 0);
    EXPECT_GT(observer.changed, 0);
}

TEST_F(LiveTest, RenamesKeepRecordsAndNodesInPlaceAndMovesAcrossDirectoriesFollow) {
    logAll();
    TTreeNode* root = node("C:\\");
    TFileClass* a = file(root, "a.txt");
    a->SetTagged(true);
    TTreeNode* deep = node("C:\\docs\\deep\\");
    ASSERT_TRUE(deep && deep->Logged());
    // A file renamed in place keeps its record (a new name drops the tag);
    // a directory renamed keeps its node, its logged branch and its watch;
    // a file moved to another directory leaves one and joins the other.
    ASSERT_EQ(0, std::rename(tmp.at("c/a.txt").c_str(), tmp.at("c/renamed.txt").c_str()));
    ASSERT_EQ(0, std::rename(tmp.at("c/docs/deep").c_str(), tmp.at("c/docs/deeper").c_str()));
    ASSERT_EQ(0, std::rename(tmp.at("c/b.txt").c_str(), tmp.at("c/other/b.txt").c_str()));
    ASSERT_TRUE(until([&] {
        return file(root, "renamed.txt") && node("C:\\docs\\deeper\\") &&
               file(node("C:\\other\\"), "b.txt");
    }));
    EXPECT_EQ(file(root, "renamed.txt"), a);
    EXPECT_FALSE(a->Tagged());
    EXPECT_EQ(node("C:\\docs\\deeper\\"), deep);
    EXPECT_TRUE(deep->Logged());
    EXPECT_EQ(deep->Follow(), FollowState::Followed);
    EXPECT_EQ(file(root, "b.txt"), nullptr);
    // The renamed directory is still followed under its new name.
    tmp.write("c/docs/deeper/later.txt", "later");
    ASSERT_TRUE(until([&] { return file(deep, "later.txt") != nullptr; }));
    EXPECT_EQ(audit(), std::vector<std::string>());
    EXPECT_GE(observer.renamed, 1);
}

TEST_F(LiveTest, DirectoriesComeAndGoAndADirectoryMovedAwayTakesItsWatches) {
    logAll();
    const size_t before = live->Watches();
    ASSERT_EQ(before, static_cast<size_t>(cat->LoggedDirs().Count()));
    tmp.mkdir("c/fresh/inner");
    ASSERT_TRUE(until([&] { return node("C:\\fresh\\") != nullptr; }));
    EXPECT_FALSE(node("C:\\fresh\\")->Logged()) << "new directories are known, not read";
    EXPECT_TRUE(node("C:\\fresh\\")->HasChildren());
    // Out of the drive altogether: no move-to is seen, the branch goes.
    tmp.mkdir("outside");
    ASSERT_EQ(0, std::rename(tmp.at("c/docs").c_str(), tmp.at("outside/docs").c_str()));
    ASSERT_TRUE(until([&] { return node("C:\\docs\\") == nullptr; }));
    EXPECT_EQ(live->Watches(), before - 2) << "docs and docs\\deep were followed";
    // Changes in the moved directory are none of the catalogue's business now.
    tmp.write("outside/docs/stray.txt", "s");
    tmp.write("c/other/z.txt", "z");
    ASSERT_TRUE(until([&] { return file(node("C:\\other\\"), "z.txt") != nullptr; }));
    EXPECT_EQ(audit(), std::vector<std::string>());
    // A directory replaced by a file of the same name.
    RemoveTree(tmp.at("c/fresh"));
    tmp.write("c/fresh", "now a file");
    ASSERT_TRUE(until([&] { return file(node("C:\\"), "fresh") != nullptr; }));
    EXPECT_EQ(node("C:\\fresh\\"), nullptr);
}

TEST_F(LiveTest, WhatTheCatalogueShowsAlreadyChangesNothingAndTellsNoOne) {
    logAll();
    // The program's own operation: the disk changes and the operation puts the
    // catalogue in step itself, as the file operations do.
    TTreeNode* root = node("C:\\");
    ASSERT_EQ(0, std::remove(tmp.at("c/b.txt").c_str()));
    cat->RemoveFileRecord(file(root, "b.txt"));
    tmp.write("c/made.txt", "made");
    logger->RefreshDir(root);
    const int heard = observer.heard();
    ASSERT_TRUE(nextBatch());
    EXPECT_EQ(observer.heard(), heard);
    EXPECT_EQ(audit(), std::vector<std::string>());
}

TEST_F(LiveTest, AnOverflowingQueueEndsInACorrectCatalogue) {
    logAll();
    FILE* f = std::fopen("/proc/sys/fs/inotify/max_queued_events", "r");
    ASSERT_NE(f, nullptr);
    long limit = 0;
    ASSERT_EQ(std::fscanf(f, "%ld", &limit), 1);
    std::fclose(f);
    // While the queue is held (a busy machine), more events than the kernel
    // keeps: every file made gives two (made, written).
    live->Watcher().Hold(true);
    tmp.mkdir("c/many");
    for (long i = 0; i < limit / 2 + 64; ++i)
        tmp.write("c/other/f" + std::to_string(i), "");
    ASSERT_EQ(0, std::remove(tmp.at("c/docs/one.doc").c_str()));
    tmp.write("c/docs/deep/x.bin", "changed");
    live->Watcher().Hold(false);
    ASSERT_TRUE(until([&] {
        return node("C:\\many\\") && !file(node("C:\\docs\\"), "one.doc") &&
               file(node("C:\\other\\"), "f" + std::to_string(limit / 2 + 63));
    }));
    EXPECT_EQ(audit(), std::vector<std::string>());
}

TEST_F(LiveTest, ALowWatchBudgetMarksTheRestAndKeepsWhatIsOnScreen) {
    logAll(2);
    // C:\, docs, deep, other: two of them followed, two marked.
    EXPECT_EQ(live->Watches(), 2u);
    int stale = 0;
    tree().ForEachNode([&](TTreeNode* n) {
        stale += n->Follow() == FollowState::MayBeStale;
        return true;
    });
    EXPECT_EQ(stale, 2);
    TTreeNode* other = node("C:\\other\\");
    ASSERT_EQ(other->Follow(), FollowState::MayBeStale);
    // Unseen while unwatched; on screen, it takes a watch from a directory
    // off screen and is brought in step at once.
    tmp.write("c/other/unseen.txt", "u");
    live->SetOnScreen({other});
    EXPECT_EQ(other->Follow(), FollowState::Followed);
    EXPECT_NE(file(other, "unseen.txt"), nullptr);
    EXPECT_EQ(live->Watches(), 2u);
    tmp.write("c/other/seen.txt", "s");
    ASSERT_TRUE(until([&] { return file(other, "seen.txt") != nullptr; }));
    // A directory that lost its watch is marked; reading it again by hand
    // clears the mark.
    TTreeNode* marked = nullptr;
    tree().ForEachNode([&](TTreeNode* n) {
        if (!marked && n->Follow() == FollowState::MayBeStale)
            marked = n;
        return true;
    });
    ASSERT_NE(marked, nullptr);
    logger->RefreshDir(marked);
    EXPECT_NE(marked->Follow(), FollowState::MayBeStale);
    // A smaller budget gives watches back, never the one on screen.
    live->SetBudget(1);
    EXPECT_EQ(live->Watches(), 1u);
    EXPECT_EQ(other->Follow(), FollowState::Followed);
}

TEST_F(LiveTest, TheSystemLimitIsTheLastWordAndIsToldOnce) {
    int told = 0;
    logger->LogDrive('C');
    live = std::make_unique<LiveCatalogue>(
        *cat, *logger, settings, state, [] {}, 1);
    live->OnWatchesExhausted = [&] {
        ++told;
    };
    live->SetEnabled(true);
    logger->LogBranchRecursive(node("C:\\"));
    EXPECT_EQ(live->Watches(), 1u);
    EXPECT_EQ(told, 1);
    EXPECT_NE(live->FollowText(node("C:\\")).find("3 directories may be stale"), std::string::npos)
        << live->FollowText(node("C:\\"));
}

TEST_F(LiveTest, ReleasingADiskOrUnloggingABranchFreesItsWatches) {
    tmp.write("d/f.txt", "f");
    logger->LogDrive('D');
    logAll();
    const size_t all = live->Watches();
    ASSERT_EQ(all, static_cast<size_t>(cat->LoggedDirs().Count()));
    logger->UnlogBranch(node("C:\\docs\\"));
    EXPECT_EQ(live->Watches(), all - 2);
    settings.SkipReleaseDrvOption = true;
    ASSERT_TRUE(logger->ReleaseDrive('C'));
    EXPECT_EQ(live->Watches(), 1u) << "only D:\\ is left";
    // Switched off: nothing is followed, nothing is marked.
    live->SetEnabled(false);
    EXPECT_EQ(live->Watches(), 0u);
    tmp.write("d/g.txt", "g");
    logger->RefreshDir(node("D:\\"));
    EXPECT_EQ(node("D:\\")->Follow(), FollowState::Unwatched);
}

TEST_F(LiveTest, NetworkAndRemovableDisksAreNotFollowed) {
    tmp.mkdir("n");
    useDrives("C=" + tmp.at("c") + ";N=" + tmp.at("n") + ":network");
    tmp.write("n/sub/s.txt", "s");
    logger->LogDrive('N');
    logger->LogBranchRecursive(node("N:\\"));
    startLive();
    EXPECT_EQ(live->Watches(), 0u);
    EXPECT_EQ(node("N:\\")->Follow(), FollowState::NotFollowed);
    EXPECT_EQ(node("N:\\sub\\")->Follow(), FollowState::NotFollowed);
    EXPECT_NE(live->FollowText(node("N:\\")).find("Not followed"), std::string::npos);
}

TEST_F(LiveTest, ADirectoryThatKeepsGainingAndLosingFilesIsPackedAnew) {
    logAll();
    TTreeNode* other = node("C:\\other\\");
    const size_t start = other->Data()->FileList().ArenaBytes();
    for (int round = 0; round < 6; ++round) {
        for (int i = 0; i < 40; ++i)
            tmp.write("c/other/t" + std::to_string(round) + "_" + std::to_string(i), "some bytes");
        const std::string last = "t" + std::to_string(round) + "_39";
        ASSERT_TRUE(until([&] { return file(other, last) != nullptr; }));
        for (int i = 0; i < 40; ++i)
            std::remove(
                tmp.at("c/other/t" + std::to_string(round) + "_" + std::to_string(i)).c_str());
        ASSERT_TRUE(until([&] { return file(other, last) == nullptr; }));
    }
    EXPECT_GT(observer.moved, 0);
    EXPECT_EQ(files(other), std::vector<std::string>{"y.txt"});
    EXPECT_LT(other->Data()->FileList().ArenaBytes(), start + 40 * 2 * (32 + 8) + 4096);
    EXPECT_EQ(audit(), std::vector<std::string>());
}

} // namespace
} // namespace zentrix::test
