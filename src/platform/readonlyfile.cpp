#include "platform/readonlyfile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zentrix::platform {

static_assert(AT_FDCWD == -100, "ReadOnlyFile::Open passes AT_FDCWD by value");

ReadOnlyFile::OpenResult ReadOnlyFile::OpenAt(int dirFd, const char* name, bool listedRegular) {
    Close();
    m_error = 0;
    struct stat st {};
    // A name that cannot be reached because it is a link to nothing.
    auto failed = [&](int error) {
        m_error = error;
        struct stat self {};
        if ((error == ENOENT || error == ELOOP) &&
            ::fstatat(dirFd, name, &self, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(self.st_mode))
            return OpenResult::DanglingLink;
        return OpenResult::Failed;
    };
    if (!listedRegular) {
        if (::fstatat(dirFd, name, &st, 0) != 0)
            return failed(errno);
        if (!S_ISREG(st.st_mode))
            return OpenResult::NotRegular;
    }
    // O_NONBLOCK: should the name have become a FIFO since it was looked at,
    // the open still returns at once; the check after it refuses the file.
    const int fd = ::openat(dirFd, name, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return failed(errno);
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return OpenResult::NotRegular;
    }
    m_fd = fd;
    m_size = static_cast<unsigned long long>(st.st_size);
    return OpenResult::Opened;
}

long ReadOnlyFile::Read(char* buffer, size_t size) {
    if (m_fd < 0) {
        m_error = EBADF;
        return -1;
    }
    for (;;) {
        const ssize_t n = ::read(m_fd, buffer, size);
        if (n >= 0)
            return static_cast<long>(n);
        if (errno == EINTR)
            continue;
        m_error = errno;
        return -1;
    }
}

void ReadOnlyFile::Close() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_size = 0;
}

} // namespace zentrix::platform
