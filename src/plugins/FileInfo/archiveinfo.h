#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace zentrix::fileinfo {

struct ArchiveFacts {
    bool readable = false;
    std::string format;      // libarchive's name ("ZIP 2.0 (deflation)", "POSIX ustar format")
    std::string compression; // outer filters ("gzip"), empty when none
    uint64_t entries = 0;
    uint64_t files = 0; // regular files among the entries
    uint64_t directories = 0;
    uint64_t totalSize = 0; // sum of the entries' unpacked sizes
    bool complete = true;   // false: counting stopped at the time or entry limit
    bool encrypted = false;
};

/// Reads an archive's headers (never its data) until the end, or until
/// `budget` has passed or `maxEntries` were seen.
ArchiveFacts ReadArchiveFacts(const std::string& path, std::chrono::milliseconds budget,
                              uint64_t maxEntries);

/// The lines for the facts ("Archive: ...", "Entries: ...", "Unpacked size: ...").
void AppendArchiveLines(const ArchiveFacts& facts, std::vector<std::string>& lines);

} // namespace zentrix::fileinfo
