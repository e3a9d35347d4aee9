#include "platform/appendfile.h"

#include "platform/atomicfile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zentrix::platform {
namespace {

/// Writes all of `data` at the descriptor's end; 0 or the errno.
int writeAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            return ENOSPC;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return 0;
}

class Flock {
public:
    explicit Flock(int fd) : m_fd(fd) {
        while (::flock(m_fd, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
    ~Flock() { ::flock(m_fd, LOCK_UN); }
    Flock(const Flock&) = delete;
    Flock& operator=(const Flock&) = delete;

private:
    int m_fd;
};

} // namespace

AppendFile::~AppendFile() {
    Close();
}

void AppendFile::Close() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

int AppendFile::Open(const std::string& path) {
    Close();
    const size_t slash = path.find_last_of('/');
    if (slash != std::string::npos && slash > 0)
        MakeDirectories(path.substr(0, slash));
    m_fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    return m_fd >= 0 ? 0 : errno;
}

int AppendFile::Append(const std::string& bytes, const std::string& header, uint64_t& begin,
                       uint64_t& end) {
    if (m_fd < 0)
        return EBADF;
    Flock lock(m_fd);
    struct stat st {};
    if (::fstat(m_fd, &st) != 0)
        return errno;
    const auto before = static_cast<uint64_t>(st.st_size);
    int e = 0;
    if (before == 0 && !header.empty())
        e = writeAll(m_fd, header.data(), header.size());
    const uint64_t start = before == 0 ? header.size() : before;
    if (e == 0)
        e = writeAll(m_fd, bytes.data(), bytes.size());
    if (e != 0) {
        // No half record stays behind.
        if (::ftruncate(m_fd, static_cast<off_t>(before)) != 0) {
        }
        return e;
    }
    begin = start;
    end = start + bytes.size();
    return 0;
}

int AppendFile::Sync() {
    if (m_fd < 0)
        return EBADF;
    return ::fdatasync(m_fd) == 0 ? 0 : errno;
}

int TruncateFileTo(const std::string& path, uint64_t size) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return errno;
    int e = 0;
    {
        Flock lock(fd);
        if (::ftruncate(fd, static_cast<off_t>(size)) != 0)
            e = errno;
    }
    ::close(fd);
    return e;
}

std::optional<std::string> ReadFileRange(const std::string& path, uint64_t begin, uint64_t end) {
    if (end < begin)
        return std::nullopt;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return std::nullopt;
    std::string out(end - begin, '\0');
    size_t done = 0;
    while (done < out.size()) {
        const ssize_t n =
            ::pread(fd, out.data() + done, out.size() - done, static_cast<off_t>(begin + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<size_t>(n);
    }
    ::close(fd);
    if (done != out.size())
        return std::nullopt;
    return out;
}

} // namespace zentrix::platform
