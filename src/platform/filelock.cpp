#include "platform/filelock.h"

#include "platform/atomicfile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace zentrix::platform {
namespace {

std::string parentOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

FileLock::FileLock(const std::string& path, std::chrono::milliseconds patience) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    MakeDirectories(parentOf(path));
    for (;;) {
        // Some network file systems lock only what is open for writing; a file
        // the user made read-only can still be locked for reading.
        int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOCTTY, 0600);
        if (fd < 0 && errno == EACCES)
            fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
        if (fd < 0)
            throw FileWriteError(path, std::strerror(errno));
        int locked = -1;
        while ((locked = ::flock(fd, LOCK_EX | LOCK_NB)) != 0 &&
               (errno == EWOULDBLOCK || errno == EINTR) &&
               std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        if (locked != 0) {
            const int err = errno;
            ::close(fd);
            if (err == EWOULDBLOCK || err == EINTR)
                throw FileWriteError(path, "another program keeps the file locked");
            return; // a file system without locks: the write is still atomic
        }
        // The previous holder may have renamed a new file over the one we
        // waited for: then the lock guards nothing and must be taken again.
        struct stat held {
        }, named{};
        if (::fstat(fd, &held) == 0 && ::stat(path.c_str(), &named) == 0 &&
            held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
            m_fd = fd;
            return;
        }
        ::close(fd);
        if (std::chrono::steady_clock::now() >= deadline)
            throw FileWriteError(path, "another program keeps replacing the file");
    }
}

FileLock::~FileLock() {
    if (m_fd >= 0)
        ::close(m_fd); // closing the last descriptor releases the lock
}

} // namespace zentrix::platform
