#include "config/settings.h"
#include "ops/twdlist.h"
#include "ops/watchdogrun.h"
#include "platform/drivetable.h"
#include "support/files.h"
#include "support/scopedenv.h"
#include "support/scriptedprompter.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace zentrix;
using namespace zentrix::test;

namespace {

bool exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

// 2 January 2024, 13:05:03 UTC.
constexpr std::time_t kMoment = 1704200703;

class WatchDogTest : public ::testing::Test {
protected:
    TempDir tmp;
    ScopedEnv tz{"TZ", "UTC"};
    Settings settings;
    ScriptedPrompter prompter;
    platform::DriveTable drives = platform::DriveTable::FromSpec("D=" + tmp.path(), {});
    TWDList wd{settings, prompter, drives};
    std::vector<std::string> failures;

    void SetUp() override {
        ::tzset();
        tmp.mkdir("logs");
        settings.WDFilePath = "D:\\logs\\";
        settings.WDEnabled = true;
        wd.Clock = [] {
            return kMoment;
        };
        wd.onLogFailure = [this](const std::string& text) {
            failures.push_back(text);
        };
    }
    void TearDown() override { ::tzset(); }
    void enableAll() {
        std::array<bool, TWDList::Count> all{};
        all.fill(true);
        wd.LoadFlags(all);
    }
    std::string log() { return ReadFile(tmp.at("logs/WATCHDOG.LOG")); }
    static std::string header() {
        return "WATCHDOG.LOG - Zentrix WatchDog file created at 01/02/24 13:05:03:\r\n\r\n";
    }
};

} // namespace

TEST_F(WatchDogTest, EveryKindWritesItsOwnTextInBothForms) {
    enableAll();
    struct Case {
        WDOperation op;
        int count;
        const char* source;
        const char* destination;
        const char* text;
    };
    const Case cases[] = {
        {WDOperation::DeleteFile, 0, "D:\\A.TXT", "", " Delete file: D:\\A.TXT"},
        {WDOperation::DeleteFile, 6, "D:\\DIR\\", "", " Delete 5 file(s) from D:\\DIR\\"},
        {WDOperation::MoveFile, 1, "D:\\A", "E:\\B", " Move file: D:\\A to E:\\B"},
        {WDOperation::MoveFile, 3, "D:\\", "E:\\X", " Move 2 file(s) from D:\\ to E:\\X"},
        {WDOperation::CopyFile, 0, "D:\\A", "E:\\B", " Copy file: D:\\A to E:\\B"},
        {WDOperation::CopyFile, 2, "D:\\", "E:\\X", " Copy 1 file(s) from D:\\ to E:\\X"},
        {WDOperation::RenameFile, 0, "D:\\a", "D:\\b", " Rename file: D:\\a to D:\\b"},
        {WDOperation::RenameFile, 4, "", "*.BAK", " Rename 3 file(s) to *.BAK"},
        {WDOperation::ChangeAttributes, 0, "D:\\a", "+R",
         " Change attributes for file: D:\\a to +R"},
        {WDOperation::ChangeAttributes, 3, "", "-H", " Change attributes for 2 file(s) to -H"},
        {WDOperation::ChangeDateTime, 0, "D:\\a", "1/2/24 9:00",
         " Change date/time for file: D:\\a to 1/2/24 9:00"},
        {WDOperation::ChangeDateTime, 2, "", "x", " Change date/time for 1 file(s) to x"},
        {WDOperation::EditFile, 0, "D:\\e", "", " Edit file: D:\\e"},
        {WDOperation::ExecuteFile, 0, "run me", "", " Execute file: run me"},
        {WDOperation::PrintFile, 0, "D:\\p", "", " Print file: D:\\p"},
        {WDOperation::ViewFile, 0, "D:\\v", "", " View file: D:\\v"},
        {WDOperation::DeleteDirectory, 0, "D:\\old", "", " Delete directory: D:\\old"},
        {WDOperation::NewDirectory, 0, "D:\\new\\", "", " New directory: D:\\new\\"},
        {WDOperation::RenameDirectory, 0, "D:\\a", "D:\\b",
         " Rename directory from D:\\a to D:\\b"},
        {WDOperation::PruneDirectory, 0, "D:\\x\\y", "", " PRUNE directory: D:\\x\\y"},
        // The search shows the count as passed, in its one form.
        {WDOperation::SearchFileForText, 7, "needle", "", " Search 7 file(s) for text: needle"},
        {WDOperation::SearchFileForText, 1, "needle", "", " Search 1 file(s) for text: needle"},
    };
    std::string expected = header();
    ASSERT_TRUE(wd.WatchDogOpen());
    for (const Case& c : cases) {
        wd.WatchDogWrite(c.source, c.destination, c.count, c.op);
        expected += std::string("01/02/24 13:05:03") + c.text + "\r\n";
    }
    wd.WatchDogClose();
    EXPECT_EQ(log(), expected);
    EXPECT_TRUE(failures.empty());

    // The list names each kind as the options dialog shows it, in code order.
    EXPECT_STREQ(TWDList::Strings(0), "Delete file(s)");
    EXPECT_STREQ(TWDList::Strings(14), "Search file for text");
    for (int i = 0; i < TWDList::Count; ++i)
        EXPECT_EQ(static_cast<int>(wd.Objects(i).OperationCode), i);
}

TEST_F(WatchDogTest, HeaderOnlyOnFirstUseAndNoTimeAtMidnight) {
    enableAll();
    wd.LogSingle(WDOperation::ViewFile, "D:\\one");
    wd.Clock = [] {
        return std::time_t{1704153600};
    }; // 2 January 2024, 00:00:00
    wd.LogSingle(WDOperation::ViewFile, "D:\\two");
    EXPECT_EQ(log(), header() + "01/02/24 13:05:03 View file: D:\\one\r\n" +
                         "01/02/24 View file: D:\\two\r\n");
    EXPECT_FALSE(wd.IsOpen());

    // Without a directory of its own the log lives in the program's directory.
    tmp.mkdir("home");
    ScopedEnv home("ZENTRIX_HOME", tmp.at("home"));
    settings.WDFilePath.clear();
    EXPECT_EQ(wd.LogPath(), tmp.at("home/WATCHDOG.LOG"));
    wd.LogSingle(WDOperation::ViewFile, "D:\\three");
    EXPECT_TRUE(exists(tmp.at("home/WATCHDOG.LOG")));
}

TEST_F(WatchDogTest, NothingIsWrittenUnlessTheKindAndTheMasterSwitchAreOn) {
    // WDEnabled on, but no kind enabled.
    for (int i = 0; i < TWDList::Count; ++i)
        wd.LogSingle(static_cast<WDOperation>(i), "D:\\x");
    EXPECT_FALSE(exists(tmp.at("logs/WATCHDOG.LOG")));

    std::array<bool, TWDList::Count> flags{};
    flags[3] = true;
    wd.LoadFlags(flags);
    settings.WDEnabled = false;
    EXPECT_FALSE(wd.WatchDogWants(WDOperation::RenameFile));
    settings.WDEnabled = true;
    EXPECT_TRUE(wd.WatchDogWants(WDOperation::RenameFile));
    EXPECT_FALSE(wd.WatchDogWants(WDOperation::DeleteFile));
}

TEST_F(WatchDogTest, GroupRunsCountInOneDirectoryAndWriteSinglesInWiderScopes) {
    enableAll();
    {
        WatchDogRun run(wd, WDOperation::DeleteFile, false);
        for (int i = 0; i < 5; ++i)
            run.Handled("D:\\DIR\\F" + std::to_string(i));
        run.Finish("D:\\DIR\\");
    }
    {
        // One file in the one-directory view still takes the group form.
        WatchDogRun run(wd, WDOperation::DeleteFile, false);
        run.Handled("D:\\DIR\\ONLY");
        run.Finish("D:\\DIR\\");
    }
    {
        WatchDogRun run(wd, WDOperation::DeleteFile, false);
        run.Finish("D:\\DIR\\"); // nothing handled: no line
    }
    {
        WatchDogRun run(wd, WDOperation::DeleteFile, true);
        run.Handled("D:\\A\\X");
        run.Handled("D:\\B\\Y");
        run.Finish("D:\\A\\");
    }
    const std::string t = "01/02/24 13:05:03";
    EXPECT_EQ(log(), header() + t + " Delete 5 file(s) from D:\\DIR\\\r\n" + t +
                         " Delete 1 file(s) from D:\\DIR\\\r\n" + t + " Delete file: D:\\A\\X\r\n" +
                         t + " Delete file: D:\\B\\Y\r\n");
    EXPECT_FALSE(wd.IsOpen());
}

TEST_F(WatchDogTest, AnOversizedLogIsDeletedOnlyAboveTheLimit) {
    enableAll();
    settings.WDFileSize = 100;
    const std::string line = "01/02/24 13:05:03 View file: D:\\x\r\n";
    for (const int64_t target : {int64_t{102400}, int64_t{102401}}) {
        // A log that reaches `target` bytes with one more entry.
        std::ofstream(tmp.at("logs/WATCHDOG.LOG"), std::ios::binary)
            << std::string(static_cast<size_t>(target) - line.size(), 'x');
        wd.LogSingle(WDOperation::ViewFile, "D:\\x");
        EXPECT_EQ(exists(tmp.at("logs/WATCHDOG.LOG")), target == 102400) << target;
    }
    // Without automatic deletion it stays whatever its size; the next entry
    // after a deletion starts a new log with its header.
    settings.WDAutoDelete = false;
    std::ofstream(tmp.at("logs/WATCHDOG.LOG"), std::ios::binary) << std::string(200000, 'x');
    wd.LogSingle(WDOperation::ViewFile, "D:\\x");
    EXPECT_TRUE(exists(tmp.at("logs/WATCHDOG.LOG")));
    tmp.remove("logs/WATCHDOG.LOG");
    wd.LogSingle(WDOperation::ViewFile, "D:\\x");
    EXPECT_EQ(log(), header() + line);
}

TEST_F(WatchDogTest, AnUnwritableLogIsToldOnceAndNeverStopsTheWork) {
    enableAll();
    settings.WDFilePath = "D:\\missing\\";
    WatchDogRun run(wd, WDOperation::RenameFile, true);
    EXPECT_FALSE(run.Logging());
    run.Handled("D:\\a", "D:\\b");
    run.Finish("", "*");
    wd.LogSingle(WDOperation::ViewFile, "D:\\x");
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_NE(failures[0].find(tmp.at("missing/WATCHDOG.LOG")), std::string::npos) << failures[0];

    // Once it works again, a later failure is told again.
    tmp.mkdir("missing");
    wd.LogSingle(WDOperation::ViewFile, "D:\\x");
    EXPECT_EQ(failures.size(), 1u);
    tmp.remove("missing/WATCHDOG.LOG");
    tmp.remove("missing");
    tmp.write("missing", "a file where the directory was");
    wd.LogSingle(WDOperation::ViewFile, "D:\\x");
    EXPECT_EQ(failures.size(), 2u);

    // A log that is a link is not followed.
    tmp.symlink(tmp.at("elsewhere"), "logs/WATCHDOG.LOG");
    settings.WDFilePath = "D:\\logs\\";
    wd.LogSingle(WDOperation::ViewFile, "D:\\x");
    EXPECT_FALSE(exists(tmp.at("elsewhere")));
    EXPECT_EQ(failures.size(), 2u) << "told once until a line is written again";
}

TEST_F(WatchDogTest, TwoWritersNeverMixTheirLines) {
    enableAll();
    settings.WDAutoDelete = false; // the log grows past the limit here
    constexpr int kLines = 3000;
    const std::string longPath = "D:\\" + std::string(180, 'p');
    pid_t children[2];
    for (int c = 0; c < 2; ++c) {
        children[c] = ::fork();
        ASSERT_GE(children[c], 0);
        if (children[c] == 0) {
            TWDList mine(settings, prompter, drives);
            mine.LoadFlags(std::array<bool, TWDList::Count>{true, true, true, true, true, true,
                                                            true, true, true, true, true, true,
                                                            true, true, true});
            mine.Clock = [] {
                return kMoment;
            };
            mine.WatchDogOpen();
            for (int i = 0; i < kLines; ++i)
                mine.WatchDogWrite(longPath + std::to_string(c), "", 0, WDOperation::ViewFile);
            mine.WatchDogClose();
            ::_exit(0);
        }
    }
    for (pid_t child : children) {
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const std::string text = log();
    ASSERT_FALSE(text.empty());
    std::istringstream in(text);
    std::string line;
    int counts[2] = {0, 0};
    int headers = 0;
    while (std::getline(in, line)) {
        if (line == "\r")
            continue;
        if (line.rfind("WATCHDOG.LOG - ", 0) == 0) {
            ++headers;
            continue;
        }
        const std::string prefix = "01/02/24 13:05:03 View file: " + longPath;
        ASSERT_EQ(line.size(), prefix.size() + 2) << line;
        ASSERT_EQ(line.rfind(prefix, 0), 0u) << line;
        ++counts[line[prefix.size()] - '0'];
    }
    EXPECT_EQ(headers, 1);
    EXPECT_EQ(counts[0], kLines);
    EXPECT_EQ(counts[1], kLines);
}

TEST_F(WatchDogTest, ProtectedFilesAndDirectories) {
    settings.WindowsDir = "C:\\WINDOWS\\";
    settings.SystemDir = "C:\\WINDOWS\\SYSTEM"; // held without its backslash, compared with it
    wd.SetProgramPath("E:\\TOOLS\\ZENTRIX");
    const std::pair<const char*, bool> files[] = {
        {"C:\\WINDOWS\\NOTEPAD.EXE", true},
        {"C:\\WINDOWS\\SYSTEM\\X.DLL", true},
        {"c:\\windows\\system\\x.dll", true},
        {"C:\\WINDOWS\\COMMAND\\X.EXE", false},
        {"C:\\WINDOWSX\\A", false},
        {"D:\\CONFIG.SYS", true},
        {"d:\\config.sys", true},
        {"D:\\BACKUP\\CONFIG.SYS", false},
        {"Q:\\SYSTEM.1ST", true},
        {"D:\\CONFIG.SYS.BAK", false},
        {"E:\\TOOLS\\zentrix", true},
        {"E:\\TOOLS\\ZENTRIX2", false},
        {"", false},
    };
    for (const auto& [path, protectedFile] : files)
        EXPECT_EQ(wd.IsProtectedFile(path), protectedFile) << path;
    EXPECT_TRUE(wd.IsProtectedDirectory("C:\\WINDOWS"));
    EXPECT_TRUE(wd.IsProtectedDirectory("c:\\windows\\system\\"));
    EXPECT_FALSE(wd.IsProtectedDirectory("C:\\WINDOWS\\COMMAND"));
    EXPECT_FALSE(wd.IsProtectedDirectory("C:\\"));

    // Asked only for protected files, and never with SkipProtectedOption.
    const std::string q =
        "Deleting this file could cause Windows to malfunction! Delete anyway?     ";
    prompter.answer(false).answer(true);
    EXPECT_FALSE(wd.MayTouchFile("C:\\AUTOEXEC.BAT", q));
    EXPECT_TRUE(wd.MayTouchFile("C:\\AUTOEXEC.BAT", q));
    EXPECT_TRUE(wd.MayTouchFile("C:\\DOCS\\AUTOEXEC.BAT", q));
    settings.SkipProtectedOption = true;
    EXPECT_TRUE(wd.MayTouchFile("C:\\AUTOEXEC.BAT", q));
    EXPECT_TRUE(wd.MayTouchDirectory("C:\\WINDOWS", q));
    EXPECT_EQ(prompter.questions(), (std::vector<std::string>{q, q}));
}

TEST_F(WatchDogTest, ANameWithALineBreakStaysOnItsEntrysLine) {
    enableAll();
    // A name made to look like a line of its own, and other control bytes; the
    // rest, non-ASCII text included, stays byte for byte.
    const std::string forged = "D:\\x\r\n01/02/24 13:05:03 Delete file: D:\\innocent\tb\x7F"
                               "\xC2\x85\xE2\x80\xA8 Gr\xC3\xBC\xC3\x9F"
                               "e";
    wd.LogSingle(WDOperation::DeleteFile, forged);
    wd.LogSingle(WDOperation::RenameFile, "D:\\a", "D:\\b\nc");
    EXPECT_EQ(log(), header() + "01/02/24 13:05:03 Delete file: D:\\x\xE2\x90\x8D\xE2\x90\x8A"
                                "01/02/24 13:05:03 Delete file: D:\\innocent\xE2\x90\x89"
                                "b\xE2\x90\xA1\xEF\xBF\xBD\xEF\xBF\xBD Gr\xC3\xBC\xC3\x9F"
                                "e\r\n"
                                "01/02/24 13:05:03 Rename file: D:\\a to D:\\b\xE2\x90\x8A"
                                "c\r\n");
}
