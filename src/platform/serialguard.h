#pragma once

#include "platform/drivetable.h"

#include <string>
#include <string_view>
#include <vector>

namespace zentrix::platform {

/// One line of the file-system table (/etc/fstab): what is mounted where.
struct FstabEntry {
    std::string spec; // "/dev/sda1", "UUID=...", "LABEL=..." (octal escapes undone)
    std::string mountPoint;
};

/// The entries of a file-system table's text. Comments, blank lines and lines
/// of one field are left out; nothing in the text can make it fail.
std::vector<FstabEntry> ParseFstab(std::string_view text);

/// Why the serial number of a drive's volume must not be changed. The system
/// mounts volumes by their identifier (the serial number is part of it):
/// changing it under the root file system or a volume the file-system table
/// names can leave the machine unable to start. Only removable volumes and
/// volumes that are not mounted are changed.
enum class SerialRefusal {
    None,
    RootFileSystem, // the volume holds the root file system
    NamedInFstab,   // the file-system table names the volume (by device, UUID or label)
    MountedFixed,   // mounted, and not a removable medium
};

/// The refusal for a drive, from the facts given: the file-system table's text,
/// the mount table, and the path whose file system is the root one.
SerialRefusal SerialChangeRefusal(const DriveInfo& drive, std::string_view fstabText,
                                  const std::vector<MountEntry>& mounts,
                                  const std::string& rootPath = "/");
/// The same from this machine's /etc/fstab and mount table.
SerialRefusal SerialChangeRefusal(const DriveInfo& drive);

} // namespace zentrix::platform
