#include "platform/filewipe.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace zentrix::platform {
namespace {

/// Opens a regular file with no other name for writing, without following a
/// link or blocking on a FIFO; -1 with errno set otherwise (EMLINK: the file
/// has other names, whose data it must keep).
int openRegularForWriting(const std::string& hostPath) {
    const int fd = ::open(hostPath.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat st {};
    const int e = ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ? EINVAL
                  : st.st_nlink > 1                             ? EMLINK
                                                                : 0;
    if (e) {
        ::close(fd);
        errno = e;
        return -1;
    }
    return fd;
}

} // namespace

int OverwriteFile(const std::string& hostPath, size_t blockSize,
                  const std::vector<uint8_t>& passBytes, bool syncEachPass,
                  const WipeBlockHook& onBlock) {
    const int fd = openRegularForWriting(hostPath);
    if (fd < 0)
        return errno;
    struct stat st {};
    ::fstat(fd, &st);
    const uint64_t length = static_cast<uint64_t>(std::max<off_t>(st.st_size, 0));
    blockSize = std::max<size_t>(blockSize, 1);
    // One heap buffer for the file, filled anew for each pass.
    const std::unique_ptr<uint8_t[]> buffer(new uint8_t[blockSize]);
    for (size_t pass = 0; pass < passBytes.size(); ++pass) {
        std::fill(buffer.get(), buffer.get() + blockSize, passBytes[pass]);
        uint64_t offset = 0;
        do {
            const size_t block =
                static_cast<size_t>(std::min<uint64_t>(blockSize, length - offset));
            if (block > 0)
                (void)!::pwrite(fd, buffer.get(), block, static_cast<off_t>(offset));
            if (onBlock)
                onBlock(static_cast<int>(pass), block);
            offset += block;
        } while (offset < length);
        if (syncEachPass)
            ::fdatasync(fd);
    }
    if (!syncEachPass)
        ::fdatasync(fd);
    ::close(fd);
    return 0;
}

int TruncateFile(const std::string& hostPath) {
    const int fd = openRegularForWriting(hostPath);
    if (fd < 0)
        return errno;
    const int result = ::ftruncate(fd, 0) == 0 ? 0 : errno;
    ::close(fd);
    return result;
}

int RemoveFileEntry(const std::string& hostPath) {
    struct stat st {};
    if (::lstat(hostPath.c_str(), &st) != 0)
        return errno;
    if (S_ISDIR(st.st_mode))
        return EISDIR;
    return ::unlink(hostPath.c_str()) == 0 ? 0 : errno;
}

} // namespace zentrix::platform
