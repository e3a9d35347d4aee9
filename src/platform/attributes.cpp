#include "platform/attributes.h"

#include "platform/fileops.h"

#include <cerrno>
#include <cstdio>
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

std::string ReplaceDosAttrib(const std::string& value, uint32_t attrib) {
    const auto* data = reinterpret_cast<const unsigned char*>(value.data());
    uint32_t old = 0;
    const bool binary =
        !(value.size() >= 2 && value[0] == '0' && (value[1] == 'x' || value[1] == 'X'));
    if (binary && ParseDosAttrib(data, value.size(), old)) {
        // The word sits where ParseDosAttrib found it: after the version fields.
        const unsigned version = data[0] | (data[1] << 8);
        const size_t at = version == 1 ? 4 : 8;
        std::string out = value;
        for (int i = 0; i < 4; ++i)
            out[at + static_cast<size_t>(i)] = static_cast<char>((attrib >> (8 * i)) & 0xFF);
        return out;
    }
    char text[16];
    const int n = std::snprintf(text, sizeof text, "0x%x", attrib);
    return std::string(text, static_cast<size_t>(n) + 1); // Samba stores the zero too
}

namespace {

struct Split {
    std::string dir; // with its trailing slash ("" for a bare name)
    std::string name;
};

Split splitPath(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return {"", path};
    return {path.substr(0, slash + 1), path.substr(slash + 1)};
}

std::string xattrPath(int dirFd, const std::string& name) {
    return "/proc/self/fd/" + std::to_string(dirFd) + "/" + name;
}

constexpr uint32_t kChangeable = kAttrArchive | kAttrReadOnly | kAttrHidden | kAttrSystem;

void writeFatAttributes(int dirFd, const std::string& name, uint32_t attributes) {
    const int fd = ::openat(dirFd, name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return;
    uint32_t attr = 0;
    if (::ioctl(fd, FAT_IOCTL_GET_ATTRIBUTES, &attr) == 0) {
        attr = (attr & ~kChangeable) | (attributes & kChangeable);
        ::ioctl(fd, FAT_IOCTL_SET_ATTRIBUTES, &attr);
    }
    ::close(fd);
}

void writeNtfsAttributes(int dirFd, const std::string& name, uint32_t attributes) {
    const std::string path = xattrPath(dirFd, name);
    unsigned char buf[4];
    if (::lgetxattr(path.c_str(), "system.ntfs_attrib_be", buf, sizeof buf) == 4) {
        uint32_t attr =
            (uint32_t(buf[0]) << 24) | (uint32_t(buf[1]) << 16) | (uint32_t(buf[2]) << 8) | buf[3];
        attr = (attr & ~kChangeable) | (attributes & kChangeable);
        const unsigned char out[4] = {
            static_cast<unsigned char>(attr >> 24), static_cast<unsigned char>(attr >> 16),
            static_cast<unsigned char>(attr >> 8), static_cast<unsigned char>(attr)};
        ::lsetxattr(path.c_str(), "system.ntfs_attrib_be", out, sizeof out, 0);
        return;
    }
    if (::lgetxattr(path.c_str(), "system.dos_attrib", buf, 1) == 1) {
        const auto attr =
            static_cast<unsigned char>((buf[0] & ~kChangeable) | (attributes & kChangeable));
        ::lsetxattr(path.c_str(), "system.dos_attrib", &attr, 1, 0);
    }
}

void writeDosAttrib(int dirFd, const std::string& name, uint32_t attributes) {
    const std::string path = xattrPath(dirFd, name);
    std::string value(256, '\0');
    const ssize_t n = ::lgetxattr(path.c_str(), "user.DOSATTRIB", value.data(), value.size());
    value.resize(n > 0 ? static_cast<size_t>(n) : 0);
    uint32_t stored = 0;
    if (!value.empty())
        ParseDosAttrib(reinterpret_cast<const unsigned char*>(value.data()), value.size(), stored);
    stored = (stored & ~kChangeable) | (attributes & kChangeable);
    const std::string out = ReplaceDosAttrib(value, stored);
    ::lsetxattr(path.c_str(), "user.DOSATTRIB", out.data(), out.size(), 0);
}

void writeReadOnly(int dirFd, const std::string& name, bool readOnly) {
    struct stat st {};
    if (::fstatat(dirFd, name.c_str(), &st, 0) != 0)
        return;
    mode_t mode = st.st_mode & 07777;
    // Read-only takes every write permission away; writable gives the owner's back.
    mode = readOnly ? mode & ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH) : mode | S_IWUSR;
    if (mode != (st.st_mode & 07777))
        ::fchmodat(dirFd, name.c_str(), mode, 0);
}

} // namespace

std::optional<uint32_t> ReadFileAttributes(const std::string& hostPath, AttrSource source) {
    const Split parts = splitPath(hostPath);
    if (parts.name.empty())
        return std::nullopt;
    const std::string dir = parts.dir.empty() ? "." : parts.dir;
    const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0)
        return std::nullopt;
    struct stat st {};
    std::optional<uint32_t> attributes;
    if (::fstatat(dirFd, parts.name.c_str(), &st, 0) == 0 ||
        ::fstatat(dirFd, parts.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0)
        attributes = S_ISDIR(st.st_mode) ? PosixAttributes(parts.name, st)
                                         : EntryAttributes(dirFd, parts.name.c_str(), st, source);
    ::close(dirFd);
    return attributes;
}

std::string WriteFileAttributes(const std::string& hostPath, AttrSource source,
                                uint32_t attributes) {
    const Split parts = splitPath(hostPath);
    if (parts.name.empty())
        return hostPath;
    const std::string dir = parts.dir.empty() ? "." : parts.dir;
    const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0)
        return hostPath;
    switch (source) {
    case AttrSource::FatIoctl:
        writeFatAttributes(dirFd, parts.name, attributes);
        break;
    case AttrSource::NtfsXattr:
        writeNtfsAttributes(dirFd, parts.name, attributes);
        writeReadOnly(dirFd, parts.name, attributes & kAttrReadOnly);
        break;
    case AttrSource::DosAttribXattr:
        writeDosAttrib(dirFd, parts.name, attributes);
        writeReadOnly(dirFd, parts.name, attributes & kAttrReadOnly);
        break;
    case AttrSource::Posix:
        writeReadOnly(dirFd, parts.name, attributes & kAttrReadOnly);
        break;
    }
    ::close(dirFd);
    if (source == AttrSource::FatIoctl || source == AttrSource::NtfsXattr)
        return hostPath;

    // Here a hidden file is one whose name begins with a full stop.
    const bool hidden = !parts.name.empty() && parts.name[0] == '.';
    if (hidden == bool(attributes & kAttrHidden))
        return hostPath;
    std::string name = parts.name;
    if (hidden) {
        name.erase(0, name.find_first_not_of('.'));
        if (name.empty())
            return hostPath; // a name of full stops alone cannot lose them
    } else {
        name.insert(0, 1, '.');
    }
    const std::string target = parts.dir + name;
    return RenameNoReplace(hostPath, target) ? target : hostPath;
}

} // namespace zentrix::platform
