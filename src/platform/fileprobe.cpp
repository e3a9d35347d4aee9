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
        return isExecutableFile(program) ? program : std::string();
    const char* path = std::getenv("PATH");
    const std::string dirs = path && *path ? path : "/usr/local/bin:/usr/bin:/bin";
    size_t pos = 0;
    while (pos <= dirs.size()) {
        const size_t end = std::min(dirs.find(':', pos), dirs.size());
        const std::string dir = dirs.substr(pos, end - pos);
        pos = end + 1;
        // An empty entry would mean the current directory, which is wherever the
        // user happens to be: never searched.
        if (dir.empty())
            continue;
        const std::string candidate = dir + "/" + program;
        if (isExecutableFile(candidate))
            return candidate;
    }
    return {};
}

} // namespace zentrix::platform
