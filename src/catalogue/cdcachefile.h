#pragma once

#include "catalogue/discinforecord.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zentrix {

class LocalTimeOffsets;
class TTreeNode;

/// The texts before the directories of a cache file.
struct CdCacheHeader {
    std::string title; // as the user entered it
    /// System identifier, volume set, publisher, data preparer, application,
    /// copyright file, abstract file, bibliographic file.
    std::array<std::string, 8> info;
    /// Creation, modification, expiration and effective date, as texts.
    std::array<std::string, 4> dates;
};

/// The header for a disc: its title and what its information record holds.
CdCacheHeader MakeCdCacheHeader(const std::string& title, const DiscInfoRecord& record);

/// The bytes of a cache file for the disk below `root`: the header, the number
/// of directories, then every directory of the branch with its files, parents
/// before their children and the root first. Links to directories are left out:
/// they are never read, so they hold nothing to keep. Every directory of the
/// branch must be logged.
std::string WriteCdCache(const CdCacheHeader& header, TTreeNode* root, LocalTimeOffsets& times);

/// A cache file read whole and checked, ready to become a disk's catalogue.
/// Names are kept as positions in the file's own (unscrambled) bytes.
class CdCacheContents {
public:
    struct Directory {
        uint32_t parent = 0; // an earlier directory; the root (index 0) names itself
        uint32_t nameAt = 0; // the last component (nothing for the root)
        uint32_t nameLength = 0;
        uint32_t firstFile = 0;
        uint32_t fileCount = 0;
        uint64_t fileNameBytes = 0;
    };
    struct File {
        int64_t size = 0;
        int64_t lastWriteTime = 0; // 100-ns units since 1601, UTC
        uint32_t nameAt = 0;
        uint16_t nameLength = 0;
        uint16_t attributes = 0;
    };

    std::string title;
    std::vector<Directory> dirs;
    std::vector<File> files;

    std::string_view Name(const Directory& d) const {
        return {m_bytes.data() + d.nameAt, d.nameLength};
    }
    std::string_view Name(const File& f) const { return {m_bytes.data() + f.nameAt, f.nameLength}; }

private:
    friend std::optional<CdCacheContents> ParseCdCache(std::string, LocalTimeOffsets&,
                                                       std::string*);
    std::string m_bytes;
};

/// The largest cache file that is read (a disc of several million files stays
/// well below it).
inline constexpr size_t kMaxCdCacheBytes = size_t(1) << 30;

/// Reads the bytes of a cache file. Every length is checked against what is left
/// of the file and every count against the bytes its records need at least; a
/// path must begin with a drive letter, a colon and a backslash, end in a
/// backslash and hold no empty, "." or ".." component, and its parent must come
/// earlier in the file. None when the file is damaged; `error` then says what
/// and where ("a text expected at byte 17").
std::optional<CdCacheContents> ParseCdCache(std::string bytes, LocalTimeOffsets& times,
                                            std::string* error);

} // namespace zentrix
