#pragma once

#include <cstdint>
#include <string>
#include <sys/types.h>
#include <sys/xattr.h>

namespace zentrix::test {

/// The value of an extended attribute of the entry itself (a link's own), or
/// "(none)".
inline std::string Xattr(const std::string& path, const char* name) {
    char value[256];
    const ssize_t n = ::lgetxattr(path.c_str(), name, value, sizeof value);
    return n < 0 ? std::string("(none)") : std::string(value, static_cast<size_t>(n));
}

/// A POSIX access control list in the kernel's form: owner rw, user 1234 r,
/// group r, mask r, others none.
inline std::string PosixAcl() {
    std::string acl;
    const auto put = [&](uint32_t v, size_t bytes) {
        for (size_t i = 0; i < bytes; ++i)
            acl += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    put(2, 4); // version
    const uint32_t none = 0xFFFFFFFF;
    const uint32_t entries[][3] = {
        {0x01, 6, none}, {0x02, 4, 1234}, {0x04, 4, none}, {0x10, 4, none}, {0x20, 0, none}};
    for (const auto& e : entries) {
        put(e[0], 2);
        put(e[1], 2);
        put(e[2], 4);
    }
    return acl;
}

} // namespace zentrix::test
