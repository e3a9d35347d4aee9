#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace zentrix {

namespace platform {
struct SystemFigures;
class DriveTable;
}
class AppState;
class Catalogue;
class DiskLogger;
class Prompter;
struct Settings;
class TTreeNode;

/// The rules of the program's frame that need no window: the start directory,
/// the start-up drives, "LastDir" on quitting, the close question, dropped
/// files and the system-information lines.
namespace AppFrame {

/// The command-line parameters joined by blanks and trimmed; "LastDir" when
/// that leaves nothing.
std::string StartDirectory(const std::vector<std::string>& args, const std::string& lastDir);

/// A start directory as the user typed it, made absolute: drive paths ("D:\DOCS")
/// and absolute host paths stay as they are; anything else ("." or "docs") is
/// taken relative to `currentDir` (a host directory), with "." and ".."
/// resolved.
std::string AbsoluteStartDirectory(const std::string& directory, const std::string& currentDir);

/// Logs the start-up drives: each entry's first character names a drive, in
/// order; without entries, the current disk. When none of them ends up logged,
/// the first drive that is ready is logged instead.
void LogStartupDrives(DiskLogger& logger, Catalogue& catalogue,
                      const std::vector<std::string>& logDrivesAtStartup, char currentDisk);

/// Opens the start directory: "Directory does not exist!     " when it is not a
/// directory on a known drive, else the path (with a trailing backslash) is
/// opened level by level. A relative directory is taken from the process's
/// current directory. Returns whether it was opened. With `fileToSelect` given,
/// a path that names a file (as a desktop passes one) opens the file's
/// directory and leaves the file's name there; otherwise it is left empty.
bool OpenStartDirectory(DiskLogger& logger, const platform::DriveTable& drives, Prompter& prompter,
                        AppState& state, const std::string& directory,
                        std::string* fileToSelect = nullptr);

/// "LastDir" when leaving through the Exit command: the selected directory's
/// path when it is logged and below a drive root, otherwise empty.
std::string LastDirOnQuit(const TTreeNode* selected);

/// The close question. With both workers idle: true when SkipQuitOption is set
/// or the user confirms "Quit Zentrix ?". With a worker active: the user must
/// confirm "Terminate threads?     "; then every worker that is starting or
/// running is asked to stop and `pump` runs until both are idle. On Cancel, or
/// when a worker has not ended within `patience`, "Cannot exit with threads
/// running!     " is shown and the answer is false.
bool QueryClose(AppState& state, const Settings& settings, Prompter& prompter,
                const std::function<void()>& pump,
                std::chrono::milliseconds patience = std::chrono::seconds(10));

/// The catalogue names of files dropped from the desktop; names outside every
/// drive are left out.
std::vector<std::string> DroppedNames(const platform::DriveTable& drives,
                                      const std::vector<std::string>& hostPaths);

/// The lines the status area cycles through every ten seconds.
std::vector<std::string> SystemInfoLines(const platform::SystemFigures& figures);

} // namespace AppFrame
} // namespace zentrix
