#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

namespace zentrix::platform {

/// Renames a file or directory; never replaces an existing entry. On failure
/// returns false and, when given, the system's reason in `error`.
bool RenameNoReplace(const std::string& from, const std::string& to, std::string* error = nullptr);

/// How a rename through a temporary name ended.
enum class TempRenameResult {
    Done,
    FirstStepFailed,  ///< nothing changed
    SecondStepFailed, ///< the file is back under its old name
    RestoreFailed,    ///< the file stays under the temporary name
};

/// Renames a file within its directory in two steps, `from` to a fresh name
/// "TMP??????.$$$" beside it and that to `to`, so that a change of case alone
/// works on file systems that ignore case. No step replaces an existing entry.
/// When the second step fails the file is renamed back; only when that fails as
/// well it stays under the temporary name, whose path goes to `tempLeft`.
TempRenameResult RenameThroughTemporary(const std::string& from, const std::string& to,
                                        std::string* tempLeft = nullptr,
                                        std::string* error = nullptr);

/// Sets a file's last-write time to the nanosecond, leaving its access time
/// alone. A symbolic link gets its own time: what it points to is not
/// touched. False, with the system's reason in `error`, when it could not.
bool SetLastWriteTime(const std::string& hostPath, const timespec& time,
                      std::string* error = nullptr);
/// Sets the permission bits of a file or directory; a link keeps its own and
/// what it points to is not touched. False, with the system's reason in
/// `error`, when it could not.
bool SetPermissions(const std::string& hostPath, unsigned mode, std::string* error = nullptr);
/// The file's last-write time as a file time (100-ns units since 1601); none
/// when it cannot be read.
std::optional<int64_t> ReadLastWriteTime(const std::string& hostPath);

} // namespace zentrix::platform
