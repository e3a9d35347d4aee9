#include "platform/casefolding.h"

#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <linux/fs.h>
#include <linux/magic.h>
#include <sstream>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <unordered_set>

namespace zentrix::platform {

std::vector<MountOptions> ParseMountOptions(std::string_view mountinfo) {
    // id parent major:minor root mountpoint options [optional...] - fstype source super
    std::vector<MountOptions> mounts;
    size_t pos = 0;
    while (pos < mountinfo.size()) {
        size_t end = mountinfo.find('\n', pos);
        if (end == std::string_view::npos)
            end = mountinfo.size();
        const std::string_view line = mountinfo.substr(pos, end - pos);
        pos = end + 1;
        std::vector<std::string_view> fields;
        size_t at = 0;
        while (at < line.size()) {
            const size_t start = line.find_first_not_of(' ', at);
            if (start == std::string_view::npos)
                break;
            const size_t stop = std::min(line.find(' ', start), line.size());
            fields.push_back(line.substr(start, stop - start));
            at = stop;
        }
        size_t dash = 6;
        while (dash < fields.size() && fields[dash] != "-")
            ++dash;
        if (dash >= fields.size() || fields.size() - dash < 3)
            continue;
        MountOptions m{std::string(fields[2]), std::string(fields[5])};
        if (fields.size() - dash > 3)
            m.options += "," + std::string(fields[dash + 3]);
        mounts.push_back(std::move(m));
    }
    return mounts;
}

bool MountFoldsCase(const std::vector<MountOptions>& mounts, std::string_view device) {
    for (auto it = mounts.rbegin(); it != mounts.rend(); ++it) {
        if (it->device != device)
            continue;
        const std::string options = "," + it->options + ",";
        return options.find(",nocase,") != std::string::npos ||
               options.find(",ignorecase,") != std::string::npos;
    }
    return false;
}

namespace {

constexpr long kFuseMagic = 0x65735546;

/// Asks the directory itself: a name from it with its letters' case swapped,
/// which the listing does not hold, leads to a file only where the file
/// system folds case. A directory
/// that holds two names differing only in case cannot fold; one without a
/// name holding a letter says nothing, and is taken as not folding.
bool NamesFoldInDirectory(int dirFd) {
    const int listFd = ::dup(dirFd);
    if (listFd < 0)
        return false;
    DIR* dir = ::fdopendir(listFd);
    if (!dir) {
        ::close(listFd);
        return false;
    }
    std::unordered_set<std::string> names;
    while (const dirent* e = ::readdir(dir)) {
        const std::string_view name = e->d_name;
        if (name != "." && name != "..")
            names.emplace(name);
    }
    ::closedir(dir);
    auto swapped = [](std::string name) {
        for (char& c : name)
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 'a' + 'A');
            else if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        return name;
    };
    for (const std::string& name : names)
        if (names.count(swapped(name)) && swapped(name) != name)
            return false;
    for (const std::string& name : names) {
        const std::string other = swapped(name);
        if (other == name)
            continue;
        struct stat self {}, twin {};
        if (::fstatat(dirFd, name.c_str(), &self, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (::fstatat(dirFd, other.c_str(), &twin, AT_SYMLINK_NOFOLLOW) != 0)
            return false;
        // Found under a name the listing lacks: the same entry, looked up
        // without regard to case. (A file system in user space may number a
        // file anew for each name it is looked up by, so the inodes need not
        // match; what the entry holds must.)
        return (self.st_mode & S_IFMT) == (twin.st_mode & S_IFMT) &&
               self.st_size == twin.st_size && self.st_mtim.tv_sec == twin.st_mtim.tv_sec &&
               self.st_mtim.tv_nsec == twin.st_mtim.tv_nsec;
    }
    return false;
}

} // namespace

bool FoldsCase(const std::string& hostDir) {
    struct statfs fs {};
    if (::statfs(hostDir.c_str(), &fs) != 0)
        return false;
    if (fs.f_type == MSDOS_SUPER_MAGIC || fs.f_type == static_cast<long>(EXFAT_SUPER_MAGIC))
        return true;
    const int fd = ::open(hostDir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    int flags = 0;
    const bool folded = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 && (flags & FS_CASEFOLD_FL);
    struct stat st {};
    const bool statted = ::fstat(fd, &st) == 0;
    if (folded) {
        ::close(fd);
        return true;
    }
    // A file system in user space (exFAT, NTFS or a folding overlay through
    // FUSE) says nothing of its rules in its type or options: ask its names.
    if (fs.f_type == kFuseMagic) {
        const bool answer = NamesFoldInDirectory(fd);
        ::close(fd);
        return answer;
    }
    ::close(fd);
    if (!statted)
        return false;
    std::ifstream in("/proc/self/mountinfo");
    std::stringstream text;
    text << in.rdbuf();
    return MountFoldsCase(ParseMountOptions(text.str()), std::to_string(major(st.st_dev)) + ":" +
                                                             std::to_string(minor(st.st_dev)));
}

} // namespace zentrix::platform
