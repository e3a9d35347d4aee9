#include "platform/trashbin.h"

#include "platform/atomicfile.h"
#include "platform/hostpath.h"
#include "platform/trash.h"
#include "platform/trashcommands.h"
#include "platform/trashinfo.h"

#include <cerrno>
#include <charconv>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>
#include <utility>

namespace zentrix::platform {
namespace {

constexpr size_t kMaxInfoBytes = 64 * 1024;
constexpr size_t kMaxSizeCacheBytes = 16 * 1024 * 1024;

/// A real directory (not a link) of the user's own.
bool ownDirectory(const std::string& path, struct stat& st) {
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid();
}

/// The bytes of the files below a directory, links not followed.
uint64_t treeBytes(DirHandle top) {
    uint64_t bytes = 0;
    std::vector<DirHandle> stack;
    stack.push_back(std::move(top));
    while (!stack.empty()) {
        DirHandle dir = std::move(stack.back());
        stack.pop_back();
        std::vector<std::pair<std::string, EntryKind>> entries;
        dir.List(entries);
        for (const auto& [name, listed] : entries) {
            EntryStat st;
            if (dir.Stat(name, st) != 0)
                continue;
            if (st.kind == EntryKind::Directory) {
                DirHandle child;
                if (dir.OpenChild(name, child) == 0)
                    stack.push_back(std::move(child));
            } else if (st.kind == EntryKind::Regular) {
                bytes += st.size;
            }
        }
    }
    return bytes;
}

/// The size cache's lines: name -> (bytes, time of the description it is for).
std::unordered_map<std::string, std::pair<uint64_t, int64_t>>
readSizeCache(const std::string& trashDir) {
    std::unordered_map<std::string, std::pair<uint64_t, int64_t>> out;
    struct stat st {};
    const std::string path = trashDir + "/directorysizes";
    if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return out;
    const auto text = ReadWholeFile(path, kMaxSizeCacheBytes);
    if (!text)
        return out;
    // Only well-formed lines survive the update, which checks them all.
    const std::string lines = UpdatedDirectorySizes(
        *text, [](const std::string&) { return true; }, std::string());
    size_t pos = 0;
    while (pos < lines.size()) {
        const size_t end = lines.find('\n', pos);
        const std::string line = lines.substr(pos, end - pos);
        pos = end + 1;
        const size_t a = line.find(' ');
        const size_t b = line.find(' ', a + 1);
        std::string name;
        uint64_t bytes = 0;
        int64_t time = 0;
        const auto [endBytes, e1] = std::from_chars(line.data(), line.data() + a, bytes);
        const auto [endTime, e2] = std::from_chars(line.data() + a + 1, line.data() + b, time);
        if (e1 == std::errc() && e2 == std::errc() && endBytes == line.data() + a &&
            endTime == line.data() + b && PercentDecode(line.substr(b + 1), name))
            out[name] = {bytes, time};
    }
    return out;
}

/// Drops the size cache's lines of items no longer in the trash.
void updateSizeCache(const std::string& trashDir) {
    const std::string path = trashDir + "/directorysizes";
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return;
    const auto text = ReadWholeFile(path, kMaxSizeCacheBytes);
    if (!text)
        return;
    const std::string updated = UpdatedDirectorySizes(
        *text,
        [&](const std::string& encoded) {
            std::string name;
            struct stat item {};
            return PercentDecode(encoded, name) && IsSingleName(name) &&
                   ::lstat((trashDir + "/files/" + name).c_str(), &item) == 0;
        },
        std::string());
    if (updated == *text)
        return;
    try {
        WriteFileAtomically(path, updated, 0600);
    } catch (const FileWriteError&) {
        // Only a cache: the desktop measures what it does not find there.
    }
}

/// The volume's top directory of a volume trash; empty for the home trash.
std::string topOfTrash(const std::string& trashDir) {
    const std::string base = HostBaseName(trashDir);
    if (base.rfind(".Trash-", 0) == 0)
        return HostParent(trashDir);
    const std::string parent = HostParent(trashDir);
    if (HostBaseName(parent) == ".Trash")
        return HostParent(parent);
    return {};
}

int removeInfo(const std::string& trashDir, const std::string& name) {
    if (::unlink(TrashInfoPath(trashDir, name).c_str()) != 0 && errno != ENOENT)
        return errno;
    return 0;
}

} // namespace

std::string TrashInfoPath(const std::string& trashDir, const std::string& name) {
    return trashDir + "/info/" + name + ".trashinfo";
}

std::string MountTopOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return "/";
    std::string dir = path;
    while (dir.size() > 1 && dir.back() == '/')
        dir.pop_back();
    for (;;) {
        if (dir == "/" || dir.empty())
            return "/";
        const std::string up = HostParent(dir);
        struct stat upSt {};
        if (::stat(up.c_str(), &upSt) != 0 || upSt.st_dev != st.st_dev)
            return dir;
        dir = up;
    }
}

std::vector<std::string> TrashDirectories(const std::vector<std::string>& topDirs) {
    std::vector<std::string> out;
    std::set<std::pair<dev_t, ino_t>> seen;
    auto add = [&](const std::string& dir) {
        struct stat st {};
        if (ownDirectory(dir, st) && seen.insert({st.st_dev, st.st_ino}).second)
            out.push_back(dir);
    };
    add(HomeTrashDir());
    const std::string uid = std::to_string(::getuid());
    for (const std::string& top : topDirs) {
        const std::string base = top == "/" ? "" : top;
        struct stat shared {};
        const std::string sharedDir = base + "/.Trash";
        // An administrator's shared .Trash counts only as a sticky directory.
        if (::lstat(sharedDir.c_str(), &shared) == 0 && S_ISDIR(shared.st_mode) &&
            (shared.st_mode & S_ISVTX))
            add(sharedDir + "/" + uid);
        add(base + "/.Trash-" + uid);
    }
    return out;
}

std::vector<TrashEntry> ListTrash(const std::string& trashDir) {
    std::vector<TrashEntry> out;
    DirHandle files;
    if (DirHandle::Open(trashDir + "/files", files) != 0)
        return out;
    std::vector<std::string> names;
    files.List(names);
    const std::string top = topOfTrash(trashDir);
    std::unordered_map<std::string, std::pair<uint64_t, int64_t>> sizes;
    bool sizesRead = false;
    for (std::string& name : names) {
        TrashEntry e;
        e.trashDir = trashDir;
        e.name = std::move(name);
        if (files.Stat(e.name, e.stat) != 0)
            continue;
        e.bytes = e.stat.kind == EntryKind::Regular ? e.stat.size : 0;

        // The description: a regular file of bounded size, never a link or a
        // FIFO that a hostile program put there.
        const std::string infoPath = TrashInfoPath(trashDir, e.name);
        struct stat info {};
        if (::lstat(infoPath.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            static_cast<size_t>(info.st_size) <= kMaxInfoBytes) {
            e.hasInfo = true;
            if (const auto text = ReadWholeFile(infoPath, kMaxInfoBytes))
                if (const auto parsed = ParseTrashInfo(*text)) {
                    e.deletionDate = parsed->deletionDate;
                    const bool absolute = parsed->path.front() == '/';
                    if (top.empty()) {
                        e.shownPath = parsed->path;
                        if (absolute)
                            e.originalPath = parsed->path;
                    } else {
                        const std::string base = top == "/" ? "" : top;
                        e.shownPath = absolute ? parsed->path : base + "/" + parsed->path;
                        // A volume's trash gives back only to places on that volume.
                        if (!absolute)
                            e.originalPath = e.shownPath;
                        else if (parsed->path.rfind(base + "/", 0) == 0)
                            e.originalPath = parsed->path;
                    }
                }
        }
        if (e.stat.kind == EntryKind::Directory) {
            if (!sizesRead) {
                sizes = readSizeCache(trashDir);
                sizesRead = true;
            }
            const auto it = sizes.find(e.name);
            if (it != sizes.end() && e.hasInfo && it->second.second == info.st_mtime) {
                e.bytes = it->second.first;
            } else {
                DirHandle dir;
                if (files.OpenChild(e.name, dir) == 0)
                    e.bytes = treeBytes(std::move(dir));
            }
        }
        out.push_back(std::move(e));
    }
    return out;
}

int RestoreTrashItem(const std::string& trashDir, const std::string& name,
                     const std::string& destination) {
    if (!IsSingleName(name) || destination.empty() || destination.front() != '/')
        return EINVAL;
    DirHandle files;
    if (int e = DirHandle::Open(trashDir + "/files", files))
        return e;
    EntryStat item;
    if (int e = files.Stat(name, item))
        return e;
    const std::string parent = HostParent(destination);
    if (int e = MakePath(parent))
        return e;
    DirHandle to;
    if (int e = DirHandle::Open(parent, to))
        return e;
    if (int e = files.Rename(name, to, HostBaseName(destination), false))
        return e;
    removeInfo(trashDir, name);
    if (item.kind == EntryKind::Directory)
        updateSizeCache(trashDir);
    return 0;
}

int EraseTrashItem(const std::string& trashDir, const std::string& name) {
    if (!IsSingleName(name))
        return EINVAL;
    DirHandle files;
    if (int e = DirHandle::Open(trashDir + "/files", files))
        return e;
    EntryStat item;
    int e = files.Stat(name, item);
    if (e == 0)
        e = item.kind == EntryKind::Directory ? files.RemoveTree(name) : files.RemoveFile(name);
    if (e != 0 && e != ENOENT)
        return e;
    if (int infoError = removeInfo(trashDir, name))
        return infoError;
    if (item.kind == EntryKind::Directory)
        updateSizeCache(trashDir);
    return 0;
}

} // namespace zentrix::platform
