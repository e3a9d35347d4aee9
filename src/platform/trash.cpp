#include "platform/trash.h"

#include "platform/atomicfile.h"
#include "platform/trashcommands.h"

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE (1 << 0)
#endif

namespace zentrix::platform {
namespace {

std::string parentOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string baseOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string absolute(const std::string& path) {
    if (!path.empty() && path[0] == '/')
        return path;
    char cwd[4096];
    if (!::getcwd(cwd, sizeof cwd))
        return path;
    return std::string(cwd) + "/" + path;
}

/// The top directory of the mount holding `path`'s parent: walk up while the
/// device stays the same.
std::string topDirOf(const std::string& path, dev_t device) {
    std::string dir = parentOf(path);
    for (;;) {
        if (dir == "/")
            return dir;
        const std::string up = parentOf(dir);
        struct stat st {};
        if (::stat(up.c_str(), &st) != 0 || st.st_dev != device)
            return dir;
        dir = up;
    }
}

bool isPrivateDir(const std::string& dir) {
    struct stat st {};
    return ::lstat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid();
}

/// Makes trash/files and trash/info (mode 0700) unless they exist; refuses links.
bool prepareTrash(const std::string& trash) {
    if (!MakeDirectories(trash + "/files") || !MakeDirectories(trash + "/info"))
        return false;
    struct stat st {};
    for (const char* sub : {"", "/files", "/info"})
        if (::lstat((trash + sub).c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
            return false;
    return true;
}

/// The volume's trash for a file on another file system than the home trash.
std::string volumeTrash(const std::string& topDir) {
    const std::string uid = std::to_string(::getuid());
    const std::string base = topDir == "/" ? "" : topDir;
    // An administrator's shared .Trash counts only when it is a real sticky
    // directory: anything else could be a trap set by another user.
    struct stat st {};
    const std::string shared = base + "/.Trash";
    if (::lstat(shared.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX)) {
        const std::string mine = shared + "/" + uid;
        if ((isPrivateDir(mine) || ::mkdir(mine.c_str(), 0700) == 0) && isPrivateDir(mine))
            return mine;
    }
    const std::string own = base + "/.Trash-" + uid;
    if ((isPrivateDir(own) || ::mkdir(own.c_str(), 0700) == 0) && isPrivateDir(own))
        return own;
    return {};
}

std::string deletionDate() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return text;
}

} // namespace

std::string TrashPathEncode(const std::string& path) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    out.reserve(path.size());
    for (const unsigned char c : path) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                           (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.' || c == '~' ||
                           c == '/';
        if (plain) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

int MoveToTrash(const std::string& hostPath, TrashedItem* where) {
    const std::string path = absolute(hostPath);
    struct stat item {};
    if (::lstat(path.c_str(), &item) != 0)
        return errno;

    // The home trash when the item is on its file system (the directory that
    // holds it decides while the trash does not exist yet).
    std::string trash = HomeTrashDir();
    std::string infoPath = path;
    struct stat home {};
    std::string probe = trash;
    while (::stat(probe.c_str(), &home) != 0 && probe != "/" && !probe.empty())
        probe = parentOf(probe);
    if (home.st_dev != item.st_dev) {
        const std::string top = topDirOf(path, item.st_dev);
        trash = volumeTrash(top);
        if (trash.empty())
            return EXDEV; // never copied across file systems to reach a trash
        // Volume trashes hold paths relative to their top directory.
        infoPath = top == "/" ? path.substr(1) : path.substr(top.size() + 1);
    }
    if (!prepareTrash(trash))
        return EACCES;

    // Reserve a name by creating its description exclusively.
    const std::string base = baseOf(path);
    std::string name;
    int infoFd = -1;
    for (int n = 1; n < 10000 && infoFd < 0; ++n) {
        name = n == 1 ? base : base + "." + std::to_string(n);
        struct stat taken {};
        if (::lstat((trash + "/files/" + name).c_str(), &taken) == 0)
            continue;
        infoFd = ::open((trash + "/info/" + name + ".trashinfo").c_str(),
                        O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (infoFd < 0 && errno != EEXIST)
            return errno;
    }
    if (infoFd < 0)
        return EEXIST;
    const std::string info = trash + "/info/" + name + ".trashinfo";
    const std::string text = "[Trash Info]\nPath=" + TrashPathEncode(infoPath) +
                             "\nDeletionDate=" + deletionDate() + "\n";
    const bool written =
        ::write(infoFd, text.data(), text.size()) == static_cast<ssize_t>(text.size()) &&
        ::fsync(infoFd) == 0;
    const int writeError = errno;
    ::close(infoFd);
    if (!written) {
        ::unlink(info.c_str());
        return writeError ? writeError : EIO;
    }
    const std::string target = trash + "/files/" + name;
    if (::syscall(SYS_renameat2, AT_FDCWD, path.c_str(), AT_FDCWD, target.c_str(),
                  RENAME_NOREPLACE) != 0) {
        int e = errno;
        if (e == EINVAL || e == ENOSYS) {
            struct stat taken {};
            e = ::lstat(target.c_str(), &taken) == 0          ? EEXIST
                : ::rename(path.c_str(), target.c_str()) == 0 ? 0
                                                              : errno;
        }
        if (e) {
            ::unlink(info.c_str());
            return e;
        }
    }
    if (where)
        *where = {trash, name};
    return 0;
}

} // namespace zentrix::platform
