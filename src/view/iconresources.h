#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zentrix {

/// One icon found in a file, as a complete icon file in memory (any picture
/// reader that knows icon files shows it).
struct IconGroup {
    std::string name; // resource name or number, or the image's size for icon files
    std::string ico;
};

/// Reads `count` bytes at `offset` of a file; fewer at its end.
using ByteReader = std::function<std::string(uint64_t offset, size_t count)>;

/// The images of an icon or cursor file, each as an icon file of its own.
/// Entries that point outside the data are skipped.
std::vector<IconGroup> IconsOfIcoFile(std::string_view data);

/// The icon groups of a PE executable or library (its RT_GROUP_ICON resources
/// with their RT_ICON images). Nothing for files that are no PE file or whose
/// resources are damaged; never reads outside `fileSize`.
std::vector<IconGroup> IconsOfPeFile(const ByteReader& read, uint64_t fileSize);

/// The icons of a host file: a PE file's resources, or an icon file's images.
std::vector<IconGroup> IconsOfFile(const std::string& hostPath);

} // namespace zentrix
