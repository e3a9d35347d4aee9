#pragma once

#include <optional>
#include <string>

namespace zentrix {

namespace platform {
class DriveTable;
}

/// Directories kept in the settings (the WatchDog directory, the associated
/// programs, the system directories) are in catalogue form ("C:\home\x\") when a
/// drive holds them; a host directory that no drive holds stays a host path
/// ("/srv/x/"), so that it still leads somewhere.

/// The form a host directory is kept in, with a trailing separator.
std::string DirectoryForSettings(const std::string& hostDir, const platform::DriveTable& drives);

/// The host path of a path kept in either form; none when no drive has it or the
/// path is neither form.
std::optional<std::string> HostPathOf(const std::string& path, const platform::DriveTable& drives);

/// The path with the separator of its own form at the end ("\" for catalogue
/// paths, "/" for host paths); empty stays empty.
std::string WithTrailingSeparator(std::string path);

} // namespace zentrix
