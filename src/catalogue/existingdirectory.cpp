#include "catalogue/existingdirectory.h"

#include "core/text.h"
#include "platform/dirlisting.h"
#include "platform/drivetable.h"

#include <cctype>

namespace zentrix {

namespace {

bool isDirectory(const platform::DriveTable& drives, const std::string& cataloguePath) {
    const auto host = drives.ToHostPath(cataloguePath);
    if (!host)
        return false;
    platform::DirListing listing(platform::AttrSource::Posix, platform::StatMode::None);
    return listing.Open(*host);
}

} // namespace

std::optional<std::string> ExistingDirectory(const platform::DriveTable& drives,
                                             const std::string& path) {
    if (path.size() < 2 || path[1] != ':' || !std::isalpha(static_cast<unsigned char>(path[0])))
        return std::nullopt;
    std::string real =
        std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(path[0])))) +
        ":\\";
    if (!isDirectory(drives, real))
        return std::nullopt;
    size_t pos = path.size() > 2 && path[2] == '\\' ? 3 : 2;
    while (pos < path.size()) {
        const size_t end = std::min(path.find('\\', pos), path.size());
        const std::string part = path.substr(pos, end - pos);
        pos = end + 1;
        if (part.empty() && end == path.size() - 1)
            break;
        if (part.empty() || part == "." || part == "..")
            return std::nullopt;
        if (isDirectory(drives, real + part + "\\")) {
            real += part + "\\";
            continue;
        }
        const auto host = drives.ToHostPath(real);
        platform::DirListing listing(platform::AttrSource::Posix, platform::StatMode::None);
        if (!host || !listing.Open(*host))
            return std::nullopt;
        std::optional<std::string> found;
        platform::DirEntry e;
        while (!found && listing.Next(e))
            if (e.IsDirectory() && e.name != "." && e.name != ".." &&
                EqualsIgnoreCase(e.name, part))
                found = std::string(e.name);
        if (!found)
            return std::nullopt;
        real += *found + "\\";
    }
    return real;
}

} // namespace zentrix
