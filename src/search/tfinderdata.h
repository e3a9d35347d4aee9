#pragma once

#include <string>
#include <vector>

namespace zentrix {

namespace platform {
class DriveTable;
}

/// What the finder searches for, copied into its thread when the search starts.
struct TFinderData {
    /// One or more directories separated by ";" (runs of ";" count as one,
    /// empty pieces are ignored).
    std::string StartDirs;
    bool Recursive = true;
    /// File masks separated by blanks; "*.*" matches every name.
    std::string Patterns = "*.*";
    bool MatchEnabled = false;
    std::string MatchString;
    bool CaseSensitive = false;
    /// Results are collected out of sight and shown at the end.
    bool Turbo = false;
};

/// The start directories of a finder text: trimmed, empty pieces left out,
/// each ending in a backslash and beginning with an upper-case drive letter.
std::vector<std::string> SplitStartDirs(const std::string& startDirs);

/// SplitStartDirs with every host path among them ("/usr/share", "~/src")
/// turned into the catalogue path of the drive that holds it. A host path that
/// no drive holds is left out; `problem` then gets the informative line for
/// the first of them (it stays empty when there is none).
std::vector<std::string> StartDirsOnDrives(const std::string& startDirs,
                                           const platform::DriveTable& drives,
                                           std::string& problem);

} // namespace zentrix
