#pragma once

#include "platform/filetransfer.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zentrix::platform {

/// One item in a trash directory, as the desktop's trash shows it.
struct TrashEntry {
    std::string trashDir; // the trash directory that holds files/ and info/
    std::string name;     // its name under files/ (and info/ + ".trashinfo")
    /// Where it came from (host path); empty when its description is missing,
    /// unreadable, or names no place it may go back to.
    std::string originalPath;
    /// The place as the description gives it, for showing (may be unusable).
    std::string shownPath;
    std::string deletionDate; // "YYYY-MM-DDThh:mm:ss" or empty
    bool hasInfo = false;     // a description file exists
    EntryStat stat;           // of files/name, links not followed
    uint64_t bytes = 0;       // its size; a directory's: of the files below it
};

/// The top directory of the mount that holds `path` (walking up while the
/// device stays the same).
std::string MountTopOf(const std::string& path);

/// The trash directories there are for the home and for the volumes whose top
/// directories are given: the home trash, and on each volume $top/.Trash/$uid
/// (when .Trash is a sticky directory, not a link) and $top/.Trash-$uid (when
/// it is the user's own directory, not a link). Each once, only those that
/// exist.
std::vector<std::string> TrashDirectories(const std::vector<std::string>& topDirs);

/// Everything in a trash directory, items without a description included.
/// Descriptions are read with a size limit and checked: a path that leaves
/// its volume, or is not absolute in the home trash, has no original path.
std::vector<TrashEntry> ListTrash(const std::string& trashDir);

/// Moves an item back out of the trash to `destination` (never replacing
/// anything; missing directories above it are made) and removes its
/// description; the trash's directory size cache is kept in step. 0 or the
/// errno (EEXIST: the destination is taken).
int RestoreTrashItem(const std::string& trashDir, const std::string& name,
                     const std::string& destination);

/// Deletes an item for good, with its description (a link goes itself, never
/// what it points to). 0 or the errno.
int EraseTrashItem(const std::string& trashDir, const std::string& name);

/// The description file of an item.
std::string TrashInfoPath(const std::string& trashDir, const std::string& name);

} // namespace zentrix::platform
