#include "platform/subdirhint.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <string>
#include <sys/stat.h>
#include <sys/vfs.h>

namespace zentrix::platform {
namespace {

// The file systems whose directory link counts are 2 + subdirectories.
bool countsSubdirs(decltype(statfs::f_type) type) {
    constexpr decltype(statfs::f_type) kF2fs = 0xF2F52010;
    constexpr decltype(statfs::f_type) kJfs = 0x3153464a;
    switch (type) {
    case EXT4_SUPER_MAGIC: // also ext2 and ext3
    case XFS_SUPER_MAGIC:
    case TMPFS_MAGIC:
    case RAMFS_MAGIC:
    case REISERFS_SUPER_MAGIC:
    case kF2fs:
    case kJfs:
        return true;
    default:
        return false;
    }
}

} // namespace

SubdirHint::SubdirHint(int dirFd) : m_fd(dirFd) {
    struct statfs fs {};
    struct stat st {};
    if (dirFd < 0 || ::fstatfs(dirFd, &fs) != 0 || ::fstat(dirFd, &st) != 0)
        return;
    m_trusted = countsSubdirs(fs.f_type);
    m_device = st.st_dev;
}

bool SubdirHint::MayHaveSubdirs(std::string_view hostName) const {
    if (!m_trusted)
        return true;
    struct stat st {};
    const std::string name(hostName);
    if (::fstatat(m_fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return true;
    // A link, or another file system mounted here: what it holds is not told
    // by this count.
    if (!S_ISDIR(st.st_mode) || st.st_dev != m_device)
        return true;
    return st.st_nlink != 2;
}

} // namespace zentrix::platform
