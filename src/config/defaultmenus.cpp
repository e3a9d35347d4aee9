#include "config/menutable.h"

#include <stdexcept>
#include <utility>

namespace zentrix {
namespace {

// The design-time menus, item by item in menu order. Component names follow the
// handler where an item has one (`miFileDateClick` is `miFileDate`) and the command
// otherwise (`DeleteDir` is `miDeleteDir`); "Dir"/"File" tell apart the items of the
// two window menus that run the same command.

MenuItem Item(std::string name, std::string caption, std::string_view keys, std::string command,
              std::string hint) {
    MenuItem item;
    item.name = std::move(name);
    item.caption = std::move(caption);
    if (!keys.empty()) {
        item.defaultShortcut = TextToShortCut(keys);
        if (item.defaultShortcut == 0)
            throw std::logic_error("menu item " + item.name + ": unknown key " + std::string(keys));
    }
    item.shortcut = item.defaultShortcut;
    item.command = std::move(command);
    item.hint = std::move(hint);
    return item;
}

// An item added after the first release: numbered after the others, so that
// stored shortcuts keep their items.
MenuItem Added(MenuItem item) {
    item.added = true;
    return item;
}

MenuItem Sub(std::string name, std::string caption, std::string hint, std::vector<MenuItem> items) {
    MenuItem item = Item(std::move(name), std::move(caption), {}, {}, std::move(hint));
    item.items = std::move(items);
    return item;
}

MenuItem Sep() {
    MenuItem item;
    item.caption = "-";
    return item;
}

} // namespace

// clang-format off
MenuTable MenuTable::Default() {
    MenuTable table;
    table.m_mainMenu = Sub("MainMenu", "Main menu", "", {

        Sub("miZentrix", "Zentrix", "", {
            Item("miZentrixProperties", "&Options ...", "Alt+F10", "miZentrixPropertiesClick", "Program options ..."),
            Sep(),
            Item("miQuitZentrix", "E&xit", "Alt+Q", "QuitZentrix", "Exit program ..."),
        }),
        Sub("miDirectory", "Directory", "", {
            Sub("miDirTag", "T&ag ...", "Tag operations ...", {
                Item("miDirTagFiles", "Directory files", "T", "DirTagFiles", "Tag all matching files in the current directory ..."),
                Item("miDirTagBranch", "Branch", "Ctrl+F7", "DirTagBranch", "Tag all matching files in the current branch ..."),
                Item("miDirTagAllBranchByAttr", "Branch by attributes", "Ctrl+Shift+F7", "miDirTagAllBranchByAttrClick", "Tag any matching file on all branch files whose file attributes match a specified setting ..."),
                Item("miDirTagAllBranchByPattern", "Branch by pattern", "Ctrl+Shift+P", "miDirTagAllBranchByPatternClick", "Tag any matching file in the current branch that match specified pattern ..."),
                Item("miDirTagAllBranchByAge", "Branch by age", "Ctrl+Shift+A", "miDirTagAllBranchByAgeClick", "Tag any matching file in current branch that is newer than specified ..."),
                Item("miDiskTagAll", "Disk", "Ctrl+T", "DiskTagAll", "Tag all matching files on the current disk ..."),
                Item("miDirTagAllDiskByAttr", "Disk by attributes", "Alt+A", "miDirTagAllDiskByAttrClick", "Tag any matching file on the disk whose file attributes match a specified setting ..."),
                Item("miDirTagAllDiskByPattern", "Disk by pattern", "Ctrl+P", "miDirTagAllDiskByPatternClick", "Tag any matching file on the disk that match specified pattern ..."),
                Item("miDirTagAllDiskByAge", "Disk by age", "Ctrl+A", "miDirTagAllDiskByAgeClick", "Tag any matching file on the disk that is newer than specified ..."),
                Item("miGlobalTagAll", "Global", "Ctrl+Shift+T", "GlobalTagAll", "Tag all matching files on all logged disks ..."),
                Item("miDirTagAllGlobalByAttr", "Global by attributes", "Shift+Alt+T", "miDirTagAllGlobalByAttrClick", "Tag any matching file on all logged disks whose file attributes match a specified setting ..."),
                Item("miDirTagAllGlobalByPattern", "Global by pattern", "Ctrl+Alt+P", "miDirTagAllGlobalByPatternClick", "Tag any matching logged file that match specified pattern ..."),
                Item("miDirTagAllGlobalByAge", "Global by age", "Ctrl+Alt+A", "miDirTagAllGlobalByAgeClick", "Tag any matching logged file that is newer than specified ..."),
                Item("miDirTagWizard", "Tag Wizard ...", "Ctrl+F12", "miDirTagWizardClick", "Use tag wizard to do complex tagging of files ..."),
            }),
            Sub("miDirUnTag", "&UnTag ...", "Untag operations ...", {
                Item("miDirUnTagFiles", "Directory files", "U", "DirUnTagFiles", "Untag all matching files in the current directory ..."),
                Item("miDirUnTagBranch", "Branch", "Ctrl+F8", "DirUnTagBranch", "Untag all matching files in the current branch ..."),
                Item("miDirUntagAllBranchByAttr", "Branch by attributes", "Ctrl+Shift+F8", "miDirUntagAllBranchByAttrClick", "Untag any matching file in current branch whose file attributes match a specified setting ..."),
                Item("miDirUntagAllBranchByPattern", "Branch by pattern", "Ctrl+Shift+O", "miDirUntagAllBranchByPatternClick", "Untag any matching file in the current branch that match specified pattern ..."),
                Item("miDirUntagAllBranchByAge", "Branch by age", "Ctrl+Shift+H", "miDirUntagAllBranchByAgeClick", "Untag any matching file in current branch that is newer than specified ..."),
                Item("miDiskUnTagAll", "Disk", "Ctrl+U", "DiskUnTagAll", "Untag all matching files on the current disk ..."),
                Item("miDirUnTagAllDiskByAttr", "Disk by attributes", "Alt+U", "miDirUnTagAllDiskByAttrClick", "Untag any matching file on the disk whose file attributes match a specified setting ..."),
                Item("miDirUnTagAllDiskByPattern", "Disk by pattern", "Ctrl+O", "miDirUnTagAllDiskByPatternClick", "Untag any matching file on the disk whose file attributes match a specified pattern ..."),
                Item("miDirUntagAllDiskByAge", "Disk by age", "Ctrl+H", "miDirUntagAllDiskByAgeClick", "Untag any matching file on the disk that is newer than specified ..."),
                Item("miGlobalUnTagAll", "Global", "Ctrl+Shift+U", "GlobalUnTagAll", "Untag all matching files on all logged disks ..."),
                Item("miDirUnTagAllGlobalByAttr", "Global by attributes", "Shift+Alt+U", "miDirUnTagAllGlobalByAttrClick", "Untag any matching file on all logged disks whose file attributes match a specified setting ..."),
                Item("miDirUntagAllGlobalByPattern", "Global by pattern", "Ctrl+Alt+O", "miDirUntagAllGlobalByPatternClick", "Untag any matching logged file that match specified pattern ..."),
                Item("miDirUntagAllGlobalByAge", "Global by age", "Ctrl+Alt+H", "miDirUntagAllGlobalByAgeClick", "Untag any matching logged file that is newer than specified ..."),
            }),
            Sub("miDirToggle", "To&ggle ...", "Toggle operations ...", {
                Item("miDirToggleFileSpec", "File spec", "I", "miDirToggleFileSpecClick", "Reverse the file specification ..."),
                Item("miInvertDirTags", "Dir tags", "Space", "InvertDirTags", "Toggle the tags on files in the current directory ..."),
                Item("miInvertBranchTags", "Branch tags", "Ctrl+F9", "InvertBranchTags", "Toggle the tags on files in the current branch ..."),
                Item("miInvertAllDiskTags", "Disk tags", "Ctrl+I", "InvertAllDiskTags", "Toggle the tags on all matching files on the current disk ..."),
                Item("miInvertAllGlobalTags", "Global tags", "Ctrl+Shift+I", "InvertAllGlobalTags", "Toggle the tags on all matching files on all logged disks ..."),
            }),
            Sub("miDirShowAll", "Show all files", "Show all logged files ...", {
                Item("miBranchShowAllLogged", "Branch", "B", "BranchShowAllLogged", "Show all matching files in the current branch ..."),
                Item("miDiskShowAllLogged", "Disk", "S", "DiskShowAllLogged", "Show all logged matching files on the current disk ..."),
                Item("miGlobalShowAllLogged", "Global", "G", "GlobalShowAllLogged", "Show all matching files on all logged disks ..."),
                Item("miBranchShowAllTagged", "Branch tagged", "Ctrl+B", "BranchShowAllTagged", "Show all matching tagged files in the current branch ..."),
                Item("miDiskShowAllTagged", "Disk tagged", "Ctrl+S", "DiskShowAllTagged", "Show all matching tagged files on the current disk ..."),
                Item("miGlobalShowAllTagged", "Global tagged", "Ctrl+G", "GlobalShowAllTagged", "Show all tagged matching files on all logged disks ..."),
            }),
            Item("miDirCut", "Cu&t", "Ctrl+X", "DirCut", "Mark current directory and its subdirectories for cut operation ..."),
            Item("miDirCopy", "&Copy", "Ctrl+C", "DirCopy", "Mark current directory and its subdirectories for copy operation ..."),
            Item("miDirPaste", "&Paste", "Ctrl+V", "DirPaste", "Paste previously marked directory ant its subdirectories to current directory ..."),
            Item("miDeleteDir", "&Delete", "D", "DeleteDir", "Remove the current directory from the disk ..."),
            Item("miMakeNewDir", "&Make ...", "M", "MakeNewDir", "Make a new subdirectory under the current directory ..."),
            Item("miPruneDir", "Pru&ne ...", "Alt+P", "PruneDir", "Remove the current directory and all its sub-directories and files from the disk ..."),
            Item("miRenameDir", "&Rename ...", "R", "RenameDir", "Rename the current directory ..."),
            Item("miTestDirectory", "&Test", "Ctrl+W", "pmiTestDirectoryClick", "Tests integrity of all matching files in the current branch ..."),
            Item("miZIPdirectory", "&ZIP ...", "Ctrl+F5", "pmiZIPdirectoryClick", "Packs all matching files in current directory or branch ..."),
            Sub("miDirMisc", "Misc ...", "", {
                Item("miDirCommandLine", "Command line ...", "Alt+X", "CommandLine", "Go to command line ..."),
                Item("miDirDosPrompt", "&DOS prompt ...", "Ctrl+Alt+D", "DosPrompt", "Jump to DOS prompt ..."),
                Item("miExploreDir", "Explore directory ...", "Ctrl+Alt+E", "ExploreDir", "Explore the current directory ..."),
                Item("miDirFindFile", "Find file ...", "Ctrl+F", "FindFile", "Find file ..."),
                Item("miMakeRoot", "Ma&ke Root ...", "Ctrl+M", "MakeRoot", "Make virtual root ..."),
                Item("miDirQSearch", "Quick searc&h ...", "Alt+Y", "miDirQSearchClick", "Switch to another directory by typing a path ..."),
                Item("miDirRelogDir", "Re&log", "Alt+F3", "RelogDir", "Re-read the current directory information into program ..."),
                Item("miRemoveRoot", "Remo&ve Root", "Ctrl+R", "RemoveRoot", "Remove virtual root ..."),
                Item("miDirStatistics", "&Statistics ...", "Ctrl+Alt+C", "miDirStatisticsClick", "Show statistics of the current directory ..."),
            }),
            Item("miDirEditFile", "Edit file ...", "E", "miDirEditFileClick", "Edit file ..."),
            Item("miDirSetFileSpec", "&File spec ...", "F", "SetFileSpec", "Change the file specification ..."),
            Item("miChangeTreeViewFont", "Change &font ...", "Ctrl+Alt+F", "ChangeTreeViewFont", "Change font of the directory window ..."),
            Item("miDirProperties", "Propert&ies ...", "Alt+Enter", "DirProperties", "Show properties of the current directory/disk ..."),
            Added(Item("miDirUndo", "Und&o", "Ctrl+Z", "Undo", "Undo the last file or directory operation ...")),
            Added(Item("miDirOperationHistory", "Operation histor&y ...", "", "OperationHistory", "Show the file and directory operations that can be undone ...")),
        }),
        Sub("miFile", "File", "", {
            Sub("miFileTag", "T&ag ...", "Tag operations ...", {
                Item("miTagSingleFile", "File", "T", "TagSingleFile", "Tag the current file ..."),
                Item("miTagFileWinFiles", "All in window", "Ctrl+T", "TagFileWinFiles", "Tags all files in the files window ..."),
                Item("miFileTagAllbyAttrs", "All by attributes", "Alt+A", "miFileTagAllbyAttrsClick", "Tags all files in the files window based on the status of the file's attributes ..."),
                Item("miTagFilesSpecial", "Special ...", "+", "TagFilesSpecial", "Tags files in a files window by additional file specifications ..."),
            }),
            Sub("miFileUnTag", "&UnTag ...", "Untag operations ...", {
                Item("miUnTagSingleFile", "File", "U", "UnTagSingleFile", "Untag the current file ..."),
                Item("miUnTagFileWinFiles", "All in window", "Ctrl+U", "UnTagFileWinFiles", "Untags all files in the files window ..."),
                Item("miFileUnTagAllbyAttrs", "All by attributes", "Alt+U", "miFileUnTagAllbyAttrsClick", "Untags all files in the files window based on the status of the file's attributes ..."),
                Item("miUnTagFilesSpecial", "Special ...", "/", "UnTagFilesSpecial", "Untags files in a files window by additional file specifications ..."),
            }),
            Sub("miFileTagg", "Tagg&ed ...", "Operations on tagged files ...", {
                Item("miAttributesTaggedFiles", "Attributes", "Ctrl+A", "AttributesTaggedFiles", "Modify the attributes of the tagged files ..."),
                Item("miCopyTaggedFiles", "Copy", "Ctrl+C", "CopyTaggedFiles", "Copy the tagged files to a new disk and/or path ..."),
                Item("miCopyPathTaggedFiles", "Copy with paths", "Alt+C", "CopyPathTaggedFiles", "Copy tagged files with their directory structure to another disk and/or directory ..."),
                Item("miDeleteTaggedFiles", "Delete", "Ctrl+D", "DeleteTaggedFiles", "Delete the tagged files ..."),
                Item("miMoveTaggedFiles", "Move", "Ctrl+M", "MoveTaggedFiles", "Move the tagged files to a new disk and/or path ..."),
                Item("miMovePathTaggedFiles", "Move with paths", "Alt+M", "MovePathTaggedFiles", "Move tagged files with their directory structure to another disk and/or directory ..."),
                Item("miFileTaggDateTime", "New date/time", "Ctrl+N", "miFileTaggDateTimeClick", "Modify the date and time of the tagged files ..."),
                Item("miRenameTaggedFiles", "Rename", "Ctrl+R", "RenameTaggedFiles", "Renames the tagged files ..."),
                Item("miSearchTaggedFilesForString", "Search ...", "Ctrl+S", "SearchTaggedFilesForString", "Looks through all the tagged files for a specified text string ..."),
                Item("miFileTaggTest", "Test", "Ctrl+W", "miFileTaggTestClick", "Test integrity of all tagged files ..."),
                Item("miMakeZIPFile", "ZIP ...", "Ctrl+F5", "MakeZIPFile", "Compresses and stores the tagged files into a ZIP file ..."),
            }),
            Sub("miFileTgl", "To&ggle ...", "Toggle operations ...", {
                Item("miFileTglFileSpec", "File spec", "I", "miFileTglFileSpecClick", "Toggle file specification ..."),
                Item("miToggleSingleFileTag", "Current file tag", "Space", "ToggleSingleFileTag", "Toggle the tag on the current file ..."),
                Item("miToggleFileTags", "File tags", "Ctrl+I", "ToggleFileTags", "Toggle the tags on all files in the list ..."),
            }),
            Sub("miFileAttr", "A&ttributes ...", "File attributes ...", {
                Item("miAttributesSingleFile", "File ...", "A", "AttributesSingleFile", "Modify the DOS file attributes of the current file ..."),
                Item("miToggleFileAttrs", "Toggle", "0", "ToggleFileAttrs", "Toggle the DOS file attributes of the current file ..."),
                Item("miPasteFileAttrs", "Paste", "Shift+0", "PasteFileAttrs", "Paste the DOS file attributes of the current file ..."),
            }),
            Item("miCopySingleFile", "&Copy ...", "C", "CopySingleFile", "Copy the current file ..."),
            Item("miDeleteSingleFile", "&Delete ...", "D", "DeleteSingleFile", "Delete the current file ..."),
            Item("miEditSingleFile", "Edit ...", "E", "EditSingleFile", "Edit the current file ..."),
            Item("miFileExecute", "E&xecute", "X", "miFileExecuteClick", "Execute the current file ..."),
            Item("miFileSetFileSpec", "&File spec ...", "F", "SetFileSpec", "Change the file specification ..."),
            Item("miMoveSingleFile", "&Move ...", "M", "MoveSingleFile", "Moves the current file ..."),
            Item("miFileDate", "&New date/time ...", "N", "miFileDateClick", "Stamps a new date and time on a current file ..."),
            Item("miFilePrint", "&Print ...", "P", "miFilePrintClick", "Print the contents of the current file ..."),
            Item("miRenameSingleFile", "&Rename ...", "R", "RenameSingleFile", "Rename the current file ..."),
            Item("miViewSingleFile", "&View", "V", "ViewSingleFile", "View the contents of the current file ..."),
            Sub("miFileZIP", "&ZIP ...", "ZIP archives ...", {
                Item("miOpenZIPFile", "&Open ...", "Alt+F5", "OpenZIPFile", "Examine the contents of a ZIP archive, and then optionally to extract one or more files ..."),
                Item("miTestZIPFile", "&Test ...", "Shift+F5", "TestZIPFile", "Test ZIP archive ..."),
            }),
            Sub("miFileSort", "&Sort by ...", "Changes the order in which files are displayed ...", {
                Item("miFileSortByName", "Name", "", "SortFilesByName", "Sort files in files window by name ..."),
                Item("miFileSortByExtension", "Extension", "", "SortFilesByExtension", "Sort files in files window by extension ..."),
                Item("miFileSortBySize", "Size", "", "SortFilesBySize", "Sort files in files window by size ..."),
                Item("miFileSortByDate", "Date", "", "SortFilesByDate", "Sort files in files window by date ..."),
                Item("miFileSortByAttr", "Attributes", "", "SortFilesByAttr", "Sort files in files window by attributes ..."),
                Item("miFileSortByDesc", "Description", "", "SortFilesByDesc", "Sort files in files window by Windows description ..."),
                Item("miFileSortByReversedOrd", "Reversed order", "", "ReversedSortOrder", "Reversed sort files in files window  ..."),
            }),
            Sub("miFileDisp", "C&hange display ...", "Change display type of the files window ...", {
                Item("miFileDispSmallIcons", "&Small icons", "", "miFileDispSmallIconsClick", ""),
                Item("miFileDispLargeIcons", "&Large icons", "", "miFileDispLargeIconsClick", ""),
                Item("miFileDispNormal", "&Normal", "", "miFileDispNormalClick", ""),
                Item("miFileDisp3Col", "&3 columns", "", "miFileDisp3ColClick", ""),
                Item("miFileDisp5Col", "&5 columns", "", "miFileDisp5ColClick", ""),
                Item("miChangeFileDisplay", "Toggle display", "Alt+F", "ChangeFileDisplay", "Change file display type between large,small, no icons and 3 and 5 column ..."),
            }),
            Sub("miFileOther", "Misc ...", "", {
                Item("miBrowseIcons", "&Browse icons ...", "Alt+I", "BrowseIcons", "Browse icons in the current file (EXE, DLL, NIL, etc.) ..."),
                Item("miFileCommandLine", "&Command line ...", "Alt+X", "CommandLine", "Go to command line ..."),
                Item("miFileCompare", "Compare file&list", "K", "miFileCompareClick", "Compares two file lists ..."),
                Item("miFileDosPrompt", "&DOS prompt ...", "Ctrl+Alt+D", "DosPrompt", "Jump to DOS prompt ..."),
                Item("miFileFindFile", "&Find ...", "Ctrl+Shift+F", "FindFile", "Find file ..."),
                Item("miFileInfo", "&Info ...", "Ctrl+Alt+I", "FileInfo", "Show additional informations for the current file ..."),
                Item("miPasteFileToCmdLine", "&Paste to Cmd line", "Ctrl+Enter", "PasteFileToCmdLine", "Paste the current file's name to command line ..."),
                Item("miFileOtherQSearch", "&Quick search ...", "Alt+Y", "miFileOtherQSearchClick", "Find file by typing a name ..."),
                Item("miFileRefillWindow", "&Refill file window", "F12", "miFileRefillWindowClick", "Clears and refills the file window ..."),
                Item("miFileRelogDir", "Re&log directory", "Alt+F3", "RelogDir", "Re-read the current directory information into program ..."),
                Item("miFileTest", "&Test", "W", "miFileTestClick", "Test integrity of a file ..."),
            }),
            Item("miChangeFileListBoxFont", "Change fo&nt ...", "Ctrl+Alt+F", "ChangeFileListBoxFont", "Change font of the files window ..."),
            Item("miFileProperties", "Properties ...", "Alt+Enter", "FileProperties", "Show properties of the current file ..."),
            Added(Item("miFileUndo", "Und&o", "Ctrl+Z", "Undo", "Undo the last file or directory operation ...")),
            Added(Item("miFileOperationHistory", "Operation histor&y ...", "", "OperationHistory", "Show the file and directory operations that can be undone ...")),
            Sep(),
            Added(Item("miCopyToClipboard", "Copy to clipboard", "Ctrl+Shift+C", "CopyToClipboard", "Put the tagged or current files on the clipboard for other programs ...")),
            Added(Item("miCutToClipboard", "Cut to clipboard", "Ctrl+X", "CutToClipboard", "Put the tagged or current files on the clipboard to be moved by other programs ...")),
            Added(Item("miPasteFromClipboard", "Paste from clipboard", "Ctrl+V", "PasteFromClipboard", "Copy or move the files on the clipboard to the current directory ...")),
        }),
        Sub("miVolume", "Volume", "", {
            Sub("miVolLogOptions", "Log &options ...", "Perform a partial log operation ...", {
                Item("miLogDisk", "&Disk", "", "LogDisk", "Log another disk, keeping the disks which were previously logged ..."),
                Item("miLogDirBranch", "Branch", "Alt+B", "LogDirBranch", "Logs the directory branch from the current directory down ..."),
                Item("miLogOneLevel", "One level", "Alt+O", "LogOneLevel", "Logs only the first level of files and directories under the current directory ..."),
            }),
            Item("miReleaseDisk", "&Release disk", "Alt+R", "ReleaseDisk", "Remove current disk from memory ..."),
            Item("miArchiveCDROMDisk", "&Archive CD-ROM disk", "F6", "ArchiveCDROMDisk", "Archives the current logged CD-ROM disk ..."),
            Item("miCollapseAllDrives", "&Collapse all disks", "Ctrl+/", "pmiCollapseAllDrivesClick", "Collapse all logged disks ..."),
            Item("miVolRefreshAllDirs", "Refres&h all directories", "Ctrl+F3", "miVolRefreshAllDirsClick", "Check all logged directories for changed and new files ..."),
            Item("miVolRefill", "Re&fresh file window", "F12", "miVolRefillClick", "Clears and refills the file window ..."),
            Item("miNextDisk", "&Next disk", "", "NextDisk", "Switch to next logged disk ..."),
            Item("miPrevDisk", "&Previous disk", "", "PrevDisk", "Switch to previous logged disk ..."),
            Item("miConnect", "Map a net&work disk", "Alt+N", "sbConnectClick", "Connect a network disk ..."),
            Item("miDisconnect", "&Unmap a network disk", "Alt+C", "sbDisconnectClick", "Disconnect a network disk ..."),
            Item("miDiskVolumeName", "Na&me ...", "V", "DiskVolumeName", "Changes the volume label name of the current disk ..."),
            Item("miDiskSerialNumber", "&Serial number ...", "Ctrl+Shift+S", "DiskSerialNumber", "Change the serial number of the current disk ..."),
            Item("miVolFormatDisk", "Format dis&k ...", "Alt+F2", "miVolFormatDiskClick", "Format the current disk ..."),
            Item("miVolCopyDisk", "&Duplicate floppy disk", "Alt+D", "miVolCopyDiskClick", "Make a duplicate of floppy disk ..."),
            Item("miDiskImage", "&Info ...", "Alt+I", "btnDiskImageClick", "Show additional informations of the current disk ..."),
            Item("miVolProperties", "Proper&ties ...", "Ctrl+Alt+Enter", "miVolPropertiesClick", "Show properties of the current disk ..."),
            Item("miVolTrash", "Trash ...", "", "TrashWindow", "Show what is in the trash of the logged disks and restore it ..."),
        }),
        Sub("miTools", "Tools", "", {
            Item("miToolsOptions2", "&Options ...", "", "miToolsOptions2Click", "Add/remove external programs ..."),
            Sep(),
            Item("miToolsSysInfo", "System &Information", "", "miToolsSysInfoClick", "Display instant system info ..."),
            Item("miToolsCDBrowser", "CD &Browser", "", "miToolsCDBrowserClick", "Show cached CD-ROM contents"),
            Item("miClipBrd", "Clipboard &Viewer", "", "miClipBrdClick", "View clipboard contents ..."),
        }),
        Sub("miHelp", "Help", "", {
            Item("miHelpContents", "&Contents ...", "", "miHelpContentsClick", "Help contents ..."),
            Item("miHelpWhat", "What is this?", "", "miHelpWhatClick", "Context help ..."),
            Item("miHelpTip", "&Tip of the day ...", "", "miHelpTipClick", "Display the 'Tip of the day' ..."),
            Item("miHelpQuote", "&Quote of the day ...", "", "miHelpQuoteClick", "Display the 'Quote of the day' ..."),
            Sep(),
            Item("miHelpAbout", "&About ...", "", "miHelpAboutClick", "Informations about program ..."),
        }),
    });

    table.m_popups.push_back(Sub("TreeViewPopupMenu", "Directory tree", "", {
        Item("pmiDirCommands", "Commands", "", "", ""),
        Sep(),
        Item("pmiLogDirBranch", "Log &Branch", "", "LogDirBranch", "Logs the directory branch from the current directory down ..."),
        Item("pmiDirInfo", "Info", "", "pmiDirInfoClick", "Scan directory and display summary ..."),
        Item("pmiWhat5", "&What is this?", "", "pmiWhat5Click", ""),
        Item("pmiDirReleaseDisk", "Re&lease disk", "", "ReleaseDisk", "Unlog disk from memory ..."),
        Item("pmiAddToFav", "Add to Fa&vorites ...", "", "pmiAddToFavClick", "Add the current directory to your favorites ..."),
        Item("pmiAddToDirQSearch", "Add to &Quick Search ...", "", "pmiAddToDirQSearchClick", "Add the current directory to your quick search directory history ..."),
        Item("pmiFindFile", "F&ind file ...", "", "FindFile", "Find file ..."),
        Item("pmiExploreDir", "E&xplore directory ...", "", "ExploreDir", "Explore the current directory ..."),
        Item("pmiDirDosPrompt", "&DOS prompt ...", "", "DosPrompt", "Jump to DOS prompt ..."),
        Item("pmiChangeTreeViewFont", "Change &Font ...", "", "ChangeTreeViewFont", "Change font of the directory window ..."),
        Item("pmiDirContextMenu", "Co&ntext menu", "", "pmiDirContextMenuClick", "Display context menu of selected directory ..."),
        Item("pmiDirProperties", "P&roperties ...", "", "DirProperties", "Show properties of the current directory/disk ..."),
    }));
    table.m_popups.push_back(Sub("ListBoxPopupMenu", "File window", "", {
        Item("pmiFileCommands", "Commands", "", "", ""),
        Sep(),
        Item("pmiFileMaxMinWin", "&Max/Min window", "Enter", "MaxFileWin", "Maximize/minimize files window ..."),
        Item("pmiChangeFileDisplay", "&Toggle file display", "", "ChangeFileDisplay", "Change display type of the files window ..."),
        Item("pmiFileDosPrompt", "&DOS prompt ...", "", "DosPrompt", "Jump to DOS prompt ..."),
        Item("pmiFileDisplayFullpath", "Display f&ull path", "", "pmiFileDisplayFullpathClick", ""),
        Item("pmiFileOptimum", "&Optimize view", "", "pmiFileOptimumClick", "Sets widths of the columns to optimal values"),
        Item("pmiWhat4", "&What is this?", "", "pmiWhat4Click", ""),
        Sub("pmiSortFilesBy", "Sort files by ...", "Changes the order in which files are displayed ...", {
            Item("pmiFileSortByName", "&Name", "", "SortFilesByName", "Sort files in files window by name ..."),
            Item("pmiFileSortByExtension", "&Extension", "", "SortFilesByExtension", "Sort files in files window by extension ..."),
            Item("pmiFileSortBySize", "&Size", "", "SortFilesBySize", "Sort files in files window by size ..."),
            Item("pmiFileSortByDate", "&Date", "", "SortFilesByDate", "Sort files in files window by date ..."),
            Item("pmiFileSortByAttr", "&Attributes", "", "SortFilesByAttr", "Sort files in files window by attributes ..."),
            Item("pmiFileSortByDesc", "Des&cription", "", "SortFilesByDesc", "Sort files in files window by Windows description ..."),
            Item("pmiFileSortByReversedOrd", "&Reversed order", "", "ReversedSortOrder", "Reversed sort files in files window  ..."),
        }),
        Item("pmiChangeFileListBoxFont", "Change &Font ...", "", "ChangeFileListBoxFont", "Change font of the files window ..."),
        Item("pmiOpenWith", "Ope&n with", "", "", "Open the current file with another program ..."),
        Item("pmiCopyToClipboard", "Copy to clipboard", "", "CopyToClipboard", "Put the tagged or current files on the clipboard for other programs ..."),
        Item("pmiCutToClipboard", "Cut to clipboard", "", "CutToClipboard", "Put the tagged or current files on the clipboard to be moved by other programs ..."),
        Item("pmiPasteFromClipboard", "Paste from clipboard", "", "PasteFromClipboard", "Copy or move the files on the clipboard to the current directory ..."),
        Item("pmiFileContextMenu", "&Context menu ...", "", "pmiFileContextMenuClick", "Display context menu of selected file ..."),
        Item("pmiFileProperties", "&Properties ...", "", "FileProperties", "Show properties of the current file ..."),
    }));
    table.m_popups.push_back(Sub("DrivesPopupMenu", "Drives", "", {
        Item("pmiReleaseDisk", "&Release disk", "", "ReleaseDisk", "Unlog disk from memory ..."),
        Item("pmiCollapseAllDrives", "&Collapse all disks", "", "pmiCollapseAllDrivesClick", "Collapse all logged disks ..."),
        Item("pmiRun_DEFRAG", "&Defrag disk", "", "Run_DEFRAG", "Defragmentation for the current disk ..."),
        Item("pmiDefragAllDisks", "Defrag &All hard disks", "", "pmiDefragAllDisksClick", "Defragmentation for all hard disks ..."),
        Item("pmiRun_SCANDISK", "&Scan disk", "", "Run_SCANDISK", "Scan the current disk for file system errors ..."),
        Item("pmiDiskImage", "&Info ...", "", "btnDiskImageClick", "Show information about current disk ..."),
        Item("pmiProperties", "&Properties ...", "", "pmiPropertiesClick", "Show properties of current disk ..."),
    }));
    table.m_popups.push_back(Sub("ToolsPopup", "Tool bar", "", {
        Item("pmiToolsOptions2", "&Options", "", "miToolsOptions2Click", "Toolbar options ..."),
        Item("pmiWhat2", "&What is this?", "", "pmiWhat2Click", ""),
    }));
    table.m_popups.push_back(Sub("pmDirToolbar", "Directory command bar", "", {
        Item("pmiDirToolBarOptions", "&Options", "", "miDirToolBarOptionsClick", "Directory command button options ..."),
        Item("pmiWhat3", "&What is this?", "", "pmiWhat3Click", ""),
    }));
    table.m_popups.push_back(Sub("pmFileToolbar", "File command bar", "", {
        Item("pmiFileToolbarOptions", "&Options", "", "miFileToolbarOptionsClick", "File command button options ..."),
        Item("pmiWhat1", "&What is this?", "", "pmiWhat1Click", ""),
    }));
    table.m_popups.push_back(Sub("pmCurrDir", "Current directory", "", {
        Item("pmiBrowse", "&Browse directory", "", "pmiBrowseClick", "Switch to another directory by selecting a path ..."),
        Item("pmiSearch", "&Search directory", "", "pmiSearchClick", "Switch to another directory by typing a path ..."),
    }));
    table.m_popups.push_back(Sub("pmQView", "Quick view", "", {
        Item("pmiQViewCopy", "&Copy to clipboard", "", "pmiQViewCopyClick", ""),
        Item("pmiQViewAppendToClipboard", "&Append to clipboard", "", "pmiQViewAppendToClipboardClick", ""),
        Item("pmiQViewFont", "Change &Font ...", "", "pmiQViewFontClick", ""),
    }));
    table.m_popups.push_back(Sub("pmImgQuick", "Picture", "", {
        Item("pmiImgCopyToClipboard", "&Copy to Clipboard ...", "", "", "Copy picture to clipboard ..."),
    }));
    table.m_popups.push_back(Sub("pmAutoPlay", "Quick view player", "", {
        Item("pmiQuickFileView", "&Quick view", "", "btnQuickFileViewClick", ""),
        Item("pmiAutoPlay", "&Auto play MM files", "", "pmiAutoPlayClick", ""),
    }));
    table.m_popups.push_back(Sub("TrayPopupMenu", "Notification area", "", {
        Item("pmiHideShowWindow", "&Hide Window", "", "pmiHideShowWindowClick", ""),
        Item("pmiTrayAbout", "&About", "", "pmiTrayAboutClick", "About Zentrix ..."),
        Item("pmiQuitZentrix", "E&xit Zentrix", "", "QuitZentrix", ""),
    }));
    return table;
}
// clang-format on

} // namespace zentrix
