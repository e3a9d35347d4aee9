#include "core/appstate.h"
#include "core/mainthreadcaller.h"
#include "search/dirinfoui.h"
#include "search/dirstatistics.h"
#include "search/dirstatisticsreport.h"
#include "search/tdirinfothread.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <set>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace zentrix;
using namespace zentrix::test;
namespace fs = std::filesystem;

namespace {

/// What stat(2) says of a branch, added up independently of the walk: every
/// entry outside dot directories, the allocation of each inode once.
struct StatFigures {
    uint64_t files = 0;
    uint64_t directories = 1;
    uint64_t bytes = 0;
    uint64_t allocated = 0;
};

StatFigures statFigures(const std::string& root) {
    StatFigures f;
    std::set<std::pair<dev_t, ino_t>> seen;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
         ++it) {
        struct stat st {};
        EXPECT_EQ(::lstat(it->path().c_str(), &st), 0);
        if (S_ISDIR(st.st_mode)) {
            if (it->path().filename().string()[0] == '.')
                it.disable_recursion_pending();
            else
                ++f.directories;
            continue;
        }
        ++f.files;
        f.bytes += static_cast<uint64_t>(st.st_size);
        if (seen.insert({st.st_dev, st.st_ino}).second)
            f.allocated += static_cast<uint64_t>(st.st_blocks) * 512;
    }
    return f;
}

DirTotals walk(const std::string& host, int threads = 2) {
    DirStatisticsWalk::Options options;
    options.threads = threads;
    return DirStatisticsWalk::Walk(host, "D:\\", options);
}

} // namespace

TEST(DirStatistics, MatchesWhatStatSaysWithSparseFilesHardLinksAndEmptyDirectories) {
    TempDir tmp;
    tmp.write("b/one.txt", std::string(5000, 'x'));
    tmp.sparse("b/sparse.img", 64ull << 20); // 64 MiB of holes
    tmp.write("b/sub/two.TXT", "12345");
    ASSERT_EQ(::link(tmp.at("b/one.txt").c_str(), tmp.at("b/sub/again.txt").c_str()), 0);
    tmp.mkdir("b/empty/emptier");
    tmp.write("b/.hidden/unseen", std::string(100, 'y'));
    tmp.write("b/.dotfile", "z");
    tmp.symlink("one.txt", "b/link");
    tmp.symlink(tmp.at("b/sub"), "b/dirlink");

    const StatFigures expected = statFigures(tmp.at("b"));
    const DirTotals t = walk(tmp.at("b"));
    EXPECT_EQ(t.files, expected.files);
    EXPECT_EQ(t.files, 7u); // the dot file and both links count; the dot directory not
    EXPECT_EQ(t.directories, expected.directories);
    EXPECT_EQ(t.directories, 4u);
    EXPECT_EQ(t.spaceUsed, expected.bytes);
    EXPECT_EQ(t.actuallyUsed, expected.allocated);
    // The sparse file counts with what it really occupies, and wastes nothing.
    EXPECT_LT(t.actuallyUsed, 1u << 20);
    EXPECT_GE(t.slack(), 0);

    DirTotals::Year total{};
    for (const auto& y : t.years) {
        total.files += y.files;
        total.bytes += y.bytes;
    }
    EXPECT_EQ(total.files, t.files);
    EXPECT_EQ(total.bytes, t.spaceUsed);
}

namespace {

/// What du says of paths, in bytes: allocated, or with --apparent-size.
uint64_t Du(const std::vector<std::string>& paths, bool apparent) {
    std::string command = "du -s -c -B1";
    if (apparent)
        command += " --apparent-size";
    for (const std::string& p : paths)
        command += " '" + p + "'";
    FILE* out = ::popen((command + " | tail -n 1").c_str(), "r");
    if (!out)
        return 0;
    unsigned long long total = 0;
    if (std::fscanf(out, "%llu", &total) != 1)
        total = 0;
    ::pclose(out);
    return total;
}

} // namespace

TEST(DirStatistics, AgreesWithDuOnLinksSparseAndTinyFilesAndNeverHasNegativeSlack) {
    TempDir tmp;
    tmp.write("t/one", "1");
    tmp.write("t/two", "22");
    tmp.write("t/sub/three", "333");
    tmp.write("t/sub/full", std::string(4096, 'f'));
    tmp.sparse("t/sub/holes.img", 8ull << 20);
    ASSERT_EQ(::link(tmp.at("t/one").c_str(), tmp.at("t/sub/one-again").c_str()), 0);
    // Short links live in their inode (no blocks), a long one takes a block,
    // one leads nowhere.
    for (int i = 0; i < 20; ++i)
        tmp.symlink("sub/three-with-a-longer-name-" + std::to_string(i),
                    "t/link" + std::to_string(i));
    tmp.symlink(std::string(300, 'x'), "t/sub/long-link");
    tmp.symlink("/nowhere/at/all", "t/dangling");

    // du counts the directories themselves as well: take them out.
    const std::vector<std::string> dirs = {tmp.at("t"), tmp.at("t/sub")};
    uint64_t dirBytes = 0, dirAllocated = 0;
    for (const std::string& d : dirs) {
        struct stat st {};
        ASSERT_EQ(::lstat(d.c_str(), &st), 0);
        dirBytes += static_cast<uint64_t>(st.st_size);
        dirAllocated += static_cast<uint64_t>(st.st_blocks) * 512;
    }
    const DirTotals t = walk(tmp.at("t"));
    EXPECT_EQ(t.files, 28u);
    // The second name of the hard link counts its size, not its blocks (du
    // counts neither).
    EXPECT_EQ(t.spaceUsed, Du({tmp.at("t")}, true) - dirBytes + 1);
    EXPECT_EQ(t.actuallyUsed, Du({tmp.at("t")}, false) - dirAllocated);
    // The slack is what the tiny files and the long link leave unused of their
    // blocks; the links in their inodes and the sparse file waste nothing.
    const std::vector<std::string> wasting = {tmp.at("t/one"), tmp.at("t/two"),
                                              tmp.at("t/sub/three"), tmp.at("t/sub/long-link"),
                                              tmp.at("t/sub/full")};
    EXPECT_EQ(t.slack(), static_cast<int64_t>(Du(wasting, false) - Du(wasting, true)));
    EXPECT_GT(t.slack(), 0);
    EXPECT_LT(t.actuallyUsed, t.spaceUsed); // the holes are not there
}

TEST(DirStatistics, LargestDirectoryCountsOnlyItsOwnFilesAndTiesGoToTheFirstWalked) {
    TempDir tmp;
    tmp.write("t/small", std::string(10, 'x'));
    tmp.write("t/a/big1", std::string(300, 'x'));
    tmp.write("t/a/big2", std::string(300, 'x'));
    tmp.write("t/b/one", std::string(500, 'x'));
    tmp.write("t/b/c/same", std::string(600, 'x'));
    tmp.write("t/d/same", std::string(600, 'x'));
    // Which of "b\c" and "d" comes first depends on the listing order; walked
    // one directory at a time, the first one checked must win.
    const DirTotals single = walk(tmp.at("t"), 1);
    EXPECT_EQ(single.largestBytes, 600u);
    EXPECT_TRUE(single.largestDir == "D:\\b\\c\\" || single.largestDir == "D:\\d\\")
        << single.largestDir;
    for (int threads : {2, 4}) {
        for (int round = 0; round < 20; ++round) {
            const DirTotals t = walk(tmp.at("t"), threads);
            EXPECT_EQ(t.largestDir, single.largestDir);
            EXPECT_EQ(t.files, single.files);
            EXPECT_EQ(t.actuallyUsed, single.actuallyUsed);
        }
    }
}

TEST(DirStatistics, CountsYearsOutsideTheRangeUnder1980AndMergesExtensionCase) {
    TempDir tmp;
    tmp.write("y/old.txt", "1");
    tmp.touch("y/old.txt", 297043200); // June 1979
    tmp.write("y/new.TXT", "22");
    tmp.touch("y/new.TXT", 1262347200); // 2010
    tmp.write("y/far", "333");
    tmp.touch("y/far", 32535345600); // 3001, where the file system keeps it
    tmp.write("y/noext", "4444");
    tmp.touch("y/noext", 1262347200);
    struct stat st {};
    ASSERT_EQ(::lstat(tmp.at("y/far").c_str(), &st), 0);
    const bool farKept = st.st_mtime > 32503680000; // the file system kept year 3000+

    const DirTotals t = walk(tmp.at("y"));
    EXPECT_EQ(t.year(2010).files, 2u);
    EXPECT_EQ(t.year(2010).bytes, 6u);
    if (farKept) {
        EXPECT_EQ(t.year(1980).files, 2u);
        EXPECT_EQ(t.year(1980).bytes, 4u);
    }
    DirTotals sorted = t;
    sorted.types.SortByBytes();
    ASSERT_EQ(sorted.types.Count(), 2u);
    EXPECT_EQ(sorted.types[0].Ext, "");
    EXPECT_EQ(sorted.types[0].Files, 2u); // "far" and "noext"
    EXPECT_EQ(sorted.types[1].Ext, ".TXT");
    EXPECT_EQ(sorted.types[1].Files, 2u);
    EXPECT_EQ(sorted.types[1].Bytes, 3u);
}

TEST(DirStatisticsReport, WritesTheSummaryTheSectionsAndTheBox) {
    using namespace DirStatisticsReport;
    EXPECT_EQ(Grouped(uint64_t{0}), "0");
    EXPECT_EQ(Grouped(uint64_t{1234567}), "1,234,567");
    EXPECT_EQ(Grouped(int64_t{-4095}), "-4,095");
    EXPECT_EQ(Percent(1, 3), 33);
    EXPECT_EQ(Percent(2, 3), 67);
    EXPECT_EQ(Percent(5, 0), 0);
    EXPECT_EQ(RightAligned("abc", 5), "  abc");
    EXPECT_EQ(RightAligned("abcdef", 5), "abcdef");

    // One 1-byte file on a disk of 4,096-byte clusters.
    DirTotals t;
    t.files = 1;
    t.spaceUsed = 1;
    t.actuallyUsed = 4096;
    t.slackBytes = 4095;
    t.largestDir = "D:\\X\\";
    t.largestBytes = 1;
    t.year(1980) = {1, 1};
    t.year(2024) = {1234, 5678901};
    t.types.Add("A.TXT", 1);
    t.types.Add("noext", 2);
    t.types.Add("b.zzq", 3);
    t.types.SortByBytes();
    const auto lines = SummaryLines("D:\\X\\", t, 409600, 0);
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[0].rfind("Stats for directory:  D:\\X\\ on: ", 0), 0u);
    EXPECT_EQ(lines[1], "Total files:          1");
    EXPECT_EQ(lines[2], "Total directories:    1");
    EXPECT_EQ(lines[3], "Space used:           1 bytes");
    EXPECT_EQ(lines[4], "Actually used:        4,096 bytes (1% of entire disk)");
    EXPECT_EQ(lines[5], "Slack space:          4,095 bytes (1% of entire disk)");
    EXPECT_EQ(lines[6], "Average file size:    1 bytes");
    EXPECT_EQ(lines[7], "Largest subdirectory: D:\\X\\");
    EXPECT_EQ(lines[8], "which contains:       1 bytes");
    // An unknown disk size leaves the percentages out; no files, average 0.
    const auto empty = SummaryLines("D:\\", DirTotals(), 0, 0);
    EXPECT_EQ(empty[4], "Actually used:        0 bytes");
    EXPECT_EQ(empty[6], "Average file size:    0 bytes");

    const auto sections = YearAndTypeLines(t, [](const std::string& ext) {
        return ext == "TXT" ? std::string("plain text document (text/plain)") : std::string();
    });
    EXPECT_EQ(sections,
              (std::vector<std::string>{
                  "", "Statistics by date:", "", "1980 :      1 files in             1 bytes",
                  "2024 :   1234 files in     5,678,901 bytes", "", "File type statistics:", "",
                  "            3 bytes in      1 files of type : (ZZQ) ZZQ file",
                  "            2 bytes in      1 files of type : () Unknown file type",
                  "            1 bytes in      1 files of type : (TXT) plain text "
                  "document (text/plain)"}));

    EXPECT_EQ(SummaryBoxText(t, 4096),
              "Total space used by 1 files in 1 directories:\n1 bytes (0 Kb = 0 Mb)\n\n"
              "Actual space used (considering cluster size):\n4,096 bytes (4 Kb = 0 Mb)\n\n"
              "Slack space: 4,095 bytes (4 Kb = 0 Mb)");
    EXPECT_EQ(SummaryBoxText(t, 1), "Total space used by 1 files in 1 directories:\n"
                                    "1 bytes (0 Kb = 0 Mb)");
}

namespace {

class DirectCaller : public MainThreadCaller {
public:
    bool Call(const std::function<void()>& call) override {
        call();
        return true;
    }
    void Post(std::function<void()> call) override { call(); }
};

class RecordingDirInfoUi : public DirInfoUi {
public:
    std::vector<int> states;
    std::vector<std::string> lines;
    int rewrites = 0;
    bool figures = false;
    void OnStatus(int state) override { states.push_back(state); }
    void SetLines(const std::vector<std::string>& l) override {
        lines = l;
        ++rewrites;
    }
    void AppendLines(const std::vector<std::string>& l) override {
        lines.insert(lines.end(), l.begin(), l.end());
    }
    void ShowFigures(const DirTotals&) override { figures = true; }
};

} // namespace

TEST(TDirInfoThread, WritesTheSummaryTwiceAndTheSectionsForWhatItCounted) {
    TempDir tmp;
    tmp.mkdir("d/empty");
    tmp.write("d/full/a.txt", "abc");
    const auto drives = platform::DriveTable::FromSpec("D=" + tmp.at("d"), {});
    std::atomic<int> state{AppState::kStarting};
    DirectCaller main;
    RecordingDirInfoUi ui;

    TDirInfoThread empty("D:\\empty", drives, {}, state, ui, main);
    empty.Run();
    EXPECT_EQ(ui.states, (std::vector<int>{1, 2, 0}));
    EXPECT_EQ(ui.lines[1], "Total files:          0");
    EXPECT_EQ(ui.lines[2], "Total directories:    1");
    EXPECT_EQ(ui.lines[6], "Average file size:    0 bytes");
    EXPECT_TRUE(ui.figures);

    ui = RecordingDirInfoUi();
    state = AppState::kStarting;
    auto scan = std::make_unique<TDirInfoThread>("D:\\", drives, std::vector<std::string>{}, state,
                                                 ui, main);
    scan->Start();
    while (state != AppState::kIdle)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    scan.reset(); // joins the finished thread
    EXPECT_GE(ui.rewrites, 2);
    EXPECT_EQ(ui.lines[1], "Total files:          1");
    EXPECT_EQ(ui.lines[2], "Total directories:    3");
    EXPECT_EQ(ui.lines[10], "Statistics by date:");
    EXPECT_NE(std::find(ui.lines.begin(), ui.lines.end(), "File type statistics:"), ui.lines.end());
    EXPECT_EQ(state, AppState::kIdle);

    // A stop before the walk: the summary and the sections still come.
    ui = RecordingDirInfoUi();
    state = AppState::kStopping;
    TDirInfoThread stopped("D:\\", drives, {}, state, ui, main);
    stopped.Run();
    EXPECT_EQ(ui.lines[1], "Total files:          0");
    EXPECT_NE(std::find(ui.lines.begin(), ui.lines.end(), "File type statistics:"), ui.lines.end());
    EXPECT_EQ(state, AppState::kIdle);
}
