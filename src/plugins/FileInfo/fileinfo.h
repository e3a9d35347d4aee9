#pragma once

#include <string>
#include <vector>

namespace zentrix::fileinfo {

/// The lines GetFileInfo gives for a host path: name, type, size, times, owner and
/// permissions, then what the kind of file adds (executables, pictures, archives).
/// A file that cannot be examined gives one line saying why.
std::vector<std::string> DescribeFile(const std::string& path);

/// "-rw-r--r--" for a mode, with the set-id and sticky letters.
std::string PermissionText(unsigned mode);

} // namespace zentrix::fileinfo
