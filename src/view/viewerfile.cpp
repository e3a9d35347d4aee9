#include "view/viewerfile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zentrix {

std::unique_ptr<ViewerFile> ViewerFile::Open(const std::string& hostPath, std::string* error) {
    // O_NONBLOCK: a FIFO given by mistake must not hang the window on open.
    const int fd = ::open(hostPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (error)
            *error = std::strerror(errno);
        return nullptr;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        if (error)
            *error = S_ISDIR(st.st_mode) ? "Is a directory" : "Not a regular file";
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<ViewerFile>(new ViewerFile(fd, hostPath, st.st_size));
}

ViewerFile::~ViewerFile() {
    if (m_fd >= 0)
        ::close(m_fd);
}

int64_t ViewerFile::RefreshSize() {
    struct stat st {};
    if (::fstat(m_fd, &st) == 0)
        m_size = st.st_size;
    return m_size;
}

size_t ViewerFile::Read(int64_t offset, void* buffer, size_t count) const {
    if (offset < 0)
        return 0;
    size_t done = 0;
    auto* out = static_cast<char*>(buffer);
    while (done < count) {
        const ssize_t n =
            ::pread(m_fd, out + done, count - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<size_t>(n);
    }
    return done;
}

} // namespace zentrix
