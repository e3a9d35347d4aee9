#pragma once

#include "platform/attributes.h"
#include "platform/drivetable.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace zentrix::platform {

/// One entry of a directory listing. The views stay valid until the next call
/// to DirListing::Next or until the listing is closed.
struct DirEntry {
    std::string_view hostName; // the bytes the file system gave
    std::string_view name;     // catalogue form (see EscapeHostName)
    uint64_t size = 0;
    uint32_t attributes = 0;
    int64_t lastWriteTime = 0; // 100-ns units since 1601, UTC
    bool isLink = false;       // a symbolic link (to a directory when IsDirectory())

    bool IsDirectory() const { return attributes & kAttrDirectory; }
};

/// How much a listing learns about each entry.
enum class StatMode {
    All,       // size, time and attributes of every entry
    FilesOnly, // directories carry only their kind and name-derived bits
    None,      // only what tells directories from files (a link is followed)
};

/// Lists a directory in the order the file system gives, every entry included
/// (hidden ones too). "." and ".." come back as directory entries, so that
/// readers skipping directories whose names begin with "." skip them as well.
/// One getdents64 per buffer-full and one fstatat per entry, relative to the
/// directory's descriptor; no full path is passed to the system per file.
class DirListing {
public:
    /// With `checkSearchAtOpen` false, a directory that cannot be searched still
    /// opens, its entries' facts fail to be read, and Searchable() tells.
    explicit DirListing(AttrSource source = AttrSource::Posix, StatMode mode = StatMode::All,
                        bool checkSearchAtOpen = true);
    ~DirListing();
    DirListing(const DirListing&) = delete;
    DirListing& operator=(const DirListing&) = delete;

    /// Starts the listing of a host directory. False when it cannot be started
    /// (gone, not a directory, unreadable, or, unless only names are wanted, not
    /// searchable); nothing is listed then.
    bool Open(const std::string& hostPath);
    /// Starts the listing of `hostName` inside the directory open as `parentFd`.
    bool OpenAt(int parentFd, std::string_view hostName);

    /// The next entry; false at the end or when the directory fails mid-read
    /// (Failed() tells which).
    bool Next(DirEntry& entry);

    bool Failed() const { return m_failed; }
    /// Whether the entries' facts can be read: true once the status of an entry
    /// was read through the directory (which proves it), else asked of the
    /// system. Always true when only names are wanted.
    bool Searchable() const;
    int Fd() const { return m_fd; }
    void Close();

private:
    bool started();
    bool fill();
    bool describe(DirEntry& entry, const char* hostName, unsigned char type);

    AttrSource m_source;
    StatMode m_mode;
    bool m_checkSearchAtOpen;
    bool m_statted = false; // an entry's status was read through the directory
    int m_fd = -1;
    std::unique_ptr<char[]> m_buf;
    long m_len = 0;
    long m_pos = 0;
    bool m_eof = false;
    bool m_failed = false;
    std::string m_escaped;
};

/// What became of one entry looked up by name.
enum class EntryState { Found, Gone, Failed };

/// Describes the entry `hostName` of the directory open as `dirFd` as a listing
/// with StatMode::FilesOnly would (a link counts as what it points to). The
/// entry's views point into `hostName` and `escaped`, which must outlive it.
EntryState DescribeEntry(int dirFd, const std::string& hostName, AttrSource source, DirEntry& entry,
                         std::string& escaped);

} // namespace zentrix::platform
