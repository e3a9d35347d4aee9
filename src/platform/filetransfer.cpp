#include "platform/filetransfer.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <random>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/xattr.h>
#include <unistd.h>

#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE (1 << 0)
#endif

namespace zentrix::platform {
namespace {

// Large enough that a 64 MiB file takes a handful of calls, small enough that
// a cancel is seen within a fraction of a second on slow media.
constexpr size_t kRangeChunk = 8 * 1024 * 1024;
constexpr size_t kBufferSize = 1024 * 1024;

class Fd {
public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    ~Fd() { reset(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }
    void reset(int fd = -1) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }

private:
    int m_fd;
};

EntryKind kindOf(mode_t mode) {
    if (S_ISREG(mode))
        return EntryKind::Regular;
    if (S_ISDIR(mode))
        return EntryKind::Directory;
    if (S_ISLNK(mode))
        return EntryKind::Symlink;
    if (S_ISFIFO(mode))
        return EntryKind::Fifo;
    if (S_ISSOCK(mode))
        return EntryKind::Socket;
    if (S_ISCHR(mode))
        return EntryKind::CharDevice;
    return EntryKind::BlockDevice;
}

void fill(const struct stat& s, EntryStat& st) {
    st.kind = kindOf(s.st_mode);
    st.size = static_cast<uint64_t>(s.st_size);
    st.mtimeSec = s.st_mtim.tv_sec;
    st.mtimeNsec = s.st_mtim.tv_nsec;
    st.ctimeSec = s.st_ctim.tv_sec;
    st.ctimeNsec = s.st_ctim.tv_nsec;
    st.device = s.st_dev;
    st.inode = s.st_ino;
    st.links = s.st_nlink;
    st.mode = s.st_mode & 07777;
}

int renameAt(int fromDir, const char* from, int toDir, const char* to, bool replace) {
    if (replace)
        return ::renameat(fromDir, from, toDir, to) == 0 ? 0 : errno;
    if (::syscall(SYS_renameat2, fromDir, from, toDir, to, RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // File systems without the flag: a hard link cannot replace anything; where
    // links are refused too, look before renaming (a narrow race remains, but
    // an existing entry is never replaced knowingly).
    if (::linkat(fromDir, from, toDir, to, 0) == 0) {
        ::unlinkat(fromDir, from, 0);
        return 0;
    }
    if (errno == EEXIST)
        return EEXIST;
    struct stat st {};
    if (::fstatat(toDir, to, &st, AT_SYMLINK_NOFOLLOW) == 0)
        return EEXIST;
    return ::renameat(fromDir, from, toDir, to) == 0 ? 0 : errno;
}

std::string temporaryName() {
    thread_local std::mt19937_64 random{std::random_device{}()};
    char name[40];
    std::snprintf(name, sizeof name, ".zentrix-%016llx.part",
                  static_cast<unsigned long long>(random()));
    return name;
}

bool startsWith(const char* text, const char* prefix) {
    return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

/// The extended attributes a copy keeps: the user's, the security labels and
/// capabilities, the access control lists (the default one only on a
/// directory) and, for root, the trusted ones. Returns false when the target
/// refused any of them (its file system has no room for them, or the caller
/// lacks the right); the others are kept all the same.
bool copyExtendedAttributes(int from, int to, bool directory) {
    static const bool root = ::geteuid() == 0;
    std::vector<char> names(4096);
    ssize_t length;
    while ((length = ::flistxattr(from, names.data(), names.size())) < 0 && errno == ERANGE) {
        const ssize_t needed = ::flistxattr(from, nullptr, 0);
        if (needed <= 0)
            return true;
        names.resize(static_cast<size_t>(needed));
    }
    if (length <= 0)
        return true;
    bool kept = true;
    std::vector<char> value(1024);
    for (ssize_t i = 0; i < length;) {
        const char* name = names.data() + i;
        i += static_cast<ssize_t>(std::strlen(name)) + 1;
        const bool wanted = startsWith(name, "user.") || startsWith(name, "security.") ||
                            std::strcmp(name, "system.posix_acl_access") == 0 ||
                            (directory && std::strcmp(name, "system.posix_acl_default") == 0) ||
                            (root && startsWith(name, "trusted."));
        if (!wanted)
            continue;
        ssize_t size = ::fgetxattr(from, name, value.data(), value.size());
        if (size < 0 && errno == ERANGE) {
            const ssize_t needed = ::fgetxattr(from, name, nullptr, 0);
            if (needed <= 0)
                continue;
            value.resize(static_cast<size_t>(needed));
            size = ::fgetxattr(from, name, value.data(), value.size());
        }
        if (size >= 0 && ::fsetxattr(to, name, value.data(), static_cast<size_t>(size), 0) != 0)
            kept = false;
    }
    return kept;
}

void noteLost(bool kept, bool* lost) {
    if (!kept && lost)
        *lost = true;
}

// Owner (where permitted), mode and times; the mode after the owner, since a
// change of owner clears set-id bits. `made` is the mode the file was created
// with (-1: unknown): calls that would change nothing are left out.
void copyInodeFacts(int to, const struct stat& st, int made = -1) {
    static const uid_t uid = ::geteuid(); // a worker's identity does not change midway
    static const gid_t gid = ::getegid();
    const bool owned = st.st_uid == uid && st.st_gid == gid;
    if (!owned && ::fchown(to, st.st_uid, st.st_gid) != 0)
        (void)::fchown(to, static_cast<uid_t>(-1), st.st_gid);
    if (!owned || made != static_cast<int>(st.st_mode & 07777))
        ::fchmod(to, st.st_mode & 07777);
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    ::futimens(to, times);
}

// The process's umask, read without changing it.
mode_t currentUmask() {
    static const mode_t value = [] {
        mode_t mask = 022;
        if (FILE* f = std::fopen("/proc/self/status", "r")) {
            char line[128];
            while (std::fgets(line, sizeof line, f))
                if (std::sscanf(line, "Umask: %o", &mask) == 1)
                    break;
            std::fclose(f);
        }
        return mask;
    }();
    return value;
}

bool tick(const CopyOptions& options, uint64_t bytes) {
    return !options.tick || options.tick(bytes);
}

int writeAll(int fd, const char* data, size_t size, off_t offset) {
    while (size > 0) {
        const ssize_t n = ::pwrite(fd, data, size, offset);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        data += n;
        size -= static_cast<size_t>(n);
        offset += n;
    }
    return 0;
}

// Copies [start, end) of `src` to the same offsets of `dst`. `rangeOk` turns
// false (and the buffer takes over) when the kernel cannot copy between the two.
int copyRange(int src, int dst, off_t start, off_t end, bool& rangeOk, bool& shortRead,
              const CopyOptions& options, CopyMethod& method) {
    off_t pos = start;
    while (pos < end && rangeOk) {
        loff_t in = pos, out = pos;
        const size_t want = static_cast<size_t>(std::min<off_t>(end - pos, kRangeChunk));
        const ssize_t n = ::copy_file_range(src, &in, dst, &out, want, 0);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (method != CopyMethod::CopyFileRange &&
                (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP ||
                 errno == EBADF || errno == ETXTBSY || errno == EPERM)) {
                rangeOk = false;
                break;
            }
            return errno;
        }
        if (n == 0) { // the file shrank under us
            shortRead = true;
            return kSourceChanged;
        }
        method = CopyMethod::CopyFileRange;
        pos += n;
        if (!tick(options, static_cast<uint64_t>(n)))
            return ECANCELED;
    }
    if (pos >= end)
        return 0;
    thread_local std::vector<char> buffer;
    if (buffer.size() < kBufferSize)
        buffer.resize(kBufferSize);
    method = CopyMethod::Buffer;
    while (pos < end) {
        const size_t want = static_cast<size_t>(std::min<off_t>(end - pos, kBufferSize));
        const ssize_t n = ::pread(src, buffer.data(), want, pos);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0) {
            shortRead = true;
            return kSourceChanged;
        }
        if (int e = writeAll(dst, buffer.data(), static_cast<size_t>(n), pos))
            return e;
        pos += n;
        if (!tick(options, static_cast<uint64_t>(n)))
            return ECANCELED;
    }
    return 0;
}

int copyData(int src, int dst, const struct stat& st, const CopyOptions& options,
             CopyMethod& method) {
    const off_t size = st.st_size;
    if (size == 0)
        return 0;
    if (::ioctl(dst, FICLONE, src) == 0) {
        method = CopyMethod::Clone;
        return tick(options, static_cast<uint64_t>(size)) ? 0 : ECANCELED;
    }
    // Only a file with fewer blocks than bytes can have holes: others skip the
    // two seeks per file.
    bool sparse = static_cast<off_t>(st.st_blocks) * 512 < size;
    bool rangeOk = true;
    bool shortRead = false;
    off_t pos = 0;
    while (pos < size && !shortRead) {
        off_t dataStart = pos, dataEnd = size;
        if (sparse) {
            const off_t d = ::lseek(src, pos, SEEK_DATA);
            if (d < 0) {
                if (errno == ENXIO)
                    break; // nothing but a hole up to the end
                sparse = false;
            } else {
                dataStart = d;
                const off_t h = ::lseek(src, d, SEEK_HOLE);
                dataEnd = h < 0 ? size : std::min(h, size);
            }
        }
        if (dataStart >= size)
            break;
        if (int e = copyRange(src, dst, dataStart, dataEnd, rangeOk, shortRead, options, method))
            return e;
        pos = dataEnd;
    }
    if ((sparse || shortRead || pos < size) && ::ftruncate(dst, size) != 0)
        return errno;
    return 0;
}

/// Gives the file at the host path `existing` the name `toName` in `to` too;
/// an existing target is replaced only with `replace` (through a temporary
/// name, so the old one stays until the new one takes its place).
int linkExisting(const std::string& existing, const DirHandle& to, const std::string& toName,
                 bool replace) {
    if (!replace)
        return ::linkat(AT_FDCWD, existing.c_str(), to.fd(), toName.c_str(), 0) == 0 ? 0 : errno;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string temp = temporaryName();
        if (::linkat(AT_FDCWD, existing.c_str(), to.fd(), temp.c_str(), 0) != 0) {
            if (errno == EEXIST)
                continue;
            return errno;
        }
        const int e = ::renameat(to.fd(), temp.c_str(), to.fd(), toName.c_str()) == 0 ? 0 : errno;
        // A rename onto another name of the same file leaves both names.
        ::unlinkat(to.fd(), temp.c_str(), 0);
        return e;
    }
    return EEXIST;
}

} // namespace

bool SameAndUnchanged(const EntryStat& a, const EntryStat& b) {
    return a.device == b.device && a.inode == b.inode && a.size == b.size &&
           a.mtimeSec == b.mtimeSec && a.mtimeNsec == b.mtimeNsec && a.ctimeSec == b.ctimeSec &&
           a.ctimeNsec == b.ctimeNsec;
}

const std::string* HardLinkMap::Find(const EntryStat& source) const {
    const auto it = m_copies.find({source.device, source.inode});
    // A different size or time: the inode number was used again.
    if (it == m_copies.end() || it->second.size != source.size ||
        it->second.mtimeSec != source.mtimeSec || it->second.mtimeNsec != source.mtimeNsec)
        return nullptr;
    return &it->second.target;
}

void HardLinkMap::Copied(const EntryStat& source, const std::string& target) {
    if (source.links > 1)
        m_copies[{source.device, source.inode}] = {target, source.size, source.mtimeSec,
                                                   source.mtimeNsec, source.links - 1};
}

void HardLinkMap::Linked(const EntryStat& source) {
    const auto it = m_copies.find({source.device, source.inode});
    if (it != m_copies.end() && --it->second.namesLeft == 0)
        m_copies.erase(it);
}

std::string ErrorText(int error) {
    if (error == kSourceChanged)
        return "The file changed while it was being copied.";
    char buffer[256];
    return ::strerror_r(error, buffer, sizeof buffer);
}

int StatPath(const std::string& path, EntryStat& st, bool followLink) {
    struct stat s {};
    const int rc = followLink ? ::stat(path.c_str(), &s) : ::lstat(path.c_str(), &s);
    if (rc != 0) {
        st = EntryStat{};
        return errno;
    }
    fill(s, st);
    return 0;
}

std::string ResolvedPath(const std::string& path) {
    if (char* real = ::realpath(path.c_str(), nullptr)) {
        std::string out = real;
        std::free(real);
        return out;
    }
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos || path.empty())
        return path;
    const std::string parent = slash == 0 ? "/" : path.substr(0, slash);
    if (parent == path)
        return path;
    std::string base = ResolvedPath(parent);
    if (base.empty() || base.back() != '/')
        base += '/';
    return base + path.substr(slash + 1);
}

int MakePath(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
    if (errno != ENOENT)
        return errno;
    const size_t slash = path.find_last_of('/');
    if (slash != std::string::npos && slash > 0)
        if (int e = MakePath(path.substr(0, slash)))
            return e;
    if (::mkdir(path.c_str(), 0777) != 0 && errno != EEXIST)
        return errno;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
}

DirHandle::~DirHandle() {
    if (m_fd >= 0)
        ::close(m_fd);
}

DirHandle::DirHandle(DirHandle&& other) noexcept : m_fd(other.m_fd) {
    other.m_fd = -1;
}

DirHandle& DirHandle::operator=(DirHandle&& other) noexcept {
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = other.m_fd;
        other.m_fd = -1;
    }
    return *this;
}

int DirHandle::Open(const std::string& path, DirHandle& out) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    out = DirHandle(fd);
    return 0;
}

int DirHandle::OpenChild(const std::string& name, DirHandle& out) const {
    const int fd = ::openat(m_fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return errno;
    out = DirHandle(fd);
    return 0;
}

int DirHandle::Stat(const std::string& name, EntryStat& st) const {
    struct stat s {};
    if (::fstatat(m_fd, name.c_str(), &s, AT_SYMLINK_NOFOLLOW) != 0) {
        st = EntryStat{};
        return errno;
    }
    fill(s, st);
    return 0;
}

int DirHandle::List(std::vector<std::string>& names) const {
    std::vector<std::pair<std::string, EntryKind>> entries;
    const int e = List(entries);
    names.clear();
    names.reserve(entries.size());
    for (auto& entry : entries)
        names.push_back(std::move(entry.first));
    return e;
}

int DirHandle::List(std::vector<std::pair<std::string, EntryKind>>& entries) const {
    entries.clear();
    // A descriptor of its own, so the walk's position is not shared.
    const int fd = ::openat(m_fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        const int e = errno;
        ::close(fd);
        return e;
    }
    errno = 0;
    while (struct dirent* entry = ::readdir(dir)) {
        const char* n = entry->d_name;
        if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0)))
            continue;
        EntryKind kind = EntryKind::Missing;
        switch (entry->d_type) {
        case DT_REG:
            kind = EntryKind::Regular;
            break;
        case DT_DIR:
            kind = EntryKind::Directory;
            break;
        case DT_LNK:
            kind = EntryKind::Symlink;
            break;
        case DT_FIFO:
            kind = EntryKind::Fifo;
            break;
        case DT_SOCK:
            kind = EntryKind::Socket;
            break;
        case DT_CHR:
            kind = EntryKind::CharDevice;
            break;
        case DT_BLK:
            kind = EntryKind::BlockDevice;
            break;
        default:
            break;
        }
        entries.emplace_back(n, kind);
    }
    const int e = errno;
    ::closedir(dir);
    return e;
}

int DirHandle::MakeDir(const std::string& name, unsigned mode) const {
    return ::mkdirat(m_fd, name.c_str(), mode) == 0 ? 0 : errno;
}

int DirHandle::RemoveFile(const std::string& name) const {
    return ::unlinkat(m_fd, name.c_str(), 0) == 0 ? 0 : errno;
}

int DirHandle::RemoveDir(const std::string& name) const {
    return ::unlinkat(m_fd, name.c_str(), AT_REMOVEDIR) == 0 ? 0 : errno;
}

int DirHandle::RemoveTree(const std::string& name) const {
    DirHandle child;
    if (int e = OpenChild(name, child)) {
        if (e == ENOTDIR || e == ELOOP)
            return RemoveFile(name); // a link or a file: it goes, its target stays
        return e;
    }
    std::vector<std::string> names;
    int first = child.List(names);
    for (const std::string& n : names) {
        EntryStat st;
        int e = child.Stat(n, st);
        if (e == 0)
            e = st.kind == EntryKind::Directory ? child.RemoveTree(n) : child.RemoveFile(n);
        if (e && e != ENOENT && !first)
            first = e;
    }
    const int e = RemoveDir(name);
    return first ? first : e;
}

int DirHandle::Rename(const std::string& name, const DirHandle& to, const std::string& toName,
                      bool replace) const {
    return renameAt(m_fd, name.c_str(), to.m_fd, toName.c_str(), replace);
}

int DirHandle::Sync() const {
    return ::fsync(m_fd) == 0 ? 0 : errno;
}

int DirHandle::SyncFileSystem() const {
    return ::syncfs(m_fd) == 0 ? 0 : errno;
}

size_t DirHandle::NameMax() const {
    const long max = ::fpathconf(m_fd, _PC_NAME_MAX);
    return max > 0 ? static_cast<size_t>(max) : NAME_MAX;
}

int CopyRegularFile(const DirHandle& from, const std::string& name, const DirHandle& to,
                    const std::string& toName, const CopyOptions& options) {
    CopyMethod methodStore = CopyMethod::None;
    CopyMethod& method = options.method ? *options.method : methodStore;
    method = CopyMethod::None;
    // Non-blocking and never through a link: should the entry have turned into
    // a FIFO since it was listed, the open does not hang.
    Fd src(::openat(from.fd(), name.c_str(),
                    O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (src.get() < 0)
        return errno;
    struct stat st {};
    if (::fstat(src.get(), &st) != 0)
        return errno;
    if (!S_ISREG(st.st_mode))
        return EINVAL;
    EntryStat source;
    fill(st, source);
    if (options.copied)
        *options.copied = source;
    struct stat existing {};
    if (!options.replace && ::fstatat(to.fd(), toName.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0)
        return EEXIST; // before the work, not only at the end

    // Another name of a file copied before: a name of that copy. Where the
    // target cannot have it (another file system, a link limit), a copy.
    if (options.hardLinks)
        if (const std::string* first = options.hardLinks->Find(source)) {
            const int e = linkExisting(*first, to, toName, options.replace);
            if (e == 0) {
                options.hardLinks->Linked(source);
                method = CopyMethod::Link;
                if (options.sync && ::fsync(to.fd()) != 0)
                    return errno;
                return tick(options, 0) ? 0 : ECANCELED;
            }
            if (e == EEXIST)
                return e;
        }

    // An unnamed file vanishes by itself when the process dies. It is made with
    // its final permissions where the umask allows (it has no name to be found
    // by); otherwise private until the mode is set.
    const mode_t wanted = st.st_mode & 0777;
    const mode_t initial = (wanted & ~currentUmask()) == wanted ? wanted : 0600;
    Fd dst(::openat(to.fd(), ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, initial));
    std::string tempName;
    if (dst.get() < 0) {
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL && errno != ENOENT)
            return errno;
        for (int attempt = 0; attempt < 100 && dst.get() < 0; ++attempt) {
            tempName = temporaryName();
            dst.reset(::openat(to.fd(), tempName.c_str(),
                               O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
            if (dst.get() < 0 && errno != EEXIST)
                return errno;
        }
        if (dst.get() < 0)
            return EEXIST;
    }
    auto fail = [&](int error) {
        if (!tempName.empty())
            ::unlinkat(to.fd(), tempName.c_str(), 0);
        return error;
    };

    if (int e = copyData(src.get(), dst.get(), st, options, method))
        return fail(e);
    copyInodeFacts(dst.get(), st, tempName.empty() ? static_cast<int>(initial) : 0600);
    // After the owner: a change of owner drops security.capability.
    noteLost(copyExtendedAttributes(src.get(), dst.get(), false), options.attributesLost);
    // Fewer bytes than the source had when the copy began, or (for a move) a
    // source written to meanwhile: the copy is not the source's.
    struct stat now {};
    if (::fstat(src.get(), &now) != 0)
        return fail(errno);
    EntryStat after;
    fill(now, after);
    if (after.size < source.size || (options.verify && !SameAndUnchanged(source, after)))
        return fail(kSourceChanged);
    // The data reaches the disk before the file takes the name of one it
    // replaces: after a crash the name holds the old file or the new, whole.
    if ((options.sync || options.replace) && ::fsync(dst.get()) != 0)
        return fail(errno);

    if (tempName.empty()) {
        char proc[64];
        std::snprintf(proc, sizeof proc, "/proc/self/fd/%d", dst.get());
        auto linkAs = [&](const std::string& target) {
            if (::linkat(AT_FDCWD, proc, to.fd(), target.c_str(), AT_SYMLINK_FOLLOW) == 0)
                return 0;
            if (errno != ENOENT)
                return errno;
            // No /proc: naming by descriptor needs a privilege, but may work.
            return ::linkat(dst.get(), "", to.fd(), target.c_str(), AT_EMPTY_PATH) == 0 ? 0 : errno;
        };
        if (!options.replace) {
            if (int e = linkAs(toName))
                return e;
        } else {
            // Named first beside the target, then renamed over it: the old
            // file stays whole until the new one is complete.
            int e = EEXIST;
            for (int attempt = 0; attempt < 100 && e == EEXIST; ++attempt) {
                tempName = temporaryName();
                e = linkAs(tempName);
            }
            if (e) {
                tempName.clear();
                return e;
            }
            if (::renameat(to.fd(), tempName.c_str(), to.fd(), toName.c_str()) != 0)
                return fail(errno);
        }
    } else if (int e =
                   renameAt(to.fd(), tempName.c_str(), to.fd(), toName.c_str(), options.replace)) {
        return fail(e);
    }
    if (options.sync && ::fsync(to.fd()) != 0)
        return errno;
    if (options.hardLinks && !options.targetPath.empty())
        options.hardLinks->Copied(source, options.targetPath);
    return 0;
}

int CopySymlink(const DirHandle& from, const std::string& name, const DirHandle& to,
                const std::string& toName, bool replace) {
    struct stat st {};
    if (::fstatat(from.fd(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno;
    if (!S_ISLNK(st.st_mode))
        return EINVAL;
    std::vector<char> target(static_cast<size_t>(std::max<off_t>(st.st_size, 255)) + 1);
    ssize_t n;
    while ((n = ::readlinkat(from.fd(), name.c_str(), target.data(), target.size())) ==
           static_cast<ssize_t>(target.size()))
        target.resize(target.size() * 2);
    if (n < 0)
        return errno;
    target[static_cast<size_t>(n)] = 0;
    std::string made = toName;
    if (replace)
        made = temporaryName();
    if (::symlinkat(target.data(), to.fd(), made.c_str()) != 0)
        return errno;
    if (replace && ::renameat(to.fd(), made.c_str(), to.fd(), toName.c_str()) != 0) {
        const int e = errno;
        ::unlinkat(to.fd(), made.c_str(), 0);
        return e;
    }
    (void)::fchownat(to.fd(), toName.c_str(), st.st_uid, st.st_gid, AT_SYMLINK_NOFOLLOW);
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    ::utimensat(to.fd(), toName.c_str(), times, AT_SYMLINK_NOFOLLOW);
    return 0;
}

int CopySpecialFile(const DirHandle& from, const std::string& name, const DirHandle& to,
                    const std::string& toName, bool replace) {
    struct stat st {};
    if (::fstatat(from.fd(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno;
    if (!S_ISFIFO(st.st_mode) && !S_ISSOCK(st.st_mode) && !S_ISCHR(st.st_mode) &&
        !S_ISBLK(st.st_mode))
        return EINVAL;
    std::string made = replace ? temporaryName() : toName;
    if (::mknodat(to.fd(), made.c_str(), st.st_mode, st.st_rdev) != 0)
        return errno;
    if (replace && ::renameat(to.fd(), made.c_str(), to.fd(), toName.c_str()) != 0) {
        const int e = errno;
        ::unlinkat(to.fd(), made.c_str(), 0);
        return e;
    }
    if (::fchownat(to.fd(), toName.c_str(), st.st_uid, st.st_gid, AT_SYMLINK_NOFOLLOW) != 0)
        (void)::fchownat(to.fd(), toName.c_str(), static_cast<uid_t>(-1), st.st_gid,
                         AT_SYMLINK_NOFOLLOW);
    ::fchmodat(to.fd(), toName.c_str(), st.st_mode & 07777, 0);
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    ::utimensat(to.fd(), toName.c_str(), times, AT_SYMLINK_NOFOLLOW);
    return 0;
}

int CopyDirectoryMetadata(const DirHandle& from, const std::string& name, const DirHandle& to,
                          bool* attributesLost) {
    DirHandle source;
    if (int e = from.OpenChild(name, source))
        return e;
    struct stat st {};
    if (::fstat(source.fd(), &st) != 0)
        return errno;
    copyInodeFacts(to.fd(), st);
    noteLost(copyExtendedAttributes(source.fd(), to.fd(), true), attributesLost);
    return 0;
}

} // namespace zentrix::platform
