#include "catalogue/catalogue.h"
#include "config/settings.h"
#include "app/appframe.h"
#include "core/appstate.h"
#include "core/text.h"
#include "core/wildcard.h"
#include "platform/drivetable.h"
#include "platform/systeminfo.h"
#include "support/scriptedprompter.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

using namespace zentrix;
using namespace zentrix::test;

TEST(AppFrame, StartDirectoryJoinsTheCommandLine) {
    EXPECT_EQ(AppFrame::StartDirectory({"C:\\My", "Documents  "}, "D:\\last\\"), "C:\\My Documents");
    EXPECT_EQ(AppFrame::StartDirectory({"  "}, "D:\\last\\"), "D:\\last\\");
    EXPECT_EQ(AppFrame::StartDirectory({}, ""), "");
}

TEST(AppFrame, CloseQuestionWithIdleWorkers) {
    AppState state;
    Settings settings;
    ScriptedPrompter prompter;
    prompter.answer(false);
    EXPECT_FALSE(AppFrame::QueryClose(state, settings, prompter, [] {}));
    settings.SkipQuitOption = true;
    EXPECT_TRUE(AppFrame::QueryClose(state, settings, prompter, [] {}));
    EXPECT_EQ(prompter.questions(), (std::vector<std::string>{"Quit Zentrix ?"}));
}

TEST(AppFrame, WorkersAreAskedToStopAndWaitedFor) {
    AppState state;
    Settings settings;
    settings.SkipQuitOption = true; // the thread question is asked all the same
    ScriptedPrompter prompter;
    state.statisticsState = AppState::kRunning;
    state.finderState = AppState::kStarting; // asked too, though not running yet
    prompter.answer(true);
    int pumps = 0;
    EXPECT_TRUE(AppFrame::QueryClose(state, settings, prompter, [&] {
        ++pumps;
        if (state.statisticsState == AppState::kStopping)
            state.statisticsState = AppState::kIdle;
        // The finder gets going after the first request and marks itself
        // running over it; it stops when asked again.
        if (pumps == 1)
            state.finderState = AppState::kRunning;
        else if (state.finderState == AppState::kStopping)
            state.finderState = AppState::kIdle;
    }));
    EXPECT_EQ(pumps, 2);
    EXPECT_EQ(prompter.questions(), (std::vector<std::string>{"Terminate threads?     "}));
}

TEST(AppFrame, AWorkerThatNeverEndsIsNotWaitedForWithoutEnd) {
    AppState state;
    Settings settings;
    ScriptedPrompter prompter;
    state.finderState = AppState::kStarting;
    prompter.answer(true);
    int pumps = 0;
    EXPECT_FALSE(AppFrame::QueryClose(
        state, settings, prompter, [&] { ++pumps; }, std::chrono::milliseconds(30)));
    EXPECT_GT(pumps, 0);
    EXPECT_EQ(state.finderState, AppState::kStopping); // asked all the same
    EXPECT_EQ(prompter.texts(),
              (std::vector<std::string>{"Terminate threads?     ",
                                        "Cannot exit with threads running!     "}));
}

TEST(AppFrame, SystemInformationLines) {
    platform::SystemFigures f;
    f.memTotal = 8ull << 30;
    f.memAvailable = 2ull << 30;
    f.swapTotal = 0;
    f.uptimeSeconds = 93784; // 1 day, 2 h, 3 min
    f.load[0] = 0.5;
    f.kernel = "Linux 6.1";
    const auto lines = AppFrame::SystemInfoLines(f);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], " Memory:  Available=2048 MB  Total=8192 MB  Usage=75%");
    EXPECT_EQ(lines[1], " Swap file:  Setting=None  Size=0 MB  Usage=0%");
    EXPECT_EQ(lines[2], " System: Installed=Linux 6.1 Up=1d 02:03");
    EXPECT_EQ(lines[3], " Load:  1 min=0.50  5 min=0.00  15 min=0.00");
    EXPECT_GT(platform::ReadSystemFigures().memTotal, 0u);
}

TEST(Text, CaseMappingBeyondAscii) {
    EXPECT_EQ(UpperCase("straße é ü"), "STRAßE É Ü"); // ß has no single capital of its length
    EXPECT_EQ(LowerCase("ÀÉÎ"), "àéî");
    EXPECT_TRUE(EqualsIgnoreCase("Überall", "üBERALL"));
    EXPECT_FALSE(EqualsIgnoreCase("a", "ab"));
    EXPECT_EQ(UpperCase(std::string("bad\xFF")), std::string("BAD\xFF"));
    EXPECT_EQ(Trim("  \t x y \n"), "x y");
}

TEST(Wildcard, WordsAgainstNames) {
    struct Case {
        const char* word;
        const char* name;
        bool match;
    };
    const Case cases[] = {
        {"*", "", true},         {"*", "ANY.TXT", true},    {"*.TXT", "A.TXT", true},
        {"*.TXT", "A.TXT.BAK", false}, {"A?C", "ABC", true}, {"A?C", "AC", false},
        {"*.", "README.", true}, {"*.", "README.TXT", false}, {"A*", "A", true},
        {"A**", "A", false},     // a used-up name matches only an empty word or a lone "*"
        {"**", "", false},       {"**", "X", true},        {"*A*A", "BANANA", true},
        {"*AB", "AAB", true},    {"?", "", false},         {"", "", true},
        {"", "A", false},        {"*.*", ".", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WildcardMatch(c.word, c.name), c.match) << c.word << " / " << c.name;
}
