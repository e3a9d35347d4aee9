#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace zentrix::platform {

/// One entry of a StatListing. The name stays valid until the next Next().
struct StatEntry {
    enum class Type : uint8_t { Directory, Regular, Link, Other };

    std::string_view hostName; // the bytes the file system gave
    Type type = Type::Other;
    uint64_t size = 0;      // st_size (of the link itself for a link)
    uint64_t allocated = 0; // what the file system really holds for it: st_blocks * 512
    int64_t mtime = 0;      // seconds since 1970, UTC
    uint64_t inode = 0;
    uint64_t device = 0; // of what is not a directory
    uint32_t links = 1;  // hard links to the inode
};

/// What the file system holding a directory tells about itself.
struct FileSystemFigures {
    bool known = false;
    uint64_t blockSize = 0;      // the file system's block size (its "cluster")
    uint64_t totalBytes = 0;     // the size of the whole file system
    uint64_t usedBytes = 0;      // what its files and directories take of it
    bool readOnlyMedium = false; // iso9660 or udf
};
FileSystemFigures QueryFileSystem(const std::string& hostPath);

/// Lists a directory for measuring it: every entry but "." and ".." with what
/// the file system says of the entry itself (links are not followed), one
/// getdents64 per buffer-full and one fstatat per entry that is not a
/// directory. Directories are opened without following links, relative to the
/// directory above them.
class StatListing {
public:
    StatListing();
    ~StatListing();
    StatListing(const StatListing&) = delete;
    StatListing& operator=(const StatListing&) = delete;

    /// False when the directory cannot be listed (gone, unreadable, a link).
    bool Open(const std::string& hostPath);
    bool OpenAt(int parentFd, std::string_view hostName);

    /// The next entry; false at the end (or when reading fails).
    bool Next(StatEntry& entry);

    /// The open directory's descriptor (for opening its subdirectories).
    int Fd() const { return m_fd; }
    void Close();

private:
    bool opened(int fd);

    int m_fd = -1;
    std::unique_ptr<char[]> m_buf;
    long m_len = 0;
    long m_pos = 0;
    bool m_eof = false;
};

} // namespace zentrix::platform
