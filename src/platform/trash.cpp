#include "platform/trash.h"

#include "platform/atomicfile.h"
#include "platform/filetransfer.h"
#include "platform/hostname.h"
#include "platform/trashcommands.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <ftw.h>
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

/// The name an item takes in a trash: its own, or, when that is taken, with
/// ".2", ".3" ... after it (`n` from 1). A name too long for the description's
/// name beside it is shortened (its extension kept when short): the
/// description keeps the whole original path.
std::string trashName(const std::string& base, int n, size_t nameMax) {
    static const size_t kInfoSuffix = std::strlen(".trashinfo");
    const std::string suffix = n == 1 ? std::string() : "." + std::to_string(n);
    const size_t room = nameMax > kInfoSuffix + 32 ? nameMax - kInfoSuffix : 32;
    if (base.size() + suffix.size() <= room)
        return base + suffix;
    const size_t dot = base.find_last_of('.');
    const std::string ext =
        dot != std::string::npos && dot > 0 && base.size() - dot <= 16 ? base.substr(dot) : "";
    const std::string stem = base.substr(0, base.size() - ext.size());
    return std::string(NamePrefix(stem, room - ext.size() - suffix.size())) + ext + suffix;
}

std::string deletionDate() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return text;
}

uint64_t g_treeBytes = 0; // nftw has no context argument; main thread only

int addSize(const char*, const struct stat* st, int type, struct FTW*) {
    if (type == FTW_F)
        g_treeBytes += static_cast<uint64_t>(st->st_size);
    return 0;
}

/// Sum of the file sizes below a directory, links not followed.
uint64_t treeBytes(const std::string& dir) {
    g_treeBytes = 0;
    ::nftw(dir.c_str(), addSize, 16, FTW_PHYS | FTW_MOUNT);
    return g_treeBytes;
}

/// Records a directory just moved into the trash in the trash's size cache, so
/// that the desktop's trash window need not walk it; lines of items no longer
/// in the trash go. A cache that cannot be written is only a cache.
void recordDirectorySize(const std::string& trash, const std::string& name) {
    struct stat info {};
    if (::stat((trash + "/info/" + name + ".trashinfo").c_str(), &info) != 0)
        return;
    const std::string line = std::to_string(treeBytes(trash + "/files/" + name)) + " " +
                             std::to_string(static_cast<long long>(info.st_mtime)) + " " +
                             TrashPathEncode(name);
    const std::string cacheFile = trash + "/directorysizes";
    // Others may reach a volume's trash: a link put there in place of the cache
    // is neither read through nor written through.
    const std::string old = ReadWholeFile(cacheFile, 16 * 1024 * 1024, Links::Refuse).value_or("");
    const auto present = [&](const std::string& encoded) {
        struct stat st {};
        std::string decoded;
        for (size_t i = 0; i < encoded.size(); ++i) {
            if (encoded[i] == '%' && i + 2 < encoded.size()) {
                decoded += static_cast<char>(std::stoi(encoded.substr(i + 1, 2), nullptr, 16));
                i += 2;
            } else {
                decoded += encoded[i];
            }
        }
        return decoded.find('/') == std::string::npos &&
               ::lstat((trash + "/files/" + decoded).c_str(), &st) == 0;
    };
    try {
        WriteFileAtomically(cacheFile, UpdatedDirectorySizes(old, present, line), 0600,
                            Links::Refuse);
    } catch (const FileWriteError&) {
    }
}

bool isHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

} // namespace

std::string UpdatedDirectorySizes(const std::string& cache,
                                  const std::function<bool(const std::string&)>& present,
                                  const std::string& added) {
    std::string out;
    size_t pos = 0;
    while (pos < cache.size()) {
        size_t end = cache.find('\n', pos);
        if (end == std::string::npos)
            end = cache.size();
        const std::string_view line(cache.data() + pos, end - pos);
        pos = end + 1;
        // "digits blank digits blank name": anything else is dropped.
        const size_t first = line.find(' ');
        const size_t second = first == std::string_view::npos ? first : line.find(' ', first + 1);
        if (second == std::string_view::npos || first == 0 || second == first + 1 ||
            second + 1 >= line.size())
            continue;
        const auto digits = [](std::string_view s) {
            return s.find_first_not_of("0123456789") == std::string_view::npos;
        };
        const std::string name(line.substr(second + 1));
        bool encoded = name.find_first_of(" \r\t") == std::string::npos;
        for (size_t i = 0; encoded && i < name.size(); ++i)
            if (name[i] == '%')
                encoded = i + 2 < name.size() && isHex(name[i + 1]) && isHex(name[i + 2]);
        if (!digits(line.substr(0, first)) || !digits(line.substr(first + 1, second - first - 1)) ||
            !encoded || (!added.empty() && added.substr(added.rfind(' ') + 1) == name) ||
            !present(name))
            continue;
        out.append(line);
        out += '\n';
    }
    if (!added.empty())
        out += added + '\n';
    return out;
}

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
    // The item itself is never resolved (a link goes as a link); the
    // directories above it are, since the mount that really holds it decides
    // its trash, and a volume's trash names it relative to the mount's top.
    const std::string parent = ResolvedPath(parentOf(path));
    const std::string real = (parent == "/" ? parent : parent + "/") + baseOf(path);
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
        const std::string top = topDirOf(real, item.st_dev);
        trash = volumeTrash(top);
        if (trash.empty())
            return EXDEV; // never copied across file systems to reach a trash
        // Volume trashes hold paths relative to their top directory.
        infoPath = top == "/" ? real.substr(1) : real.substr(top.size() + 1);
    }
    if (!prepareTrash(trash))
        return EACCES;

    // Reserve a name by creating its description exclusively.
    const std::string base = baseOf(path);
    const long nameMax = ::pathconf((trash + "/info").c_str(), _PC_NAME_MAX);
    std::string name;
    int infoFd = -1;
    for (int n = 1; n < 10000 && infoFd < 0; ++n) {
        name = trashName(base, n, nameMax > 0 ? static_cast<size_t>(nameMax) : NAME_MAX);
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
    // No sync per description: the item itself is only renamed, so a crash
    // cannot cost its bytes, and a sync per file made deleting 10,000 files
    // take minutes on a busy disk.
    const bool written =
        ::write(infoFd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
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
    if (S_ISDIR(item.st_mode))
        recordDirectorySize(trash, name);
    if (where)
        *where = {trash, name};
    return 0;
}

} // namespace zentrix::platform
