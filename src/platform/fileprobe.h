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
/// The full path of a program: a name with a "/" as it is, when it is an
/// executable file; a bare name searched on the PATH. Empty when there is none.
std::string FindProgram(const std::string& program);

} // namespace zentrix::platform
