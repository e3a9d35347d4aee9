#include "platform/statlisting.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace zentrix::platform {
namespace {

constexpr size_t kBufferSize = 64 * 1024;

struct LinuxDirent64 {
    ino64_t d_ino;
    off64_t d_off;
    unsigned short d_reclen;
    unsigned char d_type;
    char d_name[1];
};

constexpr int kDirFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

} // namespace

FileSystemFigures QueryFileSystem(const std::string& hostPath) {
    FileSystemFigures figures;
    struct statvfs vfs {};
    if (::statvfs(hostPath.c_str(), &vfs) != 0)
        return figures;
    figures.known = true;
    figures.blockSize = vfs.f_bsize;
    figures.totalBytes = static_cast<uint64_t>(vfs.f_blocks) * vfs.f_frsize;
    figures.usedBytes =
        static_cast<uint64_t>(vfs.f_blocks - std::min(vfs.f_blocks, vfs.f_bfree)) * vfs.f_frsize;
    struct statfs fs {};
    constexpr long kIso9660Magic = 0x9660;
    constexpr long kUdfMagic = 0x15013346;
    if (::statfs(hostPath.c_str(), &fs) == 0)
        figures.readOnlyMedium = fs.f_type == kIso9660Magic || fs.f_type == kUdfMagic;
    return figures;
}

StatListing::StatListing() = default;

StatListing::~StatListing() {
    Close();
}

void StatListing::Close() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_len = m_pos = 0;
    m_eof = false;
}

bool StatListing::opened(int fd) {
    if (fd < 0)
        return false;
    m_fd = fd;
    if (!m_buf)
        m_buf.reset(new char[kBufferSize]);
    return true;
}

bool StatListing::Open(const std::string& hostPath) {
    Close();
    return opened(::open(hostPath.c_str(), kDirFlags));
}

bool StatListing::OpenAt(int parentFd, std::string_view hostName) {
    Close();
    const std::string name(hostName);
    int fd = ::openat(parentFd, name.c_str(), kDirFlags);
    if (fd < 0 && errno == EMFILE) {
        // Out of descriptors: go through the parent's path instead.
        const std::string path = "/proc/self/fd/" + std::to_string(parentFd) + "/" + name;
        fd = ::open(path.c_str(), kDirFlags);
    }
    return opened(fd);
}

bool StatListing::Next(StatEntry& e) {
    for (;;) {
        if (m_pos >= m_len) {
            if (m_eof || m_fd < 0)
                return false;
            const long n = ::syscall(SYS_getdents64, m_fd, m_buf.get(), kBufferSize);
            if (n <= 0) {
                m_eof = true;
                return false;
            }
            m_len = n;
            m_pos = 0;
        }
        auto* d = reinterpret_cast<LinuxDirent64*>(m_buf.get() + m_pos);
        m_pos += d->d_reclen;
        const char* name = d->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
            continue;
        e.hostName = std::string_view(name, std::strlen(name));
        e.size = e.allocated = 0;
        e.mtime = 0;
        e.inode = d->d_ino;
        e.device = 0;
        e.links = 1;
        if (d->d_type == DT_DIR) {
            // A directory's own figures count for nothing here: no stat.
            e.type = StatEntry::Type::Directory;
            return true;
        }
        struct stat st {};
        if (::fstatat(m_fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue; // gone since the directory was read
        e.type = S_ISDIR(st.st_mode)   ? StatEntry::Type::Directory
                 : S_ISREG(st.st_mode) ? StatEntry::Type::Regular
                 : S_ISLNK(st.st_mode) ? StatEntry::Type::Link
                                       : StatEntry::Type::Other;
        e.size = st.st_size > 0 ? static_cast<uint64_t>(st.st_size) : 0;
        e.allocated = static_cast<uint64_t>(st.st_blocks) * 512;
        e.mtime = static_cast<int64_t>(st.st_mtim.tv_sec);
        e.inode = static_cast<uint64_t>(st.st_ino);
        e.device = static_cast<uint64_t>(st.st_dev);
        e.links = static_cast<uint32_t>(st.st_nlink);
        return true;
    }
}

} // namespace zentrix::platform
