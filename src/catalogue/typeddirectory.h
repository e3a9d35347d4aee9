#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zentrix {

namespace platform {
class DriveTable;
}

/// What a directory typed into a box stands for in the catalogue.
struct TypedDirectory {
    /// The catalogue path ("D:\SHARE\"), ending in a backslash; none when the
    /// text names no directory that a drive holds.
    std::optional<std::string> path;
    /// Why there is none, for the informative line under the message: the path
    /// and the reason ("/srv/x: No such file or directory").
    std::string problem;
};

/// True for a text that is a host path: it begins with "/", or is "~" or
/// begins with "~/" (the home directory). Blanks before it are allowed.
bool IsHostPathText(std::string_view text);

/// The absolute host path of a typed host path: "~" is the home directory
/// `home`, and repeated "/", "." and ".." are resolved by name (as the shell's
/// cd does), blanks inside names kept. Blanks around the whole text go.
std::string ExpandHostPathText(std::string_view text, const std::string& home);

/// A directory typed as a catalogue path ("D:\DOCS", the final backslash
/// optional) or as a host path ("/usr/share", "~", "~/Downloads", "/my dir").
/// A host path goes through the drive table (the longest drive root that holds
/// it, or holds it once its links are resolved). With `mustExist` the
/// directory must be on disk: the result then spells each name as the disk
/// does (found exactly first, then without regard to case). Without it only a
/// host path is translated; a catalogue path comes back as typed, with its
/// final backslash. Any other text ("docs") names no directory.
TypedDirectory ResolveTypedDirectory(const platform::DriveTable& drives, std::string_view text,
                                     bool mustExist);

/// The informative line for a host path that no drive holds.
std::string NoDriveProblem(const std::string& hostPath);

/// The informative line for a catalogue directory that cannot be used: its
/// host path and the system's reason, or why it has no host path.
std::string DirectoryProblem(const platform::DriveTable& drives, const std::string& cataloguePath);

} // namespace zentrix
