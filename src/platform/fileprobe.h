#pragma once

#include <string>

namespace zentrix::platform {

/// True when the host path names a directory (links followed).
bool IsDirectory(const std::string& hostPath);
/// True when the host path names a file that is not a directory (links followed).
bool IsFile(const std::string& hostPath);
/// True when the host path names a regular file (links followed): no FIFO or
/// device, which a reader could hang on.
bool IsRegularFile(const std::string& hostPath);
/// The full path of a program: an absolute path as it is, when it is an
/// executable file; a bare name searched on the PATH. Empty when there is none,
/// and for a relative path: the process's current directory is wherever the
/// program happens to be (the directory being packed, say), so nothing is ever
/// looked for there.
std::string FindProgram(const std::string& program);
/// A bare name searched in the directories of a PATH-style list; empty and
/// relative entries (which would mean the current directory) are skipped.
std::string FindProgramIn(const std::string& program, const std::string& directories);

} // namespace zentrix::platform
