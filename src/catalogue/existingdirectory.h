#pragma once

#include <optional>
#include <string>

namespace zentrix {

namespace platform {
class DriveTable;
}

/// The directory a catalogue path names, as it is on disk: the same path with
/// each name as the disk has it, ending in a backslash. Each name is looked
/// for exactly first, then without regard to case (so "C:\beta\" finds
/// "C:\BETA\" when only that exists, and "D:\DOCS\" stays "D:\DOCS\" beside
/// "D:\Docs\"). None when a name is missing, is not a directory, or is "." or
/// "..", or when the path names no drive.
std::optional<std::string> ExistingDirectory(const platform::DriveTable& drives,
                                             const std::string& path);

} // namespace zentrix
