#include "platform/atomicfile.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zentrix::platform {
namespace {

std::string reason(int err) {
    return std::strerror(err);
}

std::string parentOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool writeAll(int fd, const std::string& content) {
    size_t done = 0;
    while (done < content.size()) {
        const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

} // namespace

std::optional<std::string> ReadWholeFile(const std::string& path, size_t maxBytes, Links links) {
    // Non-blocking, so that a FIFO is refused by the check below, not waited on.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK |
                                            (links == Links::Refuse ? O_NOFOLLOW : 0));
    if (fd < 0)
        return std::nullopt;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        static_cast<unsigned long long>(st.st_size) > maxBytes) {
        ::close(fd);
        return std::nullopt;
    }
    std::string content;
    char buf[16384];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0)
            break;
        content.append(buf, static_cast<size_t>(n));
        if (content.size() > maxBytes) {
            ::close(fd);
            return std::nullopt;
        }
    }
    ::close(fd);
    return content;
}

bool MakeDirectories(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode);
    const std::string parent = parentOf(path);
    if (parent != path && !MakeDirectories(parent))
        return false;
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        return false;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string LinkTarget(const std::string& path) {
    struct stat link {};
    if (::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
        if (char* real = ::realpath(path.c_str(), nullptr)) {
            std::string target = real;
            std::free(real);
            return target;
        }
    }
    return path;
}

void WriteFileAtomically(const std::string& requestedPath, const std::string& content,
                         unsigned newFileMode, Links links) {
    // A settings file that is a link into the user's dotfiles stays a link: the
    // file it points at is replaced.
    const std::string path = links == Links::Follow ? LinkTarget(requestedPath) : requestedPath;
    const std::string dir = parentOf(path);
    if (!MakeDirectories(dir))
        throw FileWriteError(path, "the directory " + dir + " cannot be created");

    std::string tmp = path + ".XXXXXX";
    const int fd = ::mkstemp(tmp.data());
    if (fd < 0)
        throw FileWriteError(path, reason(errno));

    // A replaced file keeps its permissions (a link that is replaced has none).
    struct stat old {};
    const mode_t mode = ::lstat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode)
                            ? (old.st_mode & 07777)
                            : static_cast<mode_t>(newFileMode);
    ::fchmod(fd, mode);

    if (!writeAll(fd, content) || ::fsync(fd) != 0) {
        const int err = errno;
        ::close(fd);
        ::unlink(tmp.c_str());
        throw FileWriteError(path, reason(err));
    }
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(tmp.c_str());
        throw FileWriteError(path, reason(err));
    }
    if (::rename(tmp.c_str(), path.c_str()) != 0) {
        const int err = errno;
        ::unlink(tmp.c_str());
        throw FileWriteError(path, reason(err));
    }
    // The rename itself must reach the disk too; a directory that cannot be
    // synced (some network file systems) does not make the write a failure.
    const int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
}

} // namespace zentrix::platform
