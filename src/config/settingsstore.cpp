#include "config/settingsstore.h"

#include "config/pathforms.h"
#include "config/settingstarget.h"
#include "config/tenhinifile.h"
#include "config/watchdogoperations.h"
#include "platform/apppaths.h"

#include <algorithm>

namespace zentrix {
namespace {

constexpr const char* kOptions = "Options";
constexpr const char* kWatchDog = "WatchDogOptions";

struct BoolKey {
    const char* section;
    const char* key;
    bool Settings::*member;
};

// Every boolean of the table, in the order it is written.
constexpr BoolKey kBools[] = {
    {kOptions, "SortOrder", &Settings::SortOrder},
    {kOptions, "DisplayFullPathOption", &Settings::DisplayFullPathOption},
    {kOptions, "FetchFileDescOption", &Settings::FetchFileDescOption},
    {kOptions, "ShowFileDescOption", &Settings::ShowFileDescOption},
    {kOptions, "LogCDFromArchiveOption", &Settings::LogCDFromArchiveOption},
    {kOptions, "ShowCmdLinePanel", &Settings::ShowCmdLinePanel},
    {kOptions, "ShowContextMenus", &Settings::ShowContextMenus},
    {kOptions, "RefreshOnActivate", &Settings::RefreshOnActivate},
    {kOptions, "DMCExecuteFile", &Settings::DMCExecuteFile},
    {kOptions, "ShowMemStat", &Settings::ShowMemStat},
    {kOptions, "ViewAutoHex", &Settings::ViewAutoHex},
    {kOptions, "ShowHintsAtStartUp", &Settings::ShowHintsAtStartUp},
    {kOptions, "ShowQuotesAtStartUp", &Settings::ShowQuotesAtStartUp},
    {kOptions, "ShowToolTips", &Settings::ShowToolTips},
    {kOptions, "OneInst", &Settings::OneInst},
    {kOptions, "WinMakeDir", &Settings::WinMakeDir},
    {kOptions, "WinRenameDir", &Settings::WinRenameDir},
    {kOptions, "SkipReleaseDrvOption", &Settings::SkipReleaseDrvOption},
    {kOptions, "SkipEjectCDROMOption", &Settings::SkipEjectCDROMOption},
    {kOptions, "SkipQuitOption", &Settings::SkipQuitOption},
    {kOptions, "SkipRemoveRootOption", &Settings::SkipRemoveRootOption},
    {kOptions, "SkipArchiveOption", &Settings::SkipArchiveOption},
    {kOptions, "SkipDisconnectNetworkOption", &Settings::SkipDisconnectNetworkOption},
    {kOptions, "SkipRestoreOption", &Settings::SkipRestoreOption},
    {kOptions, "SkipDeleteSpecialAttrOption", &Settings::SkipDeleteSpecialAttrOption},
    {kOptions, "SkipProtectedOption", &Settings::SkipProtectedOption},
    {kOptions, "SkipPruneOption", &Settings::SkipPruneOption},
    {kOptions, "ShowShortNames", &Settings::ShowShortNames},
    {kOptions, "ShowFolderIcons", &Settings::ShowFolderIcons},
    {kOptions, "ShowHiddenDirsOption", &Settings::ShowHiddenDirsOption},
    {kOptions, "AllowManyEntriesOption", &Settings::AllowManyEntriesOption},
    {kOptions, "FollowChangesOnDisk", &Settings::FollowChangesOnDisk},
    {kOptions, "ShowDirButtons", &Settings::ShowDirButtons},
    {kOptions, "ShowFileButtons", &Settings::ShowFileButtons},
    {kOptions, "SoundWhenComplete", &Settings::SoundWhenComplete},
    {kOptions, "QuickView", &Settings::QuickView},
    {kOptions, "AutoPlay", &Settings::AutoPlay},
    {kOptions, "UseDefaultFileEditor", &Settings::UseDefaultFileEditor},
    {kOptions, "UseDefaultFileViewer", &Settings::UseDefaultFileViewer},
    {kWatchDog, "WDEnabled", &Settings::WDEnabled},
    {kWatchDog, "WDAutoDelete", &Settings::WDAutoDelete},
    {"AnimatePrgIcon", "Enabled", &Settings::AnimatePrgIcon},
    {"DisableScreenSaver", "Enabled", &Settings::DisableScreenSaver},
};

struct IntKey {
    const char* section;
    const char* key;
    int Settings::*member;
    int min;
    int max;
};

// A value outside its range would index past the choices of a window; it gives
// the default instead (Compatibility is held to its range, see below).
constexpr IntKey kInts[] = {
    {kOptions, "FileDisplayOption", &Settings::FileDisplayOption, 0, 4},
    {kOptions, "FileSortOption", &Settings::FileSortOption, 0, 5},
    {kOptions, "LogDrivePrecisionOption", &Settings::LogDrivePrecisionOption, 0, 10},
    {kOptions, "SmallIconSize", &Settings::SmallIconSize, 8, 32},
    {kOptions, "LargeIconSize", &Settings::LargeIconSize, 32, 64},
    {kOptions, "DeleteType", &Settings::DeleteType, 0, 4},
};

struct StringKey {
    const char* section;
    const char* key;
    std::string Settings::*member;
};

constexpr StringKey kStrings[] = {
    {kOptions, "LastDir", &Settings::LastDir},
    {kOptions, "ChosenSound", &Settings::ChosenSound},
};

struct FontKey {
    const char* key;
    std::string Settings::*member;
    SettingsTarget::FontSlot slot;
};

constexpr FontKey kFonts[] = {
    {"FileListBoxFont", &Settings::FileListBoxFont, SettingsTarget::FontSlot::FileList},
    {"TreeViewFont", &Settings::TreeViewFont, SettingsTarget::FontSlot::Tree},
    {"QuickViewFont", &Settings::QuickViewFont, SettingsTarget::FontSlot::QuickView},
};

void saveList(TEnhIniFile& store, const char* section, const std::string& prefix,
              const std::vector<std::string>& entries) {
    store.EraseSection(section);
    for (size_t i = 0; i < entries.size(); ++i)
        store.WriteString(section, prefix + std::to_string(i), entries[i]);
}

std::vector<std::string> loadList(const TEnhIniFile& store, const char* section) {
    std::vector<std::string> entries;
    for (auto& [name, value] : store.ReadSectionPairs(section))
        entries.push_back(value);
    return entries;
}

} // namespace

std::string SettingsIniName() {
    std::string exe = platform::AppPaths::ExecutablePath();
    const size_t slash = exe.rfind('/');
    return (slash == std::string::npos ? std::string() : exe.substr(0, slash + 1)) + "Zentrix.INI";
}

SettingsEnvironment SettingsEnvironment::FromDrives(const platform::DriveTable& drives) {
    SettingsEnvironment env;
    env.programDir = DirectoryForSettings(platform::AppPaths::ProgramDir(), drives);
    env.windowsDir = DirectoryForSettings("/etc", drives);
    env.systemDir = DirectoryForSettings("/usr/bin", drives);
    return env;
}

std::optional<int> FileItemHeight(const Settings& s) {
    switch (s.FileDisplayOption) {
    case 0:
        return s.SmallIconSize + 3;
    case 1:
        return s.LargeIconSize + 3;
    default:
        return std::nullopt;
    }
}

void ApplySettings(const Settings& s, SettingsTarget& target) {
    for (const auto& f : kFonts)
        target.ApplyFont(f.slot, s.*f.member);
    target.ShowButtonBars(s.ShowDirButtons, s.ShowFileButtons);
    target.ShowTreeIcons(s.ShowFolderIcons);
    target.SetFileItemHeight(FileItemHeight(s));
    target.UpdateQuickViewPanel(s.QuickView);
    target.ShowToolHints(s.ShowToolTips);
}

void LoadSettings(const TEnhIniFile& store, Settings& s, const SettingsEnvironment& env,
                  SettingsTarget* target) {
    const Settings defaults;
    for (const auto& b : kBools)
        s.*b.member = store.ReadBool(b.section, b.key, defaults.*b.member);
    for (const auto& i : kInts) {
        const int v = store.ReadInteger(i.section, i.key, defaults.*i.member);
        s.*i.member = v < i.min || v > i.max ? defaults.*i.member : v;
    }
    s.Compatibility = std::clamp(store.ReadInteger(kOptions, "Compatibility", 1), 0, 2);
    for (const auto& k : kStrings)
        s.*k.member = store.ReadString(k.section, k.key, defaults.*k.member);
    for (const auto& f : kFonts)
        s.*f.member = store.ReadString(kOptions, f.key, {});

    // A size of 0 or less would delete the log after every operation.
    s.WDFileSize = store.ReadInteger(kWatchDog, "WDFileSize", 100);
    if (s.WDFileSize <= 0)
        s.WDFileSize = 100;
    s.UndoEntries = std::clamp(store.ReadInteger(kWatchDog, "UndoEntries", 1000), 1, 100000);
    s.WDFilePath = WithTrailingSeparator(store.ReadString(kWatchDog, "WDFilePath", {}));
    if (s.WDFilePath.empty())
        s.WDFilePath = env.programDir;

    s.WindowsDir = WithTrailingSeparator(store.ReadString("Platform", "WindowsDir", {}));
    if (s.WindowsDir.empty())
        s.WindowsDir = env.windowsDir;
    s.SystemDir = WithTrailingSeparator(store.ReadString("Platform", "SystemDir", {}));
    if (s.SystemDir.empty())
        s.SystemDir = env.systemDir;

    s.AssociatedFileEditor = store.ReadString("AssociatedFileEditor", "FileName", {});
    if (s.AssociatedFileEditor.empty())
        s.AssociatedFileEditor = s.WindowsDir + "NOTEPAD.EXE";
    s.AssociatedFileViewer = store.ReadString("AssociatedFileViewer", "FileName", {});
    if (s.AssociatedFileViewer.empty())
        s.AssociatedFileViewer = s.WindowsDir + "PBRUSH.EXE";

    if (target) {
        ApplySettings(s, *target);
        target->LoadCommandButtons();
    }
}

void SaveSettings(TEnhIniFile& store, Settings& s, SettingsTarget* target,
                  const OptionsDialogLists* dialogLists) {
    if (target)
        for (const auto& f : kFonts)
            s.*f.member = target->CurrentFontText(f.slot);

    for (const auto& k : kStrings)
        store.WriteString(k.section, k.key, s.*k.member);
    for (const auto& i : kInts)
        store.WriteInteger(i.section, i.key, s.*i.member);
    store.WriteInteger(kOptions, "Compatibility", s.Compatibility);
    for (const auto& b : kBools)
        store.WriteBool(b.section, b.key, s.*b.member);
    for (const auto& f : kFonts)
        store.WriteString(kOptions, f.key, s.*f.member);
    store.WriteInteger(kWatchDog, "WDFileSize", s.WDFileSize);
    store.WriteString(kWatchDog, "WDFilePath", s.WDFilePath);
    store.WriteInteger(kWatchDog, "UndoEntries", s.UndoEntries);
    store.WriteString("AssociatedFileEditor", "FileName", s.AssociatedFileEditor);
    store.WriteString("AssociatedFileViewer", "FileName", s.AssociatedFileViewer);

    if (target)
        ApplySettings(s, *target);
    if (dialogLists) {
        SaveUserExt(store, dialogLists->userExt);
        SaveLogDrivesAtStartup(store, dialogLists->logDrives);
        SaveWatchDogOperations(store, dialogLists->watchDogOperations);
    }
    if (target)
        target->SaveCommandButtons();
    store.UpdateFile();
}

std::vector<std::string> LoadUserExt(const TEnhIniFile& store) {
    return loadList(store, "UserExt");
}

void SaveUserExt(TEnhIniFile& store, const std::vector<std::string>& types) {
    saveList(store, "UserExt", "FileExt", types);
}

std::vector<std::string> LoadLogDrivesAtStartup(const TEnhIniFile& store) {
    return loadList(store, "LogDrivesAtStartup");
}

void SaveLogDrivesAtStartup(TEnhIniFile& store, const std::vector<std::string>& drives) {
    saveList(store, "LogDrivesAtStartup", "LogDrive", drives);
}

std::array<bool, 15> LoadWatchDogOperations(const TEnhIniFile& store) {
    std::array<bool, 15> flags{};
    size_t i = 0;
    for (const auto& [name, value] : store.ReadSectionPairs("WatchDogOperations")) {
        if (i >= flags.size())
            break;
        flags[i++] = !value.empty() && value[0] == '1';
    }
    return flags;
}

void SaveWatchDogOperations(TEnhIniFile& store, const std::array<bool, 15>& flags) {
    static_assert(kWatchDogOperationCount == 15);
    store.EraseSection("WatchDogOperations");
    for (size_t i = 0; i < flags.size(); ++i)
        store.WriteString("WatchDogOperations", "FO" + std::to_string(i), flags[i] ? "1" : "0");
}

} // namespace zentrix
