#include "config/pathforms.h"

#include "platform/drivetable.h"

namespace zentrix {

std::string WithTrailingSeparator(std::string path) {
    if (path.empty())
        return path;
    const char sep = path[0] == '/' ? '/' : '\\';
    if (path.back() != sep)
        path += sep;
    return path;
}

std::string DirectoryForSettings(const std::string& hostDir, const platform::DriveTable& drives) {
    std::string host = hostDir;
    while (host.size() > 1 && host.back() == '/')
        host.pop_back();
    if (auto cat = drives.ToCataloguePath(host, true))
        return *cat;
    return WithTrailingSeparator(host);
}

std::optional<std::string> HostPathOf(const std::string& path, const platform::DriveTable& drives) {
    if (path.empty())
        return std::nullopt;
    if (path[0] == '/')
        return path;
    return drives.ToHostPath(path);
}

} // namespace zentrix
