#pragma once

#include <string>

namespace zentrix::platform {

/// The directory part of a host path ("/" for a name in the root, "." for a
/// bare name).
inline std::string HostParent(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

/// The last component of a host path.
inline std::string HostBaseName(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

inline std::string HostJoin(const std::string& dir, const std::string& name) {
    return dir == "/" ? "/" + name : dir + "/" + name;
}

/// A name that stays one entry of its directory: not empty, ".", "..", and
/// without "/" or NUL (names typed by the user or read from other programs'
/// files).
inline bool IsSingleName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string("/\0", 2)) == std::string::npos;
}

} // namespace zentrix::platform
