#include "platform/dirlisting.h"

#include "platform/filetime.h"
#include "platform/hostname.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
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

} // namespace

DirListing::DirListing(AttrSource source, StatMode mode, bool checkSearchAtOpen)
    : m_source(source), m_mode(mode), m_checkSearchAtOpen(checkSearchAtOpen) {}

DirListing::~DirListing() { Close(); }

void DirListing::Close() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_buf.reset();
    m_len = m_pos = 0;
    m_eof = false;
}

bool DirListing::Open(const std::string& hostPath) {
    Close();
    m_failed = false;
    m_statted = false;
    m_fd = ::open(hostPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    return started();
}

bool DirListing::OpenAt(int parentFd, std::string_view hostName) {
    Close();
    m_failed = false;
    m_statted = false;
    const std::string name(hostName);
    m_fd = ::openat(parentFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_fd < 0 && errno == EMFILE) {
        // Out of descriptors in a very deep tree: go through the parent's path.
        const std::string path = "/proc/self/fd/" + std::to_string(parentFd) + "/" + name;
        m_fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    }
    return started();
}

bool DirListing::started() {
    if (m_fd < 0)
        return false;
    // A directory that can be read but not searched gives its names and
    // nothing else: its files' sizes and times would have to be made up. It
    // counts as one that cannot be opened, unless only names are wanted.
    if (m_checkSearchAtOpen && !Searchable()) {
        const int err = errno;
        ::close(m_fd);
        m_fd = -1;
        errno = err;
        return false;
    }
    m_buf.reset(new char[kBufferSize]);
    return true;
}

bool DirListing::Searchable() const {
    return m_mode == StatMode::None || m_statted ||
           (m_fd >= 0 && ::faccessat(m_fd, ".", X_OK, AT_EACCESS) == 0);
}

bool DirListing::fill() {
    if (m_eof || m_fd < 0)
        return false;
    const long n = ::syscall(SYS_getdents64, m_fd, m_buf.get(), kBufferSize);
    if (n <= 0) {
        m_eof = true;
        if (n < 0)
            m_failed = true;
        m_buf.reset(); // the descriptor stays open for OpenAt of children
        return false;
    }
    m_len = n;
    m_pos = 0;
    return true;
}

namespace {

// Fills an entry from the directory open as `fd`: its kind from `type` when the
// directory read gave one (DT_UNKNOWN otherwise), its size, time and attributes
// from its status as `mode` asks. False when the entry is to be left out; then
// `failed` tells whether it vanished (false) or could not be read (true).
bool describeEntry(int fd, const char* hostName, unsigned char type, AttrSource source,
                   StatMode mode, DirEntry& e, bool& failed) {
    e.size = 0;
    e.lastWriteTime = 0;
    e.isLink = false;
    failed = false;
    struct stat st; // filled by the fstatat that every path to its use goes through
    const bool isDotName = hostName[0] == '.';

    if (type == DT_DIR && mode != StatMode::All) {
        e.attributes = kAttrDirectory | (isDotName ? kAttrHidden : 0);
        return true;
    }
    if (type == DT_LNK || type == DT_UNKNOWN) {
        if (::fstatat(fd, hostName, &st, AT_SYMLINK_NOFOLLOW) != 0) {
            failed = errno != ENOENT; // else it vanished since the directory was read
            return false;
        }
        if (S_ISLNK(st.st_mode)) {
            e.isLink = true;
            struct stat target {};
            if (::fstatat(fd, hostName, &target, 0) == 0)
                st = target; // a dangling link stays a file of its own
        }
        if (S_ISDIR(st.st_mode) && mode != StatMode::All) {
            e.attributes = kAttrDirectory | (isDotName ? kAttrHidden : 0);
            return true;
        }
    } else if (mode == StatMode::None) {
        e.attributes = type == DT_REG ? kAttrArchive : 0;
        if (isDotName)
            e.attributes |= kAttrHidden;
        return true;
    } else if (::fstatat(fd, hostName, &st, AT_SYMLINK_NOFOLLOW) != 0) {
        // Vanished since the directory was read: left out. Any other failure
        // leaves the listing incomplete, which the reader is told.
        failed = errno != ENOENT;
        return false;
    }
    e.size = static_cast<uint64_t>(st.st_size);
    e.lastWriteTime = ToFileTime(st.st_mtim);
    e.attributes = (source == AttrSource::Posix || S_ISDIR(st.st_mode))
                       ? PosixAttributes(hostName, st)
                       : EntryAttributes(fd, hostName, st, source);
    if (S_ISDIR(st.st_mode))
        e.size = 0;
    return true;
}

} // namespace

bool DirListing::describe(DirEntry& e, const char* hostName, unsigned char type) {
    bool failed = false;
    if (describeEntry(m_fd, hostName, type, m_source, m_mode, e, failed)) {
        // Only a directory's own entry comes back without a status read.
        m_statted = m_statted || type != DT_DIR || m_mode == StatMode::All;
        return true;
    }
    if (failed)
        m_failed = true;
    return false;
}

EntryState DescribeEntry(int dirFd, const std::string& hostName, AttrSource source, DirEntry& e,
                         std::string& escaped) {
    bool failed = false;
    if (!describeEntry(dirFd, hostName.c_str(), DT_UNKNOWN, source, StatMode::FilesOnly, e, failed))
        return failed ? EntryState::Failed : EntryState::Gone;
    e.hostName = hostName;
    if (IsPlainHostName(e.hostName)) {
        e.name = e.hostName;
    } else {
        escaped = EscapeHostName(e.hostName);
        e.name = escaped;
    }
    return EntryState::Found;
}

bool DirListing::Next(DirEntry& e) {
    for (;;) {
        if (m_pos >= m_len && !fill())
            return false;
        auto* d = reinterpret_cast<LinuxDirent64*>(m_buf.get() + m_pos);
        m_pos += d->d_reclen;
        const char* hostName = d->d_name;
        if (!describe(e, hostName, d->d_type))
            continue;
        const size_t len = std::strlen(hostName);
        e.hostName = std::string_view(hostName, len);
        if (IsPlainHostName(e.hostName)) {
            e.name = e.hostName;
        } else {
            m_escaped = EscapeHostName(e.hostName);
            e.name = m_escaped;
        }
        return true;
    }
}

} // namespace zentrix::platform
