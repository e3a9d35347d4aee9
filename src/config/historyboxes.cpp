#include "config/historyboxes.h"

namespace zentrix {
namespace {

// The compare dialog shares its directory section with the tag wizard, so both
// offer the same directories; the dialog sets its length to 20 when created.
constexpr HistoryBoxSpec kBoxes[] = {
    {"hbFileSpec", "main", "FileSpecHistory", 20, "File specification"},
    {"hbCmdLine", "main", "CommandLines", 20, "Command line"},
    {"hbFileSearch", "main", "FileQuickSearch", 7, "Quick file search"},
    {"hbDirSearch", "main", "DirQuickSearch", 7, "Quick directory search"},
    {"hcbFindStartDir", "main", "FinderStartDirs", 7, "Start directory"},
    {"hcbFindPatterns", "main", "FinderFilePatterns", 7, "File patterns"},
    {"hcbFindMatchString", "main", "FinderMatchStrings", 7, "Text to find"},
    {"hbCopyAs", "main", "CopyAsHistory", 7, "Copy as"},
    {"hbCopyTo", "main", "CopyToHistory", 7, "Copy to"},
    {"hbMoveAs", "main", "MoveAsHistory", 7, "Move as"},
    {"hbMoveTo", "main", "MoveToHistory", 7, "Move to"},
    {"hbFullCopyAs", "main", "FullCopyAsHistory", 7, "Copy with paths as"},
    {"hbFullMoveAs", "main", "FullMoveAsHistory", 7, "Move with paths as"},
    {"hbRenameFile1", "main", "RenameFileHistory", 7, "Rename file to"},
    {"hbRenameFile2", "main", "RenameAllTaggedFilesHistory", 7, "Rename tagged files to"},
    {"hbMakeDir", "main", "MakeDirHistory", 7, "New directory name"},
    {"hbRenameDir", "main", "RenameDirHistory", 7, "New directory name"},
    {"hbEditFile", "main", "EditFileHistory", 7, "File to edit"},
    {"hbSearchStrings", "main", "SearchStringsHistory", 7, "Text to search for"},
    {"hbFilesAttrHistory", "main", "FileAttributesHistory", 10, "File attributes"},
    {"hbDateTime", "main", "DateTimeHistory", 10, "Date and time"},
    {"hbFileSpec", "special tag", "SpecialTagHistory", 20, "File specification"},
    {"hbFileSpec", "tag wizard", "TagWizFileSpecHistory", 7, "File specification"},
    {"hbDir", "tag wizard", "TagWizDirectoryHistory", 7, "Directory"},
    {"hbFileAge", "tag wizard", "TagWizFileAgeHistory", 7, "File age in days"},
    {"hbFileSize", "tag wizard", "TagWizFileSizeHistory", 7, "File size in kilobytes"},
    {"hbDir", "compare", "TagWizDirectoryHistory", 20, "Directory to compare with"},
};

} // namespace

std::span<const HistoryBoxSpec> HistoryBoxes() {
    return kBoxes;
}

const HistoryBoxSpec* FindHistoryBox(std::string_view window, std::string_view control) {
    for (const HistoryBoxSpec& box : kBoxes)
        if (window == box.window && control == box.control)
            return &box;
    return nullptr;
}

} // namespace zentrix
