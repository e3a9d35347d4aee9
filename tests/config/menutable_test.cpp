#include "config/menutable.h"

#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <map>
#include <set>

using namespace zentrix;

namespace {

struct TextCase {
    const char* text;
    TShortCut value;
    const char* written; // how ShortCutToText writes it back
};

TEST(ShortCutText, ReadsAndWritesTheKeysOfTheMenus) {
    const TextCase cases[] = {
        {"T", 'T', "T"},
        {"Space", vk::Space, "Space"},
        {"0", '0', "0"},
        {"Shift+0", scShift | '0', "Shift+0"},
        {"+", vk::OemPlus, "+"},
        {"/", vk::OemSlash, "/"},
        {"Ctrl+/", scCtrl | vk::OemSlash, "Ctrl+/"},
        {"Ctrl++", scCtrl | vk::OemPlus, "Ctrl++"},
        {"Alt+F10", scAlt | (vk::F1 + 9), "Alt+F10"},
        {"Ctrl+Shift+F7", scCtrl | scShift | (vk::F1 + 6), "Ctrl+Shift+F7"},
        {"Shift+Alt+T", scShift | scAlt | 'T', "Alt+Shift+T"},
        {"Ctrl+Alt+Enter", scCtrl | scAlt | vk::Return, "Ctrl+Alt+Enter"},
        {"ctrl+return", scCtrl | vk::Return, "Ctrl+Enter"},
        {"F24", vk::F1 + 23, "F24"},
        {"Num++", vk::Add, "Num++"},
        {"Ctrl+Num+5", scCtrl | (vk::Numpad0 + 5), "Ctrl+Num+5"},
        {"Shift+PgDn", scShift | vk::Next, "Shift+PgDown"},
        {"\\", vk::OemBackslash, "\\"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(TextToShortCut(c.text), c.value);
        EXPECT_EQ(ShortCutToText(c.value), c.written);
        EXPECT_EQ(TextToShortCut(ShortCutToText(c.value)), c.value);
    }
    // The stored form keeps the modifier bits where templates expect them.
    EXPECT_EQ(TextToShortCut("Shift+Alt+T"), 0xA054);
}

TEST(ShortCutText, UnknownTextsAreNoShortcut) {
    for (const char* text : {"", "Ctrl+", "Ctrl", "Ctrl+Ctrl", "Hyper+X", "F0", "F25", "F1x", "TT",
                             "Num+", "Num+A", "é"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(TextToShortCut(text), 0);
    }
    EXPECT_EQ(ShortCutToText(0), "");
    EXPECT_EQ(ShortCutToText(scCtrl | 0xFF), ""); // a key without a name shows nothing
}

// --- the table ------------------------------------------------------------------

std::vector<std::string> Names(const std::vector<MenuItem>& items) {
    std::vector<std::string> names;
    for (const auto& item : items)
        names.push_back(item.isSeparator() ? "-" : item.name);
    return names;
}

TEST(MenuTable, HoldsTheSixMenusAndEveryPopupInOrder) {
    const MenuTable table = MenuTable::Default();
    EXPECT_EQ(Names(table.mainMenu().items),
              (std::vector<std::string>{"miZentrix", "miDirectory", "miFile", "miVolume", "miTools",
                                        "miHelp"}));
    std::vector<std::string> captions;
    for (const auto& top : table.mainMenu().items)
        captions.push_back(top.caption);
    EXPECT_EQ(captions, (std::vector<std::string>{"Zentrix", "Directory", "File", "Volume", "Tools",
                                                  "Help"}));
    EXPECT_EQ(Names(table.popups()),
              (std::vector<std::string>{"TreeViewPopupMenu", "ListBoxPopupMenu", "DrivesPopupMenu",
                                        "ToolsPopup", "pmDirToolbar", "pmFileToolbar", "pmCurrDir",
                                        "pmQView", "pmImgQuick", "pmAutoPlay", "TrayPopupMenu"}));
    // The tools menu keeps its first five items when the user tools are added.
    EXPECT_EQ(table.find("miTools")->items.size(), 5u);
}

TEST(MenuTable, ComponentNamesAreUniqueAndCarryTheirKind) {
    const MenuTable table = MenuTable::Default();
    std::set<std::string> seen;
    auto check = [&](const MenuItem& root, const std::string& prefix) {
        std::function<void(const MenuItem&)> walk = [&](const MenuItem& item) {
            for (const auto& sub : item.items) {
                if (sub.isSeparator()) {
                    EXPECT_TRUE(sub.name.empty());
                    continue;
                }
                EXPECT_TRUE(seen.insert(sub.name).second) << "twice: " << sub.name;
                EXPECT_EQ(sub.name.rfind(prefix, 0), 0u) << sub.name;
                EXPECT_NE(sub.name.rfind("pmi", 0) == 0, prefix == "mi") << sub.name;
                walk(sub);
            }
        };
        walk(root);
    };
    check(table.mainMenu(), "mi");
    for (const auto& popup : table.popups())
        check(popup, "pmi");
    EXPECT_EQ(seen.size(), 240u); // the design tables, the undo, open-with and clipboard items
}

// Every item of every menu, in menu order, as the window's design lists them:
// the menu it belongs to, its depth below that menu, caption (with the keys the
// windows handle after a tab), shortcut, command and hint. Separators are not
// rows.
struct DesignRow {
    const char* menu;
    int depth;
    const char* caption;
    const char* keys;
    const char* command;
    const char* hint;
};

const DesignRow kDesign[] = {
    // MainMenu
    {"MainMenu", 0, "Zentrix", "", "", ""},
    {"MainMenu", 1, "&Options ...", "Alt+F10", "miZentrixPropertiesClick", "Program options ..."},
    {"MainMenu", 1, "E&xit", "Alt+Q", "QuitZentrix", "Exit program ..."},
    {"MainMenu", 0, "Directory", "", "", ""},
    {"MainMenu", 1, "T&ag ...", "", "", "Tag operations ..."},
    {"MainMenu", 2, "Directory files", "T", "DirTagFiles",
     "Tag all matching files in the current directory ..."},
    {"MainMenu", 2, "Branch", "Ctrl+F7", "DirTagBranch",
     "Tag all matching files in the current branch ..."},
    {"MainMenu", 2, "Branch by attributes", "Ctrl+Shift+F7", "miDirTagAllBranchByAttrClick",
     "Tag any matching file on all branch files whose file attributes match a specified setting "
     "..."},
    {"MainMenu", 2, "Branch by pattern", "Ctrl+Shift+P", "miDirTagAllBranchByPatternClick",
     "Tag any matching file in the current branch that match specified pattern ..."},
    {"MainMenu", 2, "Branch by age", "Ctrl+Shift+A", "miDirTagAllBranchByAgeClick",
     "Tag any matching file in current branch that is newer than specified ..."},
    {"MainMenu", 2, "Disk", "Ctrl+T", "DiskTagAll",
     "Tag all matching files on the current disk ..."},
    {"MainMenu", 2, "Disk by attributes", "Alt+A", "miDirTagAllDiskByAttrClick",
     "Tag any matching file on the disk whose file attributes match a specified setting ..."},
    {"MainMenu", 2, "Disk by pattern", "Ctrl+P", "miDirTagAllDiskByPatternClick",
     "Tag any matching file on the disk that match specified pattern ..."},
    {"MainMenu", 2, "Disk by age", "Ctrl+A", "miDirTagAllDiskByAgeClick",
     "Tag any matching file on the disk that is newer than specified ..."},
    {"MainMenu", 2, "Global", "Ctrl+Shift+T", "GlobalTagAll",
     "Tag all matching files on all logged disks ..."},
    {"MainMenu", 2, "Global by attributes", "Shift+Alt+T", "miDirTagAllGlobalByAttrClick",
     "Tag any matching file on all logged disks whose file attributes match a specified setting "
     "..."},
    {"MainMenu", 2, "Global by pattern", "Ctrl+Alt+P", "miDirTagAllGlobalByPatternClick",
     "Tag any matching logged file that match specified pattern ..."},
    {"MainMenu", 2, "Global by age", "Ctrl+Alt+A", "miDirTagAllGlobalByAgeClick",
     "Tag any matching logged file that is newer than specified ..."},
    {"MainMenu", 2, "Tag Wizard ...", "Ctrl+F12", "miDirTagWizardClick",
     "Use tag wizard to do complex tagging of files ..."},
    {"MainMenu", 1, "&UnTag ...", "", "", "Untag operations ..."},
    {"MainMenu", 2, "Directory files", "U", "DirUnTagFiles",
     "Untag all matching files in the current directory ..."},
    {"MainMenu", 2, "Branch", "Ctrl+F8", "DirUnTagBranch",
     "Untag all matching files in the current branch ..."},
    {"MainMenu", 2, "Branch by attributes", "Ctrl+Shift+F8", "miDirUntagAllBranchByAttrClick",
     "Untag any matching file in current branch whose file attributes match a specified setting "
     "..."},
    {"MainMenu", 2, "Branch by pattern", "Ctrl+Shift+O", "miDirUntagAllBranchByPatternClick",
     "Untag any matching file in the current branch that match specified pattern ..."},
    {"MainMenu", 2, "Branch by age", "Ctrl+Shift+H", "miDirUntagAllBranchByAgeClick",
     "Untag any matching file in current branch that is newer than specified ..."},
    {"MainMenu", 2, "Disk", "Ctrl+U", "DiskUnTagAll",
     "Untag all matching files on the current disk ..."},
    {"MainMenu", 2, "Disk by attributes", "Alt+U", "miDirUnTagAllDiskByAttrClick",
     "Untag any matching file on the disk whose file attributes match a specified setting ..."},
    {"MainMenu", 2, "Disk by pattern", "Ctrl+O", "miDirUnTagAllDiskByPatternClick",
     "Untag any matching file on the disk whose file attributes match a specified pattern ..."},
    {"MainMenu", 2, "Disk by age", "Ctrl+H", "miDirUntagAllDiskByAgeClick",
     "Untag any matching file on the disk that is newer than specified ..."},
    {"MainMenu", 2, "Global", "Ctrl+Shift+U", "GlobalUnTagAll",
     "Untag all matching files on all logged disks ..."},
    {"MainMenu", 2, "Global by attributes", "Shift+Alt+U", "miDirUnTagAllGlobalByAttrClick",
     "Untag any matching file on all logged disks whose file attributes match a specified setting "
     "..."},
    {"MainMenu", 2, "Global by pattern", "Ctrl+Alt+O", "miDirUntagAllGlobalByPatternClick",
     "Untag any matching logged file that match specified pattern ..."},
    {"MainMenu", 2, "Global by age", "Ctrl+Alt+H", "miDirUntagAllGlobalByAgeClick",
     "Untag any matching logged file that is newer than specified ..."},
    {"MainMenu", 1, "To&ggle ...", "", "", "Toggle operations ..."},
    {"MainMenu", 2, "File spec", "I", "miDirToggleFileSpecClick",
     "Reverse the file specification ..."},
    {"MainMenu", 2, "Dir tags", "Space", "InvertDirTags",
     "Toggle the tags on files in the current directory ..."},
    {"MainMenu", 2, "Branch tags", "Ctrl+F9", "InvertBranchTags",
     "Toggle the tags on files in the current branch ..."},
    {"MainMenu", 2, "Disk tags", "Ctrl+I", "InvertAllDiskTags",
     "Toggle the tags on all matching files on the current disk ..."},
    {"MainMenu", 2, "Global tags", "Ctrl+Shift+I", "InvertAllGlobalTags",
     "Toggle the tags on all matching files on all logged disks ..."},
    {"MainMenu", 1, "Show all files", "", "", "Show all logged files ..."},
    {"MainMenu", 2, "Branch", "B", "BranchShowAllLogged",
     "Show all matching files in the current branch ..."},
    {"MainMenu", 2, "Disk", "S", "DiskShowAllLogged",
     "Show all logged matching files on the current disk ..."},
    {"MainMenu", 2, "Global", "G", "GlobalShowAllLogged",
     "Show all matching files on all logged disks ..."},
    {"MainMenu", 2, "Branch tagged", "Ctrl+B", "BranchShowAllTagged",
     "Show all matching tagged files in the current branch ..."},
    {"MainMenu", 2, "Disk tagged", "Ctrl+S", "DiskShowAllTagged",
     "Show all matching tagged files on the current disk ..."},
    {"MainMenu", 2, "Global tagged", "Ctrl+G", "GlobalShowAllTagged",
     "Show all tagged matching files on all logged disks ..."},
    {"MainMenu", 1, "Cu&t", "Ctrl+X", "DirCut",
     "Mark current directory and its subdirectories for cut operation ..."},
    {"MainMenu", 1, "&Copy", "Ctrl+C", "DirCopy",
     "Mark current directory and its subdirectories for copy operation ..."},
    {"MainMenu", 1, "&Paste", "Ctrl+V", "DirPaste",
     "Paste previously marked directory ant its subdirectories to current directory ..."},
    {"MainMenu", 1, "&Delete", "D", "DeleteDir", "Remove the current directory from the disk ..."},
    {"MainMenu", 1, "&Make ...", "M", "MakeNewDir",
     "Make a new subdirectory under the current directory ..."},
    {"MainMenu", 1, "Pru&ne ...", "Alt+P", "PruneDir",
     "Remove the current directory and all its sub-directories and files from the disk ..."},
    {"MainMenu", 1, "&Rename ...", "R", "RenameDir", "Rename the current directory ..."},
    {"MainMenu", 1, "&Test", "Ctrl+W", "pmiTestDirectoryClick",
     "Tests integrity of all matching files in the current branch ..."},
    {"MainMenu", 1, "&ZIP ...", "Ctrl+F5", "pmiZIPdirectoryClick",
     "Packs all matching files in current directory or branch ..."},
    {"MainMenu", 1, "Misc ...", "", "", ""},
    {"MainMenu", 2, "Command line ...", "Alt+X", "CommandLine", "Go to command line ..."},
    {"MainMenu", 2, "&DOS prompt ...", "Ctrl+Alt+D", "DosPrompt", "Jump to DOS prompt ..."},
    {"MainMenu", 2, "Explore directory ...", "Ctrl+Alt+E", "ExploreDir",
     "Explore the current directory ..."},
    {"MainMenu", 2, "Find file ...", "Ctrl+F", "FindFile", "Find file ..."},
    {"MainMenu", 2, "Ma&ke Root ...", "Ctrl+M", "MakeRoot", "Make virtual root ..."},
    {"MainMenu", 2, "Quick searc&h ...", "Alt+Y", "miDirQSearchClick",
     "Switch to another directory by typing a path ..."},
    {"MainMenu", 2, "Re&log", "Alt+F3", "RelogDir",
     "Re-read the current directory information into program ..."},
    {"MainMenu", 2, "Remo&ve Root", "Ctrl+R", "RemoveRoot", "Remove virtual root ..."},
    {"MainMenu", 2, "&Statistics ...", "Ctrl+Alt+C", "miDirStatisticsClick",
     "Show statistics of the current directory ..."},
    {"MainMenu", 1, "Edit file ...", "E", "miDirEditFileClick", "Edit file ..."},
    {"MainMenu", 1, "&File spec ...", "F", "SetFileSpec", "Change the file specification ..."},
    {"MainMenu", 1, "Change &font ...", "Ctrl+Alt+F", "ChangeTreeViewFont",
     "Change font of the directory window ..."},
    {"MainMenu", 1, "Propert&ies ...", "Alt+Enter", "DirProperties",
     "Show properties of the current directory/disk ..."},
    {"MainMenu", 1, "Und&o", "Ctrl+Z", "Undo", "Undo the last file or directory operation ..."},
    {"MainMenu", 1, "Operation histor&y ...", "", "OperationHistory",
     "Show the file and directory operations that can be undone ..."},
    {"MainMenu", 0, "File", "", "", ""},
    {"MainMenu", 1, "T&ag ...", "", "", "Tag operations ..."},
    {"MainMenu", 2, "File", "T", "TagSingleFile", "Tag the current file ..."},
    {"MainMenu", 2, "All in window", "Ctrl+T", "TagFileWinFiles",
     "Tags all files in the files window ..."},
    {"MainMenu", 2, "All by attributes", "Alt+A", "miFileTagAllbyAttrsClick",
     "Tags all files in the files window based on the status of the file's attributes ..."},
    {"MainMenu", 2, "Special ...", "+", "TagFilesSpecial",
     "Tags files in a files window by additional file specifications ..."},
    {"MainMenu", 1, "&UnTag ...", "", "", "Untag operations ..."},
    {"MainMenu", 2, "File", "U", "UnTagSingleFile", "Untag the current file ..."},
    {"MainMenu", 2, "All in window", "Ctrl+U", "UnTagFileWinFiles",
     "Untags all files in the files window ..."},
    {"MainMenu", 2, "All by attributes", "Alt+U", "miFileUnTagAllbyAttrsClick",
     "Untags all files in the files window based on the status of the file's attributes ..."},
    {"MainMenu", 2, "Special ...", "/", "UnTagFilesSpecial",
     "Untags files in a files window by additional file specifications ..."},
    {"MainMenu", 1, "Tagg&ed ...", "", "", "Operations on tagged files ..."},
    {"MainMenu", 2, "Attributes", "Ctrl+A", "AttributesTaggedFiles",
     "Modify the attributes of the tagged files ..."},
    {"MainMenu", 2, "Copy", "Ctrl+C", "CopyTaggedFiles",
     "Copy the tagged files to a new disk and/or path ..."},
    {"MainMenu", 2, "Copy with paths", "Alt+C", "CopyPathTaggedFiles",
     "Copy tagged files with their directory structure to another disk and/or directory ..."},
    {"MainMenu", 2, "Delete", "Ctrl+D", "DeleteTaggedFiles", "Delete the tagged files ..."},
    {"MainMenu", 2, "Move", "Ctrl+M", "MoveTaggedFiles",
     "Move the tagged files to a new disk and/or path ..."},
    {"MainMenu", 2, "Move with paths", "Alt+M", "MovePathTaggedFiles",
     "Move tagged files with their directory structure to another disk and/or directory ..."},
    {"MainMenu", 2, "New date/time", "Ctrl+N", "miFileTaggDateTimeClick",
     "Modify the date and time of the tagged files ..."},
    {"MainMenu", 2, "Rename", "Ctrl+R", "RenameTaggedFiles", "Renames the tagged files ..."},
    {"MainMenu", 2, "Search ...", "Ctrl+S", "SearchTaggedFilesForString",
     "Looks through all the tagged files for a specified text string ..."},
    {"MainMenu", 2, "Test", "Ctrl+W", "miFileTaggTestClick",
     "Test integrity of all tagged files ..."},
    {"MainMenu", 2, "ZIP ...", "Ctrl+F5", "MakeZIPFile",
     "Compresses and stores the tagged files into a ZIP file ..."},
    {"MainMenu", 1, "To&ggle ...", "", "", "Toggle operations ..."},
    {"MainMenu", 2, "File spec", "I", "miFileTglFileSpecClick", "Toggle file specification ..."},
    {"MainMenu", 2, "Current file tag", "Space", "ToggleSingleFileTag",
     "Toggle the tag on the current file ..."},
    {"MainMenu", 2, "File tags", "Ctrl+I", "ToggleFileTags",
     "Toggle the tags on all files in the list ..."},
    {"MainMenu", 1, "A&ttributes ...", "", "", "File attributes ..."},
    {"MainMenu", 2, "File ...", "A", "AttributesSingleFile",
     "Modify the DOS file attributes of the current file ..."},
    {"MainMenu", 2, "Toggle", "0", "ToggleFileAttrs",
     "Toggle the DOS file attributes of the current file ..."},
    {"MainMenu", 2, "Paste", "Shift+0", "PasteFileAttrs",
     "Paste the DOS file attributes of the current file ..."},
    {"MainMenu", 1, "&Copy ...", "C", "CopySingleFile", "Copy the current file ..."},
    {"MainMenu", 1, "&Delete ...", "D", "DeleteSingleFile", "Delete the current file ..."},
    {"MainMenu", 1, "Edit ...", "E", "EditSingleFile", "Edit the current file ..."},
    {"MainMenu", 1, "E&xecute", "X", "miFileExecuteClick", "Execute the current file ..."},
    {"MainMenu", 1, "&File spec ...", "F", "SetFileSpec", "Change the file specification ..."},
    {"MainMenu", 1, "&Move ...", "M", "MoveSingleFile", "Moves the current file ..."},
    {"MainMenu", 1, "&New date/time ...", "N", "miFileDateClick",
     "Stamps a new date and time on a current file ..."},
    {"MainMenu", 1, "&Print ...", "P", "miFilePrintClick",
     "Print the contents of the current file ..."},
    {"MainMenu", 1, "&Rename ...", "R", "RenameSingleFile", "Rename the current file ..."},
    {"MainMenu", 1, "&View", "V", "ViewSingleFile", "View the contents of the current file ..."},
    {"MainMenu", 1, "&ZIP ...", "", "", "ZIP archives ..."},
    {"MainMenu", 2, "&Open ...", "Alt+F5", "OpenZIPFile",
     "Examine the contents of a ZIP archive, and then optionally to extract one or more files ..."},
    {"MainMenu", 2, "&Test ...", "Shift+F5", "TestZIPFile", "Test ZIP archive ..."},
    {"MainMenu", 1, "&Sort by ...", "", "", "Changes the order in which files are displayed ..."},
    {"MainMenu", 2, "Name", "", "SortFilesByName", "Sort files in files window by name ..."},
    {"MainMenu", 2, "Extension", "", "SortFilesByExtension",
     "Sort files in files window by extension ..."},
    {"MainMenu", 2, "Size", "", "SortFilesBySize", "Sort files in files window by size ..."},
    {"MainMenu", 2, "Date", "", "SortFilesByDate", "Sort files in files window by date ..."},
    {"MainMenu", 2, "Attributes", "", "SortFilesByAttr",
     "Sort files in files window by attributes ..."},
    {"MainMenu", 2, "Description", "", "SortFilesByDesc",
     "Sort files in files window by Windows description ..."},
    {"MainMenu", 2, "Reversed order", "", "ReversedSortOrder",
     "Reversed sort files in files window  ..."},
    {"MainMenu", 1, "C&hange display ...", "", "", "Change display type of the files window ..."},
    {"MainMenu", 2, "&Small icons", "", "miFileDispSmallIconsClick", ""},
    {"MainMenu", 2, "&Large icons", "", "miFileDispLargeIconsClick", ""},
    {"MainMenu", 2, "&Normal", "", "miFileDispNormalClick", ""},
    {"MainMenu", 2, "&3 columns", "", "miFileDisp3ColClick", ""},
    {"MainMenu", 2, "&5 columns", "", "miFileDisp5ColClick", ""},
    {"MainMenu", 2, "Toggle display", "Alt+F", "ChangeFileDisplay",
     "Change file display type between large,small, no icons and 3 and 5 column ..."},
    {"MainMenu", 1, "Misc ...", "", "", ""},
    {"MainMenu", 2, "&Browse icons ...", "Alt+I", "BrowseIcons",
     "Browse icons in the current file (EXE, DLL, NIL, etc.) ..."},
    {"MainMenu", 2, "&Command line ...", "Alt+X", "CommandLine", "Go to command line ..."},
    {"MainMenu", 2, "Compare file&list", "K", "miFileCompareClick", "Compares two file lists ..."},
    {"MainMenu", 2, "&DOS prompt ...", "Ctrl+Alt+D", "DosPrompt", "Jump to DOS prompt ..."},
    {"MainMenu", 2, "&Find ...", "Ctrl+Shift+F", "FindFile", "Find file ..."},
    {"MainMenu", 2, "&Info ...", "Ctrl+Alt+I", "FileInfo",
     "Show additional informations for the current file ..."},
    {"MainMenu", 2, "&Paste to Cmd line", "Ctrl+Enter", "PasteFileToCmdLine",
     "Paste the current file's name to command line ..."},
    {"MainMenu", 2, "&Quick search ...", "Alt+Y", "miFileOtherQSearchClick",
     "Find file by typing a name ..."},
    {"MainMenu", 2, "&Refill file window", "F12", "miFileRefillWindowClick",
     "Clears and refills the file window ..."},
    {"MainMenu", 2, "Re&log directory", "Alt+F3", "RelogDir",
     "Re-read the current directory information into program ..."},
    {"MainMenu", 2, "&Test", "W", "miFileTestClick", "Test integrity of a file ..."},
    {"MainMenu", 1, "Change fo&nt ...", "Ctrl+Alt+F", "ChangeFileListBoxFont",
     "Change font of the files window ..."},
    {"MainMenu", 1, "Properties ...", "Alt+Enter", "FileProperties",
     "Show properties of the current file ..."},
    {"MainMenu", 1, "Und&o", "Ctrl+Z", "Undo", "Undo the last file or directory operation ..."},
    {"MainMenu", 1, "Operation histor&y ...", "", "OperationHistory",
     "Show the file and directory operations that can be undone ..."},
    {"MainMenu", 1, "Copy to clipboard", "Ctrl+Shift+C", "CopyToClipboard",
     "Put the tagged or current files on the clipboard for other programs ..."},
    {"MainMenu", 1, "Cut to clipboard", "Ctrl+X", "CutToClipboard",
     "Put the tagged or current files on the clipboard to be moved by other programs ..."},
    {"MainMenu", 1, "Paste from clipboard", "Ctrl+V", "PasteFromClipboard",
     "Copy or move the files on the clipboard to the current directory ..."},
    {"MainMenu", 0, "Volume", "", "", ""},
    {"MainMenu", 1, "Log &options ...", "", "", "Perform a partial log operation ..."},
    {"MainMenu", 2, "&Disk\tL", "L", "LogDisk",
     "Log another disk, keeping the disks which were previously logged ..."},
    {"MainMenu", 2, "Branch", "Alt+B", "LogDirBranch",
     "Logs the directory branch from the current directory down ..."},
    {"MainMenu", 2, "One level", "Alt+O", "LogOneLevel",
     "Logs only the first level of files and directories under the current directory ..."},
    {"MainMenu", 1, "&Release disk", "Alt+R", "ReleaseDisk", "Remove current disk from memory ..."},
    {"MainMenu", 1, "&Archive CD-ROM disk", "F6", "ArchiveCDROMDisk",
     "Archives the current logged CD-ROM disk ..."},
    {"MainMenu", 1, "&Collapse all disks", "Ctrl+/", "pmiCollapseAllDrivesClick",
     "Collapse all logged disks ..."},
    {"MainMenu", 1, "Refres&h all directories", "Ctrl+F3", "miVolRefreshAllDirsClick",
     "Check all logged directories for changed and new files ..."},
    {"MainMenu", 1, "Re&fresh file window", "F12", "miVolRefillClick",
     "Clears and refills the file window ..."},
    {"MainMenu", 1, "&Next disk\t>", ">", "NextDisk", "Switch to next logged disk ..."},
    {"MainMenu", 1, "&Previous disk\t<", "<", "PrevDisk", "Switch to previous logged disk ..."},
    {"MainMenu", 1, "Map a net&work disk", "Alt+N", "sbConnectClick", "Connect a network disk ..."},
    {"MainMenu", 1, "&Unmap a network disk", "Alt+C", "sbDisconnectClick",
     "Disconnect a network disk ..."},
    {"MainMenu", 1, "Na&me ...", "V", "DiskVolumeName",
     "Changes the volume label name of the current disk ..."},
    {"MainMenu", 1, "&Serial number ...", "Ctrl+Shift+S", "DiskSerialNumber",
     "Change the serial number of the current disk ..."},
    {"MainMenu", 1, "Format dis&k ...", "Alt+F2", "miVolFormatDiskClick",
     "Format the current disk ..."},
    {"MainMenu", 1, "&Duplicate floppy disk", "Alt+D", "miVolCopyDiskClick",
     "Make a duplicate of floppy disk ..."},
    {"MainMenu", 1, "&Info ...", "Alt+I", "btnDiskImageClick",
     "Show additional informations of the current disk ..."},
    {"MainMenu", 1, "Proper&ties ...", "Ctrl+Alt+Enter", "miVolPropertiesClick",
     "Show properties of the current disk ..."},
    {"MainMenu", 1, "Trash ...", "", "TrashWindow",
     "Show what is in the trash of the logged disks and restore it ..."},
    {"MainMenu", 0, "Tools", "", "", ""},
    {"MainMenu", 1, "&Options ...", "", "miToolsOptions2Click", "Add/remove external programs ..."},
    {"MainMenu", 1, "System &Information", "", "miToolsSysInfoClick",
     "Display instant system info ..."},
    {"MainMenu", 1, "CD &Browser", "", "miToolsCDBrowserClick", "Show cached CD-ROM contents"},
    {"MainMenu", 1, "Clipboard &Viewer", "", "miClipBrdClick", "View clipboard contents ..."},
    {"MainMenu", 0, "Help", "", "", ""},
    {"MainMenu", 1, "&Contents ...", "", "miHelpContentsClick", "Help contents ..."},
    {"MainMenu", 1, "What is this?", "", "miHelpWhatClick", "Context help ..."},
    {"MainMenu", 1, "&Tip of the day ...", "", "miHelpTipClick",
     "Display the 'Tip of the day' ..."},
    {"MainMenu", 1, "&Quote of the day ...", "", "miHelpQuoteClick",
     "Display the 'Quote of the day' ..."},
    {"MainMenu", 1, "&About ...", "", "miHelpAboutClick", "Informations about program ..."},
    // TreeViewPopupMenu
    {"TreeViewPopupMenu", 0, "Commands", "", "", ""},
    {"TreeViewPopupMenu", 0, "Log &Branch", "", "LogDirBranch",
     "Logs the directory branch from the current directory down ..."},
    {"TreeViewPopupMenu", 0, "Info", "", "pmiDirInfoClick",
     "Scan directory and display summary ..."},
    {"TreeViewPopupMenu", 0, "&What is this?", "", "pmiWhat5Click", ""},
    {"TreeViewPopupMenu", 0, "Re&lease disk", "", "ReleaseDisk", "Unlog disk from memory ..."},
    {"TreeViewPopupMenu", 0, "Add to Fa&vorites ...", "", "pmiAddToFavClick",
     "Add the current directory to your favorites ..."},
    {"TreeViewPopupMenu", 0, "Add to &Quick Search ...", "", "pmiAddToDirQSearchClick",
     "Add the current directory to your quick search directory history ..."},
    {"TreeViewPopupMenu", 0, "F&ind file ...", "", "FindFile", "Find file ..."},
    {"TreeViewPopupMenu", 0, "E&xplore directory ...", "", "ExploreDir",
     "Explore the current directory ..."},
    {"TreeViewPopupMenu", 0, "&DOS prompt ...", "", "DosPrompt", "Jump to DOS prompt ..."},
    {"TreeViewPopupMenu", 0, "Change &Font ...", "", "ChangeTreeViewFont",
     "Change font of the directory window ..."},
    {"TreeViewPopupMenu", 0, "Co&ntext menu", "", "pmiDirContextMenuClick",
     "Display context menu of selected directory ..."},
    {"TreeViewPopupMenu", 0, "P&roperties ...", "", "DirProperties",
     "Show properties of the current directory/disk ..."},
    // ListBoxPopupMenu
    {"ListBoxPopupMenu", 0, "Commands", "", "", ""},
    {"ListBoxPopupMenu", 0, "&Max/Min window", "Enter", "MaxFileWin",
     "Maximize/minimize files window ..."},
    {"ListBoxPopupMenu", 0, "&Toggle file display", "", "ChangeFileDisplay",
     "Change display type of the files window ..."},
    {"ListBoxPopupMenu", 0, "&DOS prompt ...", "", "DosPrompt", "Jump to DOS prompt ..."},
    {"ListBoxPopupMenu", 0, "Display f&ull path", "", "pmiFileDisplayFullpathClick", ""},
    {"ListBoxPopupMenu", 0, "&Optimize view", "", "pmiFileOptimumClick",
     "Sets widths of the columns to optimal values"},
    {"ListBoxPopupMenu", 0, "&What is this?", "", "pmiWhat4Click", ""},
    {"ListBoxPopupMenu", 0, "Sort files by ...", "", "",
     "Changes the order in which files are displayed ..."},
    {"ListBoxPopupMenu", 1, "&Name", "", "SortFilesByName",
     "Sort files in files window by name ..."},
    {"ListBoxPopupMenu", 1, "&Extension", "", "SortFilesByExtension",
     "Sort files in files window by extension ..."},
    {"ListBoxPopupMenu", 1, "&Size", "", "SortFilesBySize",
     "Sort files in files window by size ..."},
    {"ListBoxPopupMenu", 1, "&Date", "", "SortFilesByDate",
     "Sort files in files window by date ..."},
    {"ListBoxPopupMenu", 1, "&Attributes", "", "SortFilesByAttr",
     "Sort files in files window by attributes ..."},
    {"ListBoxPopupMenu", 1, "Des&cription", "", "SortFilesByDesc",
     "Sort files in files window by Windows description ..."},
    {"ListBoxPopupMenu", 1, "&Reversed order", "", "ReversedSortOrder",
     "Reversed sort files in files window  ..."},
    {"ListBoxPopupMenu", 0, "Change &Font ...", "", "ChangeFileListBoxFont",
     "Change font of the files window ..."},
    {"ListBoxPopupMenu", 0, "Ope&n with", "", "", "Open the current file with another program ..."},
    {"ListBoxPopupMenu", 0, "Copy to clipboard", "", "CopyToClipboard",
     "Put the tagged or current files on the clipboard for other programs ..."},
    {"ListBoxPopupMenu", 0, "Cut to clipboard", "", "CutToClipboard",
     "Put the tagged or current files on the clipboard to be moved by other programs ..."},
    {"ListBoxPopupMenu", 0, "Paste from clipboard", "", "PasteFromClipboard",
     "Copy or move the files on the clipboard to the current directory ..."},
    {"ListBoxPopupMenu", 0, "&Context menu ...", "", "pmiFileContextMenuClick",
     "Display context menu of selected file ..."},
    {"ListBoxPopupMenu", 0, "&Properties ...", "", "FileProperties",
     "Show properties of the current file ..."},
    // DrivesPopupMenu
    {"DrivesPopupMenu", 0, "&Release disk", "", "ReleaseDisk", "Unlog disk from memory ..."},
    {"DrivesPopupMenu", 0, "&Collapse all disks", "", "pmiCollapseAllDrivesClick",
     "Collapse all logged disks ..."},
    {"DrivesPopupMenu", 0, "&Defrag disk", "", "Run_DEFRAG",
     "Defragmentation for the current disk ..."},
    {"DrivesPopupMenu", 0, "Defrag &All hard disks", "", "pmiDefragAllDisksClick",
     "Defragmentation for all hard disks ..."},
    {"DrivesPopupMenu", 0, "&Scan disk", "", "Run_SCANDISK",
     "Scan the current disk for file system errors ..."},
    {"DrivesPopupMenu", 0, "&Info ...", "", "btnDiskImageClick",
     "Show information about current disk ..."},
    {"DrivesPopupMenu", 0, "&Properties ...", "", "pmiPropertiesClick",
     "Show properties of current disk ..."},
    // ToolsPopup
    {"ToolsPopup", 0, "&Options", "", "miToolsOptions2Click", "Toolbar options ..."},
    {"ToolsPopup", 0, "&What is this?", "", "pmiWhat2Click", ""},
    // pmDirToolbar
    {"pmDirToolbar", 0, "&Options", "", "miDirToolBarOptionsClick",
     "Directory command button options ..."},
    {"pmDirToolbar", 0, "&What is this?", "", "pmiWhat3Click", ""},
    // pmFileToolbar
    {"pmFileToolbar", 0, "&Options", "", "miFileToolbarOptionsClick",
     "File command button options ..."},
    {"pmFileToolbar", 0, "&What is this?", "", "pmiWhat1Click", ""},
    // pmCurrDir
    {"pmCurrDir", 0, "&Browse directory", "", "pmiBrowseClick",
     "Switch to another directory by selecting a path ..."},
    {"pmCurrDir", 0, "&Search directory", "", "pmiSearchClick",
     "Switch to another directory by typing a path ..."},
    // pmQView
    {"pmQView", 0, "&Copy to clipboard", "", "pmiQViewCopyClick", ""},
    {"pmQView", 0, "&Append to clipboard", "", "pmiQViewAppendToClipboardClick", ""},
    {"pmQView", 0, "Change &Font ...", "", "pmiQViewFontClick", ""},
    // pmImgQuick
    {"pmImgQuick", 0, "&Copy to Clipboard ...", "", "", "Copy picture to clipboard ..."},
    // pmAutoPlay
    {"pmAutoPlay", 0, "&Quick view", "", "btnQuickFileViewClick", ""},
    {"pmAutoPlay", 0, "&Auto play MM files", "", "pmiAutoPlayClick", ""},
    // TrayPopupMenu
    {"TrayPopupMenu", 0, "&Hide Window", "", "pmiHideShowWindowClick", ""},
    {"TrayPopupMenu", 0, "&About", "", "pmiTrayAboutClick", "About Zentrix ..."},
    {"TrayPopupMenu", 0, "E&xit Zentrix", "", "QuitZentrix", ""},
};

TEST(MenuTable, EveryItemOfEveryMenuIsAsDesigned) {
    MenuTable table = MenuTable::Default();
    ApplyStartupCaptions(table);
    struct Seen {
        std::string menu;
        int depth;
        const MenuItem* item;
    };
    std::vector<Seen> seen;
    std::function<void(const std::string&, const MenuItem&, int)> walk =
        [&](const std::string& menu, const MenuItem& item, int depth) {
            if (item.isSeparator())
                return;
            seen.push_back({menu, depth, &item});
            for (const MenuItem& sub : item.items)
                walk(menu, sub, depth + 1);
        };
    for (const MenuItem& top : table.mainMenu().items)
        walk("MainMenu", top, 0);
    for (const MenuItem& popup : table.popups())
        for (const MenuItem& item : popup.items)
            walk(popup.name, item, 0);

    ASSERT_EQ(std::size(kDesign), 240u);
    ASSERT_EQ(seen.size(), std::size(kDesign));
    for (size_t i = 0; i < seen.size(); ++i) {
        const DesignRow& want = kDesign[i];
        const MenuItem& item = *seen[i].item;
        SCOPED_TRACE(std::to_string(i) + ": " + want.menu + " " + want.caption);
        EXPECT_EQ(seen[i].menu, want.menu);
        EXPECT_EQ(seen[i].depth, want.depth);
        EXPECT_EQ(item.caption, want.caption);
        // A key shown after a tab is one the tree and file windows handle
        // themselves: the item carries no shortcut of its own for it.
        const bool keyInCaption = std::string(want.caption).find('\t') != std::string::npos;
        EXPECT_EQ(item.shortcut, keyInCaption ? 0 : TextToShortCut(want.keys)) << want.keys;
        EXPECT_EQ(item.defaultShortcut, item.shortcut);
        EXPECT_EQ(item.command, want.command);
        EXPECT_EQ(item.hint, want.hint);
    }
    EXPECT_EQ(table.find("nothing"), nullptr);
    EXPECT_EQ(table.find(""), nullptr);
}

// The shortcuts of the menus that are in the bar together must differ: Qt fires
// none of two actions that share a key.
TEST(MenuTable, NoTwoItemsInTheBarShareAKey) {
    const MenuTable table = MenuTable::Default();
    const std::vector<std::vector<std::string>> bars = {
        {"miZentrix", "miDirectory", "miVolume", "miTools", "miHelp"}, // tree focused
        {"miZentrix", "miFile", "miTools", "miHelp"},                  // file window focused
    };
    for (const auto& bar : bars) {
        std::map<TShortCut, std::string> owners;
        for (const auto& menu : bar) {
            std::function<void(const MenuItem&)> walk = [&](const MenuItem& item) {
                for (const auto& sub : item.items) {
                    walk(sub);
                    if (sub.shortcut == 0)
                        continue;
                    auto [it, fresh] = owners.emplace(sub.shortcut, sub.name);
                    EXPECT_TRUE(fresh) << ShortCutToText(sub.shortcut) << ": " << it->second
                                       << " and " << sub.name;
                }
            };
            walk(*table.find(menu));
        }
    }
}

// The single keys act on the directory or on the current file.
TEST(MenuTable, DirectoryAndFileMenusShareTheirSingleKeys) {
    const MenuTable table = MenuTable::Default();
    auto commandFor = [&](const char* menu, TShortCut key) {
        std::string found;
        std::function<void(const MenuItem&)> walk = [&](const MenuItem& item) {
            for (const auto& sub : item.items) {
                if (sub.shortcut == key && !sub.command.empty())
                    found = sub.command;
                walk(sub);
            }
        };
        walk(*table.find(menu));
        return found;
    };
    const std::pair<const char*, std::pair<const char*, const char*>> keys[] = {
        {"T", {"DirTagFiles", "TagSingleFile"}},
        {"U", {"DirUnTagFiles", "UnTagSingleFile"}},
        {"D", {"DeleteDir", "DeleteSingleFile"}},
        {"M", {"MakeNewDir", "MoveSingleFile"}},
        {"R", {"RenameDir", "RenameSingleFile"}},
        {"E", {"miDirEditFileClick", "EditSingleFile"}},
        {"F", {"SetFileSpec", "SetFileSpec"}},
        {"I", {"miDirToggleFileSpecClick", "miFileTglFileSpecClick"}},
        {"Space", {"InvertDirTags", "ToggleSingleFileTag"}},
        {"Ctrl+C", {"DirCopy", "CopyTaggedFiles"}},
        {"Ctrl+M", {"MakeRoot", "MoveTaggedFiles"}},
        {"Ctrl+Z", {"Undo", "Undo"}},
    };
    for (const auto& [key, commands] : keys) {
        SCOPED_TRACE(key);
        EXPECT_EQ(commandFor("miDirectory", TextToShortCut(key)), commands.first);
        EXPECT_EQ(commandFor("miFile", TextToShortCut(key)), commands.second);
    }
}

TEST(MenuTable, EntriesListSubItemsBeforeTheirItem) {
    MenuTable table = MenuTable::Default();
    const auto entries = table.entries();
    ASSERT_GE(entries.size(), 4u);
    EXPECT_EQ(entries[0]->name, "miZentrixProperties");
    EXPECT_EQ(entries[1]->name, "miQuitZentrix");
    EXPECT_EQ(entries[2]->name, "miZentrix");
    EXPECT_EQ(entries[3]->name, "miDirTagFiles");
    // Items added since the first release come last, so that stored
    // shortcuts keep their items.
    EXPECT_EQ(entries[entries.size() - 8]->name, "miHelp");
    EXPECT_EQ(entries.back()->name, "miPasteFromClipboard");

    std::map<const MenuItem*, std::size_t> position;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        EXPECT_FALSE(entries[i]->isSeparator());
        position[entries[i]] = i;
    }
    std::size_t items = 0;
    std::function<void(const MenuItem&)> walk = [&](const MenuItem& item) {
        for (const auto& sub : item.items) {
            if (sub.isSeparator())
                continue;
            ++items;
            walk(sub);
            for (const auto& child : sub.items) {
                // Items added later come after all the others.
                if (!child.isSeparator() && !child.added) {
                    EXPECT_LT(position.at(&child), position.at(&sub)) << child.name;
                }
            }
        }
    };
    walk(table.mainMenu());
    EXPECT_EQ(entries.size(), items);
    // Popup items are no entries: their shortcuts are not configured.
    EXPECT_EQ(position.count(table.find("pmiFileMaxMinWin")), 0u);
}

TEST(MenuTable, ShortcutOfACommandLooksInTheNamedMenuFirstFound) {
    MenuTable table = MenuTable::Default();
    EXPECT_EQ(ShortCutToText(table.shortcutOf("FindFile")), "Ctrl+F");
    EXPECT_EQ(ShortCutToText(table.shortcutOf("FindFile", "miFile")), "Ctrl+Shift+F");
    EXPECT_EQ(ShortCutToText(table.shortcutOf("DeleteDir")), "D");
    EXPECT_EQ(table.shortcutOf("DeleteDir", "miFile"), 0);
    EXPECT_EQ(ShortCutToText(table.shortcutOf("MaxFileWin")), "Enter"); // from a popup
    EXPECT_EQ(table.shortcutOf("NoSuchCommand"), 0);
    EXPECT_EQ(table.shortcutOf(""), 0);
    EXPECT_EQ(table.findCommand("ReleaseDisk", "DrivesPopupMenu")->name, "pmiReleaseDisk");

    // The shortcut configuration changes the current shortcut only.
    table.find("miDeleteDir")->shortcut = TextToShortCut("Ctrl+Shift+D");
    EXPECT_EQ(ShortCutToText(table.shortcutOf("DeleteDir")), "Ctrl+Shift+D");
    EXPECT_EQ(ShortCutToText(table.find("miDeleteDir")->defaultShortcut), "D");
}

TEST(MenuTable, StartupCaptionsShowTheKeysTheWindowsHandle) {
    MenuTable table = MenuTable::Default();
    EXPECT_EQ(table.find("miNextDisk")->caption, "&Next disk");
    ApplyStartupCaptions(table);
    EXPECT_EQ(table.find("miNextDisk")->caption, "&Next disk\t>");
    EXPECT_EQ(table.find("miPrevDisk")->caption, "&Previous disk\t<");
    EXPECT_EQ(table.find("miLogDisk")->caption, "&Disk\tL");
    // They are no menu shortcuts: the tree takes these keys itself.
    EXPECT_EQ(table.find("miNextDisk")->shortcut, 0);
    EXPECT_EQ(table.find("miPrevDisk")->shortcut, 0);
    EXPECT_EQ(table.find("miLogDisk")->shortcut, 0);
}

TEST(MenuTable, PlainCaptionAndCommandButtonHint) {
    EXPECT_EQ(PlainCaption("&Next disk\t>"), "Next disk");
    EXPECT_EQ(PlainCaption("Cu&t"), "Cut");
    EXPECT_EQ(PlainCaption("T&ag ..."), "Tag ...");
    EXPECT_EQ(PlainCaption("Save && quit"), "Save & quit");
    EXPECT_EQ(PlainCaption("Trailing &"), "Trailing ");
    EXPECT_EQ(CommandButtonHint("Delete the current file ...", TextToShortCut("D")),
              "Delete the current file ...\nShortcut: D");
    EXPECT_EQ(CommandButtonHint("Copy", TextToShortCut("Ctrl+Alt+Enter")),
              "Copy\nShortcut: Ctrl+Alt+Enter");
}

} // namespace
