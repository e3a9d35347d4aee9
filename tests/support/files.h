#pragma once

#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>

namespace zentrix::test {

/// The whole content of a file (empty when it cannot be read).
inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

/// Whether anything stands at the path; a link counts, even a broken one.
inline bool Exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

} // namespace zentrix::test
