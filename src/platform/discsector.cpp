#include "platform/discsector.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zentrix::platform {

std::optional<std::string> ReadDiscSector(const std::string& deviceOrImage, uint64_t sector) {
    if (deviceOrImage.empty() || deviceOrImage[0] != '/')
        return std::nullopt;
    struct stat before {};
    if (::stat(deviceOrImage.c_str(), &before) != 0 ||
        !(S_ISREG(before.st_mode) || S_ISBLK(before.st_mode)))
        return std::nullopt;
    const int fd = ::open(deviceOrImage.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return std::nullopt;
    struct stat opened {};
    std::optional<std::string> result;
    if (::fstat(fd, &opened) == 0 && (S_ISREG(opened.st_mode) || S_ISBLK(opened.st_mode))) {
        std::string bytes(kDiscSectorBytes, '\0');
        size_t got = 0;
        const off_t at = static_cast<off_t>(sector * kDiscSectorBytes);
        while (got < bytes.size()) {
            const ssize_t n =
                ::pread(fd, bytes.data() + got, bytes.size() - got, at + static_cast<off_t>(got));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            got += static_cast<size_t>(n);
        }
        if (got == bytes.size())
            result = std::move(bytes);
    }
    ::close(fd);
    return result;
}

} // namespace zentrix::platform
