#pragma once

#include <map>
#include <string>
#include <string_view>

namespace zentrix {

/// The keys of the "[Desktop Entry]" group of a .desktop file (localised keys
/// such as "Name[de]" kept as they are). Comments, other groups and lines
/// without "=" are skipped; the first value of a key wins.
std::map<std::string, std::string> ParseDesktopEntry(std::string_view content);

/// Reads a .desktop file (at most 1 MiB of it) and returns its "Icon" value.
std::string DesktopEntryIcon(const std::string& hostPath);

} // namespace zentrix
