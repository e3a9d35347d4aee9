#include "config/compatibility.h"
#include "config/settingsstore.h"
#include "config/settingstarget.h"
#include "config/tenhinifile.h"
#include "platform/atomicfile.h"
#include "platform/drivetable.h"
#include "support/scriptedprompter.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace zentrix;
using zentrix::test::ScriptedPrompter;
using zentrix::test::TempDir;

namespace {

SettingsEnvironment testEnvironment() {
    SettingsEnvironment env;
    env.programDir = "C:\\home\\u\\.local\\share\\zentrix\\";
    env.windowsDir = "C:\\etc\\";
    env.systemDir = "C:\\usr\\bin\\";
    return env;
}

// Every member changed from its default.
Settings everythingChanged() {
    Settings s;
    s.LastDir = "D:\\WORK\\";
    s.FileDisplayOption = 4;
    s.FileSortOption = 5;
    s.LogDrivePrecisionOption = 10;
    s.SmallIconSize = 8;
    s.LargeIconSize = 64;
    s.DeleteType = 3;
    s.Compatibility = 2;
    s.SortOrder = true;
    s.DisplayFullPathOption = true;
    s.FetchFileDescOption = true;
    s.ShowFileDescOption = false;
    s.LogCDFromArchiveOption = false;
    s.ShowCmdLinePanel = false;
    s.ShowContextMenus = true;
    s.RefreshOnActivate = true;
    s.DMCExecuteFile = true;
    s.ShowMemStat = false;
    s.ViewAutoHex = false;
    s.ShowHintsAtStartUp = false;
    s.ShowQuotesAtStartUp = false;
    s.ShowToolTips = false;
    s.OneInst = true;
    s.WinMakeDir = true;
    s.WinRenameDir = true;
    s.SkipReleaseDrvOption = true;
    s.SkipEjectCDROMOption = true;
    s.SkipQuitOption = true;
    s.SkipRemoveRootOption = true;
    s.SkipArchiveOption = true;
    s.SkipDisconnectNetworkOption = true;
    s.SkipRestoreOption = true;
    s.SkipDeleteSpecialAttrOption = true;
    s.SkipProtectedOption = true;
    s.SkipPruneOption = true;
    s.ShowShortNames = true;
    s.ShowFolderIcons = false;
    s.ShowDirButtons = true;
    s.ShowFileButtons = true;
    s.SoundWhenComplete = false;
    s.ChosenSound = "SystemHand";
    s.QuickView = true;
    s.AutoPlay = true;
    s.FileListBoxFont = "Arial,10,BI,0,clRed";
    s.TreeViewFont = "Mono,9,,2,$00102030";
    s.QuickViewFont = "Serif,12,U,1,clBlue";
    s.UseDefaultFileEditor = false;
    s.UseDefaultFileViewer = false;
    s.WDEnabled = true;
    s.WDAutoDelete = false;
    s.WDFileSize = 2500;
    s.WDFilePath = "D:\\LOGS\\";
    s.AssociatedFileEditor = "C:\\usr\\bin\\gedit";
    s.AssociatedFileViewer = "C:\\usr\\bin\\eog";
    s.AnimatePrgIcon = false;
    s.DisableScreenSaver = true;
    s.WindowsDir = "C:\\etc\\";
    s.SystemDir = "C:\\usr\\bin\\";
    return s;
}

class SettingsStoreTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string file = dir.at("registry.ini");
};

struct RecordingTarget : SettingsTarget {
    std::vector<std::string> calls;
    std::string currentFont = "Live,11,,0,clBlack";
    void ApplyFont(FontSlot slot, const std::string& text) override {
        calls.push_back("font" + std::to_string(int(slot)) + ":" + text);
    }
    std::string CurrentFontText(FontSlot slot) override {
        return slot == FontSlot::Tree ? currentFont : std::string();
    }
    void ShowButtonBars(bool d, bool f) override {
        calls.push_back("bars:" + std::to_string(d) + std::to_string(f));
    }
    void ShowTreeIcons(bool on) override { calls.push_back("icons:" + std::to_string(on)); }
    void SetFileItemHeight(std::optional<int> px) override {
        calls.push_back("height:" + (px ? std::to_string(*px) : std::string("font")));
    }
    void UpdateQuickViewPanel(bool on) override { calls.push_back("qv:" + std::to_string(on)); }
    void ShowToolHints(bool on) override { calls.push_back("hints:" + std::to_string(on)); }
    void LoadCommandButtons() override { calls.push_back("loadbuttons"); }
    void SaveCommandButtons() override { calls.push_back("savebuttons"); }
};

} // namespace

TEST_F(SettingsStoreTest, AnEmptyStoreGivesEveryDefault) {
    TEnhIniFile store("Zentrix.INI", file);
    Settings loaded = everythingChanged();
    LoadSettings(store, loaded, testEnvironment());

    Settings expected;
    expected.WDFilePath = "C:\\home\\u\\.local\\share\\zentrix\\";
    expected.WindowsDir = "C:\\etc\\";
    expected.SystemDir = "C:\\usr\\bin\\";
    expected.AssociatedFileEditor = "C:\\etc\\NOTEPAD.EXE";
    expected.AssociatedFileViewer = "C:\\etc\\PBRUSH.EXE";
    expected.WatchDogOperations = loaded.WatchDogOperations; // a list section, not loaded here
    expected.LogDrivesAtStartup = loaded.LogDrivesAtStartup;
    EXPECT_EQ(loaded, expected);
    EXPECT_FALSE(store.Modified()); // loading writes nothing
}

TEST_F(SettingsStoreTest, EverySettingSurvivesSaveAndLoad) {
    Settings saved = everythingChanged();
    {
        TEnhIniFile store("Zentrix.INI", file);
        SaveSettings(store, saved);
    }
    TEnhIniFile store("/elsewhere/ZENTRIX.ini", file); // another directory, the same key
    Settings loaded;
    LoadSettings(store, loaded, testEnvironment());
    saved.WatchDogOperations = loaded.WatchDogOperations;
    saved.LogDrivesAtStartup = loaded.LogDrivesAtStartup;
    EXPECT_EQ(loaded, saved);
    // The system directories are read, never written: they follow the drives
    // unless the user sets them by hand.
    EXPECT_FALSE(store.ValueExists("Platform", "WindowsDir"));
}

TEST_F(SettingsStoreTest, StoredValuesAreNormalised) {
    TEnhIniFile store("Zentrix.INI", file);
    Settings s;
    const std::pair<const char*, int> compat[] = {{"7", 2},  {"0x1", 1}, {"abc", 1},
                                                  {"-4", 0}, {"0", 0},   {"0x2", 2}};
    for (const auto& [text, expected] : compat) {
        store.WriteString("Options", "Compatibility", text);
        LoadSettings(store, s, testEnvironment());
        EXPECT_EQ(s.Compatibility, expected) << text;
    }

    store.WriteString("Options", "FileDisplayOption", "9");
    store.WriteString("Options", "FileSortOption", "-1");
    store.WriteString("Options", "SmallIconSize", "200");
    store.WriteString("Options", "DeleteType", "0x4");
    store.WriteString("WatchDogOptions", "WDFileSize", "0");
    store.WriteString("WatchDogOptions", "WDFilePath", "D:\\LOGS");
    store.WriteString("AssociatedFileEditor", "FileName", "");
    store.WriteString("Platform", "WindowsDir", "/opt/win");
    LoadSettings(store, s, testEnvironment());
    EXPECT_EQ(s.FileDisplayOption, 0);
    EXPECT_EQ(s.FileSortOption, 0);
    EXPECT_EQ(s.SmallIconSize, 16);
    EXPECT_EQ(s.DeleteType, 4);
    EXPECT_EQ(s.WDFileSize, 100);
    EXPECT_EQ(s.WDFilePath, "D:\\LOGS\\");
    EXPECT_EQ(s.WindowsDir, "/opt/win/");
    EXPECT_EQ(s.AssociatedFileEditor, "/opt/win/NOTEPAD.EXE");

    store.WriteString("WatchDogOptions", "WDFileSize", "-20");
    store.WriteString("WatchDogOptions", "WDFilePath", "/var/log");
    LoadSettings(store, s, testEnvironment());
    EXPECT_EQ(s.WDFileSize, 100);
    EXPECT_EQ(s.WDFilePath, "/var/log/");
}

TEST_F(SettingsStoreTest, AHandEditedFileIsReadWithoutRegardToCase) {
    test::TempDir d;
    d.write("registry.ini", "[software\\MORVANE\\zentrix\\options]\n"
                            "filedisplayoption=3\n"
                            "SORTORDER=1\n"
                            "[Software\\Morvane\\Zentrix\\watchdogoptions]\n"
                            "wdenabled=1\n");
    TEnhIniFile store("Zentrix.INI", d.at("registry.ini"));
    Settings s;
    LoadSettings(store, s, testEnvironment());
    EXPECT_EQ(s.FileDisplayOption, 3);
    EXPECT_TRUE(s.SortOrder);
    EXPECT_TRUE(s.WDEnabled);
}

TEST_F(SettingsStoreTest, WatchDogFlagsGoByThePositionOfTheValuesRead) {
    TEnhIniFile store("Zentrix.INI", file);
    store.WriteString("WatchDogOperations", "FO5", "1");    // 1st value: code 0
    store.WriteString("WatchDogOperations", "FO0", "0");    // 2nd: code 1
    store.WriteString("WatchDogOperations", "Other", "1x"); // 3rd: code 2, only "1" counts
    store.WriteString("WatchDogOperations", "FO9", " 1");   // 4th: code 3, a blank first
    store.WriteString("WatchDogOperations", "FO8", "");
    for (int i = 5; i < 20; ++i)
        store.WriteString("WatchDogOperations", "X" + std::to_string(i),
                          i == 14 || i == 15 ? "1" : "0");
    auto flags = LoadWatchDogOperations(store);
    EXPECT_TRUE(flags[0]);
    EXPECT_FALSE(flags[1]);
    EXPECT_TRUE(flags[2]);
    EXPECT_FALSE(flags[3]);
    EXPECT_FALSE(flags[4]);
    EXPECT_TRUE(flags[14]);

    // Saved afresh in code order, so that names and positions agree again.
    SaveWatchDogOperations(store, flags);
    const auto names = store.ReadSection("WatchDogOperations");
    ASSERT_EQ(names.size(), 15u);
    for (size_t i = 0; i < names.size(); ++i)
        EXPECT_EQ(names[i], "FO" + std::to_string(i));
    EXPECT_EQ(LoadWatchDogOperations(store), flags);
}

TEST_F(SettingsStoreTest, ListSectionsAreWrittenOnlyForTheOptionsDialog) {
    TEnhIniFile store("Zentrix.INI", file);
    SaveUserExt(store, {"Text (*.TXT)", "Pictures (*.PNG *.JPG)", "Old (*.BAK)"});
    SaveLogDrivesAtStartup(store, {"C root", "D data"});
    Settings s;
    SaveSettings(store, s); // no dialog: the lists stay
    EXPECT_EQ(LoadUserExt(store).size(), 3u);
    EXPECT_EQ(LoadLogDrivesAtStartup(store), (std::vector<std::string>{"C root", "D data"}));

    OptionsDialogLists lists;
    lists.userExt = {"Pictures (*.PNG *.JPG)"};
    lists.logDrives = {"D data"};
    lists.watchDogOperations[3] = true;
    SaveSettings(store, s, nullptr, &lists);
    TEnhIniFile reread("Zentrix.INI", file);
    EXPECT_EQ(LoadUserExt(reread), std::vector<std::string>{"Pictures (*.PNG *.JPG)"});
    EXPECT_EQ(reread.ReadSection("UserExt"), std::vector<std::string>{"FileExt0"});
    EXPECT_EQ(LoadLogDrivesAtStartup(reread), std::vector<std::string>{"D data"});
    EXPECT_EQ(reread.ReadSection("LogDrivesAtStartup"), std::vector<std::string>{"LogDrive0"});
    EXPECT_EQ(LoadWatchDogOperations(reread), lists.watchDogOperations);
}

TEST_F(SettingsStoreTest, TheWindowsFollowLoadAndSave) {
    TEnhIniFile store("Zentrix.INI", file);
    store.WriteString("Options", "FileListBoxFont", "Arial,10,B,0,clRed");
    store.WriteString("Options", "FileDisplayOption", "1");
    store.WriteString("Options", "LargeIconSize", "40");
    store.WriteString("Options", "ShowDirButtons", "1");
    RecordingTarget target;
    Settings s;
    LoadSettings(store, s, testEnvironment(), &target);
    EXPECT_EQ(target.calls,
              (std::vector<std::string>{"font0:Arial,10,B,0,clRed", "font1:", "font2:", "bars:10",
                                        "icons:1", "height:43", "qv:0", "hints:1", "loadbuttons"}));

    // Saving takes the windows' fonts as they are now and applies everything again.
    target.calls.clear();
    s.FileDisplayOption = 3;
    SaveSettings(store, s, &target);
    EXPECT_EQ(s.TreeViewFont, "Live,11,,0,clBlack");
    EXPECT_EQ(store.ReadString("Options", "TreeViewFont", ""), "Live,11,,0,clBlack");
    EXPECT_EQ(target.calls, (std::vector<std::string>{"font0:", "font1:Live,11,,0,clBlack",
                                                      "font2:", "bars:10", "icons:1", "height:font",
                                                      "qv:0", "hints:1", "savebuttons"}));
}

TEST_F(SettingsStoreTest, ASaveThatCannotBeWrittenIsReported) {
    dir.write("notadir", "x");
    int lateReports = 0;
    TEnhIniFile::SetWriteFailureHandler([&](const platform::FileWriteError&) { ++lateReports; });
    {
        TEnhIniFile store("Zentrix.INI", dir.at("notadir/registry.ini"));
        Settings s;
        EXPECT_THROW(SaveSettings(store, s), platform::FileWriteError);
    }
    TEnhIniFile::SetWriteFailureHandler(nullptr);
    EXPECT_EQ(lateReports, 1); // the changes still pending are not dropped silently either
}

TEST(SettingsEnvironmentTest, DirectoriesAreSeenThroughTheDrives) {
    TempDir home;
    ::setenv("ZENTRIX_HOME", home.at("prog").c_str(), 1);
    const auto drives = platform::DriveTable::FromSpec("C=/", {});
    const auto env = SettingsEnvironment::FromDrives(drives);
    ::unsetenv("ZENTRIX_HOME");
    EXPECT_EQ(env.windowsDir, "C:\\etc\\");
    EXPECT_EQ(env.systemDir, "C:\\usr\\bin\\");
    EXPECT_EQ(
        env.programDir, "C:" + [&] {
            std::string p = home.at("prog") + "/";
            for (auto& c : p)
                if (c == '/')
                    c = '\\';
            return p;
        }());

    // A directory no drive holds stays a host path.
    const auto onlyD = platform::DriveTable::FromSpec("D=" + home.path(), {});
    EXPECT_EQ(SettingsEnvironment::FromDrives(onlyD).windowsDir, "/etc/");
}

TEST(Compatibility, AFunctionAboveTheModeSaysSoAndIsRefused) {
    Settings s;
    s.Compatibility = 0;
    ScriptedPrompter prompter;
    EXPECT_TRUE(CheckCompatibility(0, s, prompter));
    EXPECT_TRUE(prompter.shown().empty());
    EXPECT_FALSE(CheckCompatibility(1, s, prompter));
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(prompter.shown()[0].kind, ScriptedPrompter::Kind::Warn);
    EXPECT_EQ(prompter.shown()[0].text, "Function not available in this compatibility mode.     ");
    s.Compatibility = 2;
    EXPECT_TRUE(CheckCompatibility(2, s, prompter));
    EXPECT_EQ(prompter.shown().size(), 1u);
}
