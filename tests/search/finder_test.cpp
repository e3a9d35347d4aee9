#include "core/appstate.h"
#include "core/mainthreadcaller.h"
#include "search/finderui.h"
#include "search/tfilefinderthread.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <sys/stat.h>

using namespace zentrix;
using namespace zentrix::test;

namespace {

/// The main thread of these tests: calls run at once on the caller's thread
/// (one at a time), posts are kept until the test runs them.
class DirectCaller : public MainThreadCaller {
public:
    bool Call(const std::function<void()>& call) override {
        std::lock_guard lock(m_mutex);
        call();
        return true;
    }
    void Post(std::function<void()> call) override {
        std::lock_guard lock(m_mutex);
        m_posted.push_back(std::move(call));
        m_cv.notify_all();
    }
    /// Waits for the first posted call and runs it.
    void runPosted() {
        std::unique_lock lock(m_mutex);
        m_cv.wait(lock, [&] { return !m_posted.empty(); });
        auto call = std::move(m_posted.front());
        m_posted.pop_front();
        lock.unlock();
        call();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::deque<std::function<void()>> m_posted;
};

class RecordingFinderUi : public FinderUi {
public:
    std::vector<int> states;
    std::vector<std::string> directories;
    std::vector<std::string> results;
    std::vector<int> counts;
    std::vector<std::string> errors;
    std::string label = "D:\\";
    int turboOffs = 0;
    bool terminated = false;
    std::function<void()> onResults;

    void OnStatus(int state) override { states.push_back(state); }
    void ShowDirectory(const std::string& text) override {
        label = text;
        directories.push_back(text);
    }
    std::string DirectoryText() override { return label; }
    void AddResults(const std::vector<std::string>& names, int count) override {
        results.insert(results.end(), names.begin(), names.end());
        counts.push_back(count);
        if (onResults)
            onResults();
    }
    void ShowCount(int count) override { counts.push_back(count); }
    void TurboOff() override { ++turboOffs; }
    void CannotScan(const std::string& text) override { errors.push_back(text); }
    void OnTerminate() override { terminated = true; }
};

class FinderTest : public ::testing::Test {
protected:
    TempDir tmp;
    platform::DriveTable drives;
    std::atomic<int> state{AppState::kStarting};
    DirectCaller main;
    RecordingFinderUi ui;

    void SetUp() override {
        tmp.mkdir("c");
        tmp.mkdir("d");
        drives = platform::DriveTable::FromSpec("C=" + tmp.at("c") + ";D=" + tmp.at("d"), {});
    }
    std::vector<std::string> run(TFinderData data) {
        state = AppState::kStarting;
        ui = RecordingFinderUi();
        TFileFinderThread finder(std::move(data), drives, state, ui, main);
        finder.Run();
        EXPECT_EQ(state, AppState::kIdle);
        std::vector<std::string> sorted = ui.results;
        std::sort(sorted.begin(), sorted.end());
        return sorted;
    }
};

} // namespace

TEST_F(FinderTest, SearchesEveryStartDirectoryWithSeveralMasks) {
    tmp.write("c/a.txt");
    tmp.write("c/b.DOC");
    tmp.write("c/c.pdf");
    tmp.write("c/sub/deep/d.TXT");
    tmp.write("d/e.doc");
    tmp.write("d/README");
    TFinderData data;
    data.StartDirs = "c:\\;;D:\\ ;;; E:\\;D:\\nowhere";
    data.Patterns = "*.txt  *.doc";
    EXPECT_EQ(run(data), (std::vector<std::string>{"C:\\a.txt", "C:\\b.DOC", "C:\\sub\\deep\\d.TXT",
                                                   "D:\\e.doc"}));
    EXPECT_EQ(ui.states, (std::vector<int>{1, 2, 0}));
    EXPECT_EQ(ui.counts.back(), 4);
    EXPECT_TRUE(ui.errors.empty());

    data.Recursive = false;
    EXPECT_EQ(run(data), (std::vector<std::string>{"C:\\a.txt", "C:\\b.DOC", "D:\\e.doc"}));
    // No patterns at all are every name.
    data.Patterns = "  ";
    data.StartDirs = "D:\\";
    EXPECT_EQ(run(data), (std::vector<std::string>{"D:\\README", "D:\\e.doc"}));
}

TEST_F(FinderTest, NeverEntersDotDirectoriesOrLinksAndNeverOpensFifos) {
    tmp.write("c/.hidden/inside.txt", "word");
    tmp.write("c/.dotfile.txt", "word");
    tmp.write("c/real/x.txt", "word");
    tmp.symlink(tmp.at("c"), "c/real/loop"); // a link loop back to the top
    tmp.symlink(tmp.at("c/real/x.txt"), "c/link.txt");
    ASSERT_EQ(::mkfifo(tmp.at("c/real/pipe.txt").c_str(), 0644), 0);
    TFinderData data;
    data.StartDirs = "C:\\";
    data.Patterns = "*.txt";
    // By name a FIFO is a file like any other.
    EXPECT_EQ(run(data), (std::vector<std::string>{"C:\\.dotfile.txt", "C:\\link.txt",
                                                   "C:\\real\\pipe.txt", "C:\\real\\x.txt"}));
    // By content it is never opened (that would wait for a writer for ever).
    data.MatchEnabled = true;
    data.MatchString = "WORD";
    EXPECT_EQ(run(data),
              (std::vector<std::string>{"C:\\.dotfile.txt", "C:\\link.txt", "C:\\real\\x.txt"}));
}

TEST_F(FinderTest, ContentSearchObeysCaseAndSkipsLinksThatLeadNowhere) {
    tmp.write("c/one.txt", "a Needle here");
    tmp.write("c/two.txt", "a NEEDLE here");
    tmp.write("c/three.txt", "no such word");
    tmp.symlink(tmp.at("c/gone.txt"), "c/dangling.txt");
    tmp.symlink("loop.txt", "c/loop.txt");
    TFinderData data;
    data.StartDirs = "C:\\";
    data.MatchEnabled = true;
    data.MatchString = "needle";
    EXPECT_EQ(run(data), (std::vector<std::string>{"C:\\one.txt", "C:\\two.txt"}));
    EXPECT_TRUE(ui.errors.empty());
    if (::geteuid() != 0) {
        // A file that cannot be read is reported, with the links skipped.
        tmp.write("c/secret.txt", "x");
        tmp.chmod("c/secret.txt", 0);
        run(data);
        ASSERT_EQ(ui.errors.size(), 1u);
        EXPECT_EQ(ui.errors[0],
                  "Cannot scan C:\\SECRET.TXT.\nFile access denied.\n\n2 links skipped");
        tmp.chmod("c/secret.txt", 0644);
    }

    data.CaseSensitive = true;
    data.MatchString = "Needle";
    EXPECT_EQ(run(data), (std::vector<std::string>{"C:\\one.txt"}));
    // An empty match string searches by name alone.
    data.MatchString.clear();
    EXPECT_EQ(run(data).size(), 5u);
}

TEST_F(FinderTest, TurboShowsTheResultsAtTheEndAndGivesTheLabelBack) {
    for (int i = 0; i < 25; ++i)
        tmp.write("c/d" + std::to_string(i % 3) + "/f" + std::to_string(i) + ".txt");
    TFinderData data;
    data.StartDirs = "C:\\";
    data.Turbo = true;
    EXPECT_EQ(run(data).size(), 25u);
    EXPECT_EQ(ui.directories.front(), "Please wait...");
    EXPECT_EQ(ui.label, "D:\\"); // what the label showed before
    EXPECT_EQ(ui.turboOffs, 1);
    EXPECT_EQ(ui.counts.back(), 25);
}

TEST_F(FinderTest, AStopKeepsTheResultsFoundSoFar) {
    for (int i = 0; i < 30; ++i)
        tmp.write("c/d" + std::to_string(i) + "/f.txt");
    TFinderData data;
    data.StartDirs = "C:\\";
    state = AppState::kStarting;
    ui.onResults = [&] {
        state = AppState::kStopping;
    };
    TFileFinderThread finder(data, drives, state, ui, main);
    finder.SetShowInterval(std::chrono::milliseconds(0)); // every result at once
    finder.Start();
    main.runPosted(); // OnTerminate, once the thread is done
    EXPECT_TRUE(ui.terminated);
    EXPECT_EQ(state, AppState::kIdle);
    EXPECT_EQ(ui.results.size(), 1u);
    EXPECT_EQ(finder.ResultCount(), static_cast<int>(ui.results.size()));
}
