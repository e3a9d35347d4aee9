#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zentrix::platform {

/// True when names in the directory are matched without regard to case: FAT
/// and exFAT always, a directory with the case-folding flag (ext4, f2fs,
/// tmpfs), a mount with the option "nocase" or "ignorecase" (ntfs3, cifs),
/// and a FUSE file system whose names in the directory are found in either
/// case. Everywhere else "a.txt" and "A.TXT" are two files.
bool FoldsCase(const std::string& hostDir);

/// The options of a mount as the mount table gives them: its own and its
/// file system's, comma-separated.
struct MountOptions {
    std::string device; // "major:minor"
    std::string options;
};
/// The options of each line of a table in the form of /proc/self/mountinfo;
/// lines without its shape are left out.
std::vector<MountOptions> ParseMountOptions(std::string_view mountinfo);
/// Whether the mount of the device folds case by its options; the last mount
/// of the device in the table counts.
bool MountFoldsCase(const std::vector<MountOptions>& mounts, std::string_view device);

} // namespace zentrix::platform
