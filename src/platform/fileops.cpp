#include "platform/fileops.h"

#include "platform/filetime.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE (1 << 0)
#endif

namespace zentrix::platform {

bool RenameNoReplace(const std::string& from, const std::string& to, std::string* error) {
    long rc =
        ::syscall(SYS_renameat2, AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE);
    if (rc != 0 && (errno == EINVAL || errno == ENOSYS)) {
        // File systems without the flag: check, then rename (a narrow race
        // remains, but an existing entry is never replaced knowingly).
        struct stat st {};
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

namespace {

std::string temporaryNameBeside(const std::string& path) {
    static std::mt19937 random{std::random_device{}()};
    static constexpr char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::uniform_int_distribution<size_t> pick(0, sizeof kChars - 2);
    const size_t slash = path.rfind('/');
    std::string name = path.substr(0, slash == std::string::npos ? 0 : slash + 1) + "TMP";
    for (int i = 0; i < 6; ++i)
        name.push_back(kChars[pick(random)]);
    return name + ".$$$";
}

} // namespace

TempRenameResult RenameThroughTemporary(const std::string& from, const std::string& to,
                                        std::string* tempLeft, std::string* error) {
    // The temporary name is taken by the rename itself (it never replaces), so
    // no other program can slip a file in between choosing and using it.
    std::string temp;
    bool moved = false;
    for (int attempt = 0; attempt < 100 && !moved; ++attempt) {
        temp = temporaryNameBeside(from);
        moved = RenameNoReplace(from, temp, error);
        if (!moved && errno != EEXIST)
            return TempRenameResult::FirstStepFailed;
    }
    if (!moved)
        return TempRenameResult::FirstStepFailed;
    if (RenameNoReplace(temp, to, error))
        return TempRenameResult::Done;
    const int saved = errno;
    if (RenameNoReplace(temp, from)) {
        errno = saved;
        return TempRenameResult::SecondStepFailed;
    }
    if (tempLeft)
        *tempLeft = temp;
    errno = saved;
    return TempRenameResult::RestoreFailed;
}

bool SetLastWriteTime(const std::string& hostPath, const timespec& time, std::string* error) {
    const timespec times[2] = {{0, UTIME_OMIT}, time};
    if (::utimensat(AT_FDCWD, hostPath.c_str(), times, AT_SYMLINK_NOFOLLOW) == 0)
        return true;
    if (error)
        *error = std::strerror(errno);
    return false;
}

bool SetPermissions(const std::string& hostPath, unsigned mode, std::string* error) {
    struct stat st {};
    if (::lstat(hostPath.c_str(), &st) != 0 || S_ISLNK(st.st_mode)) {
        if (error)
            *error = S_ISLNK(st.st_mode) ? "it is a link" : std::strerror(errno);
        return false;
    }
    if (::chmod(hostPath.c_str(), mode & 07777) == 0)
        return true;
    if (error)
        *error = std::strerror(errno);
    return false;
}

std::optional<int64_t> ReadLastWriteTime(const std::string& hostPath) {
    struct stat st {};
    if (::stat(hostPath.c_str(), &st) != 0 && ::lstat(hostPath.c_str(), &st) != 0)
        return std::nullopt;
    return ToFileTime(st.st_mtim);
}

} // namespace zentrix::platform
