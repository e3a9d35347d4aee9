#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace zentrix::platform {

/// What a directory entry is, read without following a final link.
enum class EntryKind {
    Missing,
    Regular,
    Directory,
    Symlink,
    Fifo,
    Socket,
    CharDevice,
    BlockDevice,
};

struct EntryStat {
    EntryKind kind = EntryKind::Missing;
    uint64_t size = 0;
    int64_t mtimeSec = 0; // since 1970-01-01 UTC
    int64_t mtimeNsec = 0;
    int64_t ctimeSec = 0; // the inode's last change
    int64_t ctimeNsec = 0;
    uint64_t device = 0;
    uint64_t inode = 0;
    uint64_t links = 0; // names of the inode
    unsigned mode = 0;  // permission bits
};

/// The same inode, unchanged: device, inode, size, modification and change times.
bool SameAndUnchanged(const EntryStat& a, const EntryStat& b);

/// Not an errno: a source changed while it was copied (it shrank, grew or was
/// written to), so the copy is not what the source holds.
inline constexpr int kSourceChanged = 0x5a0001;

/// The system's own text for an error number ("No space left on device"), and
/// ours for kSourceChanged.
std::string ErrorText(int error);

/// Facts about a path; a final link is followed only when asked. Returns 0 or
/// the errno (ENOENT: `st.kind` is Missing).
int StatPath(const std::string& path, EntryStat& st, bool followLink = false);

/// The absolute path with links resolved, for the parts of it that exist (the
/// rest appended as given). Used to tell whether one path lies inside another.
std::string ResolvedPath(const std::string& path);

/// Makes a directory and its missing parents with the usual mode (0777 less the
/// umask). 0 when it exists afterwards, else the errno of the step that failed.
int MakePath(const std::string& path);

/// An open directory that relative operations start from. A walk that opens
/// every child through its parent (never following links) stays inside the
/// branch it started in, even when a directory is swapped for a link meanwhile.
/// Owns its descriptor.
class DirHandle {
public:
    DirHandle() = default;
    ~DirHandle();
    DirHandle(DirHandle&& other) noexcept;
    DirHandle& operator=(DirHandle&& other) noexcept;
    DirHandle(const DirHandle&) = delete;
    DirHandle& operator=(const DirHandle&) = delete;

    /// Opens a directory by path (the user named it: a final link is followed).
    static int Open(const std::string& path, DirHandle& out);
    /// Opens a subdirectory; a link is refused (ELOOP or ENOTDIR).
    int OpenChild(const std::string& name, DirHandle& out) const;

    bool valid() const { return m_fd >= 0; }
    int fd() const { return m_fd; }

    int Stat(const std::string& name, EntryStat& st) const;
    /// The entries' names, "." and ".." left out.
    int List(std::vector<std::string>& names) const;
    /// The entries with their kinds as the directory itself tells them (Missing
    /// where it does not: Stat() then says).
    int List(std::vector<std::pair<std::string, EntryKind>>& entries) const;
    int MakeDir(const std::string& name, unsigned mode) const;
    /// Removes a file, link or special file (never a directory).
    int RemoveFile(const std::string& name) const;
    /// Removes an empty directory.
    int RemoveDir(const std::string& name) const;
    /// Removes a directory and everything below it; links inside are removed,
    /// never followed.
    int RemoveTree(const std::string& name) const;
    /// Renames an entry; an existing target is replaced only with `replace`
    /// (EEXIST otherwise). EXDEV: the target is on another file system.
    int Rename(const std::string& name, const DirHandle& to, const std::string& toName,
               bool replace) const;
    /// Flushes the directory's entries to the disk.
    int Sync() const;
    /// Flushes everything written to the directory's file system (one call for
    /// many files written one after the other).
    int SyncFileSystem() const;
    /// The longest name, in bytes, the directory's file system takes.
    size_t NameMax() const;

private:
    explicit DirHandle(int fd) : m_fd(fd) {}
    int m_fd = -1;
};

/// Which way a file's bytes were copied (for benchmarks and tests).
enum class CopyMethod { None, Clone, CopyFileRange, Buffer, Link };

/// The files with more than one name that one operation has copied, so that
/// their other names, copied later in the same operation, become names of the
/// same copy instead of copies of their own. Keyed by the source's device and
/// inode; an entry goes when all the source's names were seen.
class HardLinkMap {
public:
    /// The target path of an earlier copy of this source, or null.
    const std::string* Find(const EntryStat& source) const;
    /// A source with more than one name was copied to `target` (host path).
    void Copied(const EntryStat& source, const std::string& target);
    /// Another name of the source became a name of its copy.
    void Linked(const EntryStat& source);

private:
    struct Copy {
        std::string target;
        uint64_t size;
        int64_t mtimeSec, mtimeNsec;
        uint64_t namesLeft;
    };
    std::map<std::pair<uint64_t, uint64_t>, Copy> m_copies;
};

struct CopyOptions {
    /// An existing target may be replaced (atomically: the old file stays whole
    /// until the new one takes its name).
    bool replace = false;
    /// The data and the new name reach the disk before the call returns (a move
    /// deletes its source only after this).
    bool sync = false;
    /// Told the bytes copied since its last call, from the copying thread; false
    /// stops the copy (ECANCELED). Called at least every few megabytes.
    std::function<bool(uint64_t)> tick;
    /// Set to the way the bytes went (when given).
    CopyMethod* method = nullptr;
    /// The source must be unchanged at the end (a move deletes it next):
    /// otherwise the copy is dropped and the result is kSourceChanged.
    bool verify = false;
    /// Set to the source as it was copied (when given): a move compares it with
    /// what has the source's name before deleting that.
    EntryStat* copied = nullptr;
    /// Set to true when the target could not keep an extended attribute or an
    /// access control list of the source (when given; never set to false).
    bool* attributesLost = nullptr;
    /// Other names of a file copied before become links to that copy (when
    /// given); `targetPath` is the target's host path, for the map.
    HardLinkMap* hardLinks = nullptr;
    std::string targetPath;
};

/// Copies the regular file `name` in `from` to `toName` in `to`: the contents
/// (holes stay holes), mode, nanosecond times, owner where permitted and the
/// extended attributes: user.*, security.*, the access and default access
/// control lists and, for root, trusted.*. The bytes go to an unnamed file (or
/// a hidden temporary name where the file system has no unnamed files) that
/// takes the final name only when complete, and reaches the disk before it
/// takes the name of a file it replaces, so no partial file ever has the final
/// name. Tries a clone, then copy_file_range, then a large buffer. Returns 0,
/// ECANCELED, EEXIST (the target exists and `replace` is off), EINVAL when the
/// entry is no longer a regular file, kSourceChanged when the source came
/// short of its size (or, with `verify`, changed at all), or the errno of the
/// step that failed; on failure nothing is left behind.
int CopyRegularFile(const DirHandle& from, const std::string& name, const DirHandle& to,
                    const std::string& toName, const CopyOptions& options);

/// Copies a symbolic link as a link (its target text; never followed).
int CopySymlink(const DirHandle& from, const std::string& name, const DirHandle& to,
                const std::string& toName, bool replace);

/// Makes a FIFO, socket or device anew with the same mode, owner and times. The
/// original is never opened (reading a FIFO blocks for ever). EPERM where the
/// system refuses (devices need privileges).
int CopySpecialFile(const DirHandle& from, const std::string& name, const DirHandle& to,
                    const std::string& toName, bool replace);

/// Mode, times, owner where permitted, extended attributes and access control
/// lists (the default one too) of the directory `name` in `from` onto the open
/// directory `to` (after its contents are done, since writing into a directory
/// changes its time). `attributesLost` as in CopyOptions.
int CopyDirectoryMetadata(const DirHandle& from, const std::string& name, const DirHandle& to,
                          bool* attributesLost = nullptr);

} // namespace zentrix::platform
