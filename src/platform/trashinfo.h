#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zentrix::platform {

/// What a trash item's description (its ".trashinfo" file) says.
struct TrashInfo {
    /// Where the item came from, percent-decoded: absolute in the home trash,
    /// relative to the volume's top directory in a volume's trash.
    std::string path;
    /// "YYYY-MM-DDThh:mm:ss" in local time; empty when missing or malformed.
    std::string deletionDate;
};

/// Reads a ".trashinfo" text, written by any program: the keys "Path" and
/// "DeletionDate" of its "[Trash Info]" group. None when there is no such
/// group, or no Path, or a Path that is no path: a bad escape, a NUL byte, an
/// empty, "." or ".." component. Linear in the text.
std::optional<TrashInfo> ParseTrashInfo(std::string_view text);

/// "%41" to "A", for the whole text; false on a malformed escape.
bool PercentDecode(std::string_view text, std::string& out);

} // namespace zentrix::platform
