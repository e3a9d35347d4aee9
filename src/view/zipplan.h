#pragma once

#include <string>
#include <vector>

namespace zentrix {

/// What the archive commands hand to the archive library, in catalogue form.
struct ZipPlan {
    /// The directory the names are relative to (with its trailing backslash);
    /// the archive library runs with it as the current directory.
    std::string baseDirectory;
    /// The names to pack: relative to baseDirectory (tagged files), or the
    /// directory followed by a mask (directory mode).
    std::vector<std::string> names;
    bool recurse = false;
    bool keepSubdirectories = false;
    /// The archive's full catalogue path.
    std::string archivePath;
};

/// Packing the tagged files (full catalogue names, at least one): names
/// relative to their longest common directory, the subdirectory flag when one
/// still holds a backslash, and the archive named after the one file (or the
/// one name all files share apart from the extension, upper case), else after
/// the common directory, or "NewArchive.ZIP" for a drive root. The archive
/// lies in the common directory, or in `selectedDirectory` when that is a root.
ZipPlan PlanTaggedZip(const std::vector<std::string>& fullNames,
                      const std::string& selectedDirectory);

/// Packing a directory: the directory followed by each blank-separated mask of
/// the file specification ("*.*" when it has none), the recurse answer as both
/// flags, the archive named after the directory inside it.
ZipPlan PlanDirectoryZip(const std::string& directory, const std::string& fileSpec, bool recurse);

/// One entry of the archive library's file list: an exact name (a file, or a
/// directory that stands for its files), or a directory path whose last part
/// is a mask the user typed.
struct ZipListItem {
    std::string path;
    bool mask = false;
};

/// The library's file list: each entry a kind byte ('F' an exact name, 'M' a
/// mask) and the path, ended by a NUL; an empty entry ends the list. Names go
/// across whole, whatever bytes they hold.
std::string ZipFileList(const std::vector<ZipListItem>& items);
/// The entries of a file list, read up to its empty entry; an entry of
/// another kind is left out.
std::vector<ZipListItem> ParseZipFileList(const char* list);

} // namespace zentrix
