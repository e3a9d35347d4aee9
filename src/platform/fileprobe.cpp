#include "platform/fileprobe.h"

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace zentrix::platform {
namespace {

bool isExecutableFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

} // namespace

bool IsDirectory(const std::string& hostPath) {
    struct stat st {};
    return !hostPath.empty() && ::stat(hostPath.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsFile(const std::string& hostPath) {
    struct stat st {};
    return !hostPath.empty() && ::stat(hostPath.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool IsRegularFile(const std::string& hostPath) {
    struct stat st {};
    return !hostPath.empty() && ::stat(hostPath.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string FindProgram(const std::string& program) {
    if (program.empty())
        return {};
    if (program.find('/') != std::string::npos)
        return program[0] == '/' && isExecutableFile(program) ? program : std::string();
    const char* path = std::getenv("PATH");
    return FindProgramIn(program, path && *path ? path : "/usr/local/bin:/usr/bin:/bin");
}

std::string FindProgramIn(const std::string& program, const std::string& directories) {
    if (program.empty() || program.find('/') != std::string::npos)
        return {};
    size_t pos = 0;
    while (pos <= directories.size()) {
        const size_t end = std::min(directories.find(':', pos), directories.size());
        const std::string dir = directories.substr(pos, end - pos);
        pos = end + 1;
        // An empty or relative entry means a place below the current directory.
        if (dir.empty() || dir[0] != '/')
            continue;
        const std::string candidate = dir + "/" + program;
        if (isExecutableFile(candidate))
            return candidate;
    }
    return {};
}

} // namespace zentrix::platform
