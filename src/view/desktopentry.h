#pragma once

#include <map>
#include <string>
#include <string_view>

namespace zentrix {

/// The keys of the "[Desktop Entry]" group of a .desktop file (localised keys
/// such as "Name[de]" kept as they are). Comments, other groups and lines
/// without "=" are skipped; the first value of a key wins.
std::map<std::string, std::string> ParseDesktopEntry(std::string_view content);

/// Reads a .desktop file (at most 1 MiB of it, and only a regular file) and
/// returns its "Icon" value.
std::string DesktopEntryIcon(const std::string& hostPath);

/// The largest picture file an icon is taken from.
inline constexpr size_t kMaxIconFileBytes = 4u << 20;

/// The bytes of the picture an absolute "Icon=" path names; empty unless it is
/// a regular file of at most kMaxIconFileBytes. A .desktop file may name a FIFO
/// or a device there: a picture reader opening that would wait for ever.
std::string ReadIconFile(const std::string& hostPath);

} // namespace zentrix
