#include "platform/fileops.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE (1 << 0)
#endif

namespace zentrix::platform {

bool RenameNoReplace(const std::string& from, const std::string& to, std::string* error) {
    long rc = ::syscall(SYS_renameat2, AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(),
                        RENAME_NOREPLACE);
    if (rc != 0 && (errno == EINVAL || errno == ENOSYS)) {
        // File systems without the flag: check, then rename (a narrow race
        // remains, but an existing entry is never replaced knowingly).
        struct stat st{};
        if (::lstat(to.c_str(), &st) == 0) {
            errno = EEXIST;
            rc = -1;
        } else {
            rc = ::rename(from.c_str(), to.c_str());
        }
    }
    if (rc != 0 && error)
        *error = std::strerror(errno);
    return rc == 0;
}

} // namespace zentrix::platform
