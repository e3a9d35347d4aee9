#pragma once

#include <functional>
#include <string>

namespace zentrix::platform {

/// Where a trashed item went.
struct TrashedItem {
    std::string trashDir; // the trash directory (holding files/ and info/)
    std::string name;     // its name under files/ (and info/ + ".trashinfo")
};

/// Moves a file, link or directory to the desktop's trash so that other desktop
/// programs can restore it: the user's own trash when the item lies on the same
/// file system, otherwise the trash of its volume ($topdir/.Trash/$uid when the
/// administrator made a sticky .Trash, else $topdir/.Trash-$uid). The item is
/// renamed, never copied: an item whose file system has no usable trash stays
/// where it is. The description (.trashinfo, with the original path
/// percent-encoded) is written before the move and removed again when the move
/// fails. Returns 0 or the errno of the failing step; `where`, when given,
/// tells where the item went.
int MoveToTrash(const std::string& hostPath, TrashedItem* where = nullptr);

/// The percent-encoded form a .trashinfo "Path=" line holds (bytes other than
/// unreserved characters and "/" as %XX).
std::string TrashPathEncode(const std::string& path);

/// The trash's size cache ("directorysizes": one line per trashed directory,
/// "bytes mtime percent-encoded-name") without the lines whose item is gone
/// (`present` is asked with the encoded name) or that are malformed, and with
/// `added` (a complete line, or empty) at the end. Linear in the input.
std::string UpdatedDirectorySizes(const std::string& cache,
                                  const std::function<bool(const std::string&)>& present,
                                  const std::string& added);

} // namespace zentrix::platform
