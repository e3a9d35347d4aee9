#pragma once

#include <array>
#include <string>
#include <vector>

namespace zentrix {

/// The settings in memory, with their defaults. Everything reads them from here;
/// the settings store loads and saves them. Member names are the stored key names.
struct Settings {
    // --- section "Options" ---------------------------------------------------------
    std::string LastDir;
    int FileDisplayOption = 0; // 0 small icons, 1 large icons, 2 no icons, 3/4 columns
    int FileSortOption = 0;    // 0 name, 1 extension, 2 size, 3 date, 4 attributes, 5 description
    int LogDrivePrecisionOption = 0; // 0..10
    int SmallIconSize = 16;          // 8..32
    int LargeIconSize = 32;          // 32..64
    int DeleteType = 0;              // 0 recycle bin, 1 normal, 2 shredder, 3 fast wipe, 4 secure
    int Compatibility = 1;           // 0 minimum, 1 medium, 2 full
    bool SortOrder = false;          // reversed sort order
    bool DisplayFullPathOption = false;
    bool FetchFileDescOption = false;
    bool ShowFileDescOption = true;
    bool LogCDFromArchiveOption = true;
    bool ShowCmdLinePanel = true;
    bool ShowContextMenus = false;
    bool RefreshOnActivate = false;
    bool DMCExecuteFile = false;
    bool ShowMemStat = true;
    bool ViewAutoHex = true;
    bool ShowHintsAtStartUp = true;
    bool ShowQuotesAtStartUp = true;
    bool ShowToolTips = true;
    bool OneInst = false;
    bool WinMakeDir = false;
    bool WinRenameDir = false;
    bool SkipReleaseDrvOption = false;
    bool SkipEjectCDROMOption = false;
    bool SkipQuitOption = false;
    bool SkipRemoveRootOption = false;
    bool SkipArchiveOption = false;
    bool SkipDisconnectNetworkOption = false;
    bool SkipRestoreOption = false;
    bool SkipDeleteSpecialAttrOption = false;
    bool SkipProtectedOption = false;
    bool SkipPruneOption = false;
    bool ShowShortNames = false;
    bool ShowFolderIcons = true;
    bool ShowHiddenDirsOption = true; // directories whose names begin with "." are nodes
    bool AllowManyEntriesOption = false; // the file window shows more than 32,767 entries
    bool FollowChangesOnDisk = true;  // logged directories follow the disk as it changes
    bool ShowDirButtons = false;
    bool ShowFileButtons = false;
    bool SoundWhenComplete = true;
    std::string ChosenSound = "SystemDefault";
    bool QuickView = false;
    bool AutoPlay = false;
    // Font texts "Name,Size,Style,Pitch,Color"; empty keeps the window's design font.
    std::string FileListBoxFont;
    std::string TreeViewFont;
    std::string QuickViewFont;
    bool UseDefaultFileEditor = true;
    bool UseDefaultFileViewer = true;

    // --- section "WatchDogOptions" ------------------------------------------------
    bool WDEnabled = false;
    bool WDAutoDelete = true;
    int WDFileSize = 100;   // kilobytes
    std::string WDFilePath; // with a trailing backslash; empty: the program's directory
    /// Operations the undo journal keeps (the oldest go beyond it).
    int UndoEntries = 1000;

    // --- sections "AssociatedFileEditor" / "AssociatedFileViewer", key "FileName" ---
    std::string AssociatedFileEditor;
    std::string AssociatedFileViewer;

    // --- sections "AnimatePrgIcon" / "DisableScreenSaver", key "Enabled" ----------
    bool AnimatePrgIcon = true;
    bool DisableScreenSaver = false;

    // --- section "Platform" (read, never written): the system directories the
    // WatchDog protects and the associated programs default to, each with a
    // trailing separator; defaults: the drive paths of /etc and /usr/bin ---------
    std::string WindowsDir;
    std::string SystemDir;

    // --- list sections ---------------------------------------------------------------
    /// "LogDrivesAtStartup": entries "C label"; only the first letter counts.
    std::vector<std::string> LogDrivesAtStartup;
    /// "WatchDogOperations": the logged flag of each operation code 0..14.
    std::array<bool, 15> WatchDogOperations{};

    bool operator==(const Settings&) const = default;
};

} // namespace zentrix
