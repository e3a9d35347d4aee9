// The directory watcher on real directories: what a burst of changes becomes
// once it settled.
#include "platform/dirwatcher.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <set>
#include <sys/stat.h>

using namespace zentrix::platform;
using zentrix::test::TempDir;

namespace {

class DirWatcherTest : public ::testing::Test {
protected:
    TempDir tmp;
    std::mutex mutex;
    std::condition_variable cv;
    int told = 0;
    DirWatcher watcher{[this] {
        std::lock_guard<std::mutex> lock(mutex);
        ++told;
        cv.notify_all();
    }};

    /// The batches that settle until `done` says the gathered one is complete.
    WatchBatch gather(const std::function<bool(const WatchBatch&)>& done) {
        WatchBatch all;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!done(all) && std::chrono::steady_clock::now() < deadline) {
            {
                std::unique_lock<std::mutex> lock(mutex);
                cv.wait_for(lock, std::chrono::milliseconds(100),
                            [this] { return watcher.HasReady(); });
            }
            WatchBatch b = watcher.Take();
            all.overflow = all.overflow || b.overflow;
            all.moves.insert(all.moves.end(), b.moves.begin(), b.moves.end());
            all.names.insert(all.names.end(), b.names.begin(), b.names.end());
            all.selfGone.insert(all.selfGone.end(), b.selfGone.begin(), b.selfGone.end());
            all.dropped.insert(all.dropped.end(), b.dropped.begin(), b.dropped.end());
        }
        return all;
    }
    int add(const std::string& relative) {
        int watch = -1;
        EXPECT_EQ(watcher.Add(tmp.at(relative), watch), DirWatcher::AddResult::Added);
        return watch;
    }
    static std::set<std::string> namesOf(const WatchBatch& b, int watch) {
        std::set<std::string> out;
        for (const WatchedName& n : b.names)
            if (n.watch == watch)
                out.insert(n.name);
        return out;
    }
};

TEST_F(DirWatcherTest, ABurstSettlesIntoOneNamePerEntryAndMovesKeepBothEnds) {
    ASSERT_TRUE(watcher.Ok());
    tmp.mkdir("a");
    tmp.mkdir("b");
    const int a = add("a");
    const int b = add("b");
    // Held, the burst waits in the kernel's queue and is read at once when let
    // go, however slowly a busy machine makes it: the test does not hang on
    // the settle time.
    watcher.Hold(true);
    for (int i = 0; i < 20; ++i)
        tmp.write("a/burst.txt", std::string(static_cast<size_t>(i), 'x'));
    tmp.mkdir("a/sub");
    tmp.write("a/moving.txt", "m");
    ASSERT_EQ(0, std::rename(tmp.at("a/moving.txt").c_str(), tmp.at("b/moved.txt").c_str()));
    ASSERT_EQ(0, std::rename(tmp.at("a/sub").c_str(), tmp.at("a/sub2").c_str()));
    watcher.Hold(false);
    const WatchBatch got = gather([](const WatchBatch& w) { return w.moves.size() >= 2; });
    ASSERT_EQ(got.moves.size(), 2u);
    EXPECT_EQ(got.moves[0].fromWatch, a);
    EXPECT_EQ(got.moves[0].fromName, "moving.txt");
    EXPECT_EQ(got.moves[0].toWatch, b);
    EXPECT_EQ(got.moves[0].toName, "moved.txt");
    EXPECT_FALSE(got.moves[0].isDir);
    EXPECT_TRUE(got.moves[1].isDir);
    const auto names = namesOf(got, a);
    EXPECT_EQ(std::count_if(got.names.begin(), got.names.end(),
                            [](const WatchedName& n) { return n.name == "burst.txt"; }),
              1)
        << "twenty writes settle into one name";
    EXPECT_TRUE(names.count("sub"));
    EXPECT_LE(told, 3) << "a burst is one batch, not one per event";
}

TEST_F(DirWatcherTest, AMoveOutOfWatchedDirectoriesIsANameThatWentAndTheDirectoryItselfIsTold) {
    tmp.mkdir("a/inner");
    tmp.mkdir("outside");
    const int a = add("a");
    const int inner = add("a/inner");
    ASSERT_EQ(0, std::rename(tmp.at("a/inner").c_str(), tmp.at("outside/inner").c_str()));
    const WatchBatch got = gather([&](const WatchBatch& w) {
        return namesOf(w, a).count("inner") &&
               std::count(w.selfGone.begin(), w.selfGone.end(), inner);
    });
    EXPECT_TRUE(got.moves.empty());
    EXPECT_TRUE(namesOf(got, a).count("inner"));
    EXPECT_EQ(std::count(got.selfGone.begin(), got.selfGone.end(), inner), 1);
    // Removed, the watch tells nothing more (its end is reported as dropped).
    watcher.Remove(inner);
    tmp.write("outside/inner/later.txt", "l");
    tmp.write("a/seen.txt", "s");
    const WatchBatch after =
        gather([&](const WatchBatch& w) { return namesOf(w, a).count("seen.txt"); });
    EXPECT_TRUE(namesOf(after, inner).empty());
}

TEST_F(DirWatcherTest, AHeldQueueThatOverflowsSaysSoAndLinksAndMissingDirectoriesAreRefused) {
    tmp.mkdir("a");
    tmp.mkdir("target");
    tmp.symlink(tmp.at("target"), "link");
    int watch = -1;
    EXPECT_EQ(watcher.Add(tmp.at("missing"), watch), DirWatcher::AddResult::Gone);
    EXPECT_EQ(watcher.Add(tmp.at("a/none"), watch), DirWatcher::AddResult::Gone);
    EXPECT_NE(watcher.Add(tmp.at("link"), watch), DirWatcher::AddResult::Added)
        << "a link is not followed";
    EXPECT_EQ(watcher.Add(tmp.at("link"), watch, true), DirWatcher::AddResult::Added);
    const int a = add("a");
    FILE* f = std::fopen("/proc/sys/fs/inotify/max_queued_events", "r");
    ASSERT_NE(f, nullptr);
    long limit = 0;
    ASSERT_EQ(std::fscanf(f, "%ld", &limit), 1);
    std::fclose(f);
    watcher.Hold(true);
    for (long i = 0; i < limit / 2 + 16; ++i)
        tmp.write("a/f" + std::to_string(i));
    watcher.Hold(false);
    const WatchBatch got = gather([](const WatchBatch& w) { return w.overflow; });
    EXPECT_TRUE(got.overflow);
    (void)a;
}

} // namespace
