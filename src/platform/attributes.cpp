#include "platform/attributes.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <linux/msdos_fs.h>
#include <string>
#include <sys/ioctl.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace zentrix::platform {

uint32_t PosixAttributes(std::string_view hostName, const struct stat& st) {
    uint32_t attr = 0;
    if (S_ISDIR(st.st_mode))
        attr |= kAttrDirectory;
    else if (S_ISREG(st.st_mode))
        attr |= kAttrArchive;
    if (!(st.st_mode & S_IWUSR))
        attr |= kAttrReadOnly;
    if (!hostName.empty() && hostName[0] == '.')
        attr |= kAttrHidden;
    return attr;
}

bool ParseDosAttrib(const unsigned char* data, size_t size, uint32_t& attrib) {
    if (size >= 3 && data[0] == '0' && (data[1] == 'x' || data[1] == 'X')) {
        std::string text(reinterpret_cast<const char*>(data + 2),
                         strnlen(reinterpret_cast<const char*>(data + 2), size - 2));
        char* end = nullptr;
        errno = 0;
        const unsigned long v = std::strtoul(text.c_str(), &end, 16);
        if (errno != 0 || end == text.c_str())
            return false;
        attrib = static_cast<uint32_t>(v);
        return true;
    }
    // Binary form: version (16 bits), the union's switch value (16 bits) and then,
    // for version 1, the attribute word; for later versions a flags word first.
    if (size < 8)
        return false;
    const unsigned version = data[0] | (data[1] << 8);
    auto u32 = [&](size_t off) {
        return static_cast<uint32_t>(data[off]) | (static_cast<uint32_t>(data[off + 1]) << 8) |
               (static_cast<uint32_t>(data[off + 2]) << 16) |
               (static_cast<uint32_t>(data[off + 3]) << 24);
    };
    if (version == 1) {
        attrib = u32(4);
        return true;
    }
    if (version >= 2 && version <= 5 && size >= 12) {
        attrib = u32(8);
        return true;
    }
    return false;
}

bool ReadStoredAttributes(int dirFd, const char* hostName, AttrSource source,
                          uint32_t& storedBits) {
    switch (source) {
    case AttrSource::Posix:
        return false;
    case AttrSource::FatIoctl: {
        const int fd = ::openat(dirFd, hostName, O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0)
            return false;
        uint32_t attr = 0;
        const bool ok = ::ioctl(fd, FAT_IOCTL_GET_ATTRIBUTES, &attr) == 0;
        ::close(fd);
        if (ok)
            storedBits = attr;
        return ok;
    }
    case AttrSource::NtfsXattr:
    case AttrSource::DosAttribXattr: {
        // Extended attributes have no *at call: reach the entry through the
        // directory's descriptor instead of a full path.
        const std::string path = "/proc/self/fd/" + std::to_string(dirFd) + "/" + hostName;
        unsigned char buf[64];
        if (source == AttrSource::NtfsXattr) {
            ssize_t n = ::lgetxattr(path.c_str(), "system.ntfs_attrib_be", buf, sizeof buf);
            if (n == 4) {
                storedBits = (uint32_t(buf[0]) << 24) | (uint32_t(buf[1]) << 16) |
                             (uint32_t(buf[2]) << 8) | buf[3];
                return true;
            }
            n = ::lgetxattr(path.c_str(), "system.dos_attrib", buf, sizeof buf);
            if (n == 1) {
                storedBits = buf[0];
                return true;
            }
            return false;
        }
        const ssize_t n = ::lgetxattr(path.c_str(), "user.DOSATTRIB", buf, sizeof buf);
        return n > 0 && ParseDosAttrib(buf, static_cast<size_t>(n), storedBits);
    }
    }
    return false;
}

uint32_t EntryAttributes(int dirFd, const char* hostName, const struct stat& st,
                         AttrSource source) {
    uint32_t attr = PosixAttributes(hostName, st);
    if (source == AttrSource::Posix)
        return attr;
    uint32_t stored = 0;
    if (!ReadStoredAttributes(dirFd, hostName, source, stored))
        return attr;
    attr &= ~(kAttrArchive | kAttrSystem);
    attr |= stored & (kAttrArchive | kAttrSystem);
    if (source != AttrSource::DosAttribXattr)
        attr |= stored & kAttrHidden;
    return attr;
}

} // namespace zentrix::platform
