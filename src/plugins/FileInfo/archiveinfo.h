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
    bool complete = true;   // false: counting stopped at a limit or at damage
    bool encrypted = false;
};

/// Reads an archive's headers until the end, or until `budget` has passed,
/// `maxEntries` were seen or `maxUnpackedBytes` of entry data had to be unpacked
/// to reach the next header (compressed streams and solid archives); the budget
/// holds inside an entry as well. Facts of a reading cut short are marked
/// incomplete.
ArchiveFacts ReadArchiveFacts(const std::string& path, std::chrono::milliseconds budget,
                              uint64_t maxEntries, uint64_t maxUnpackedBytes = 1ull << 30);

/// The lines for the facts ("Archive: ...", "Entries: ...", "Unpacked size: ...").
void AppendArchiveLines(const ArchiveFacts& facts, std::vector<std::string>& lines);

} // namespace zentrix::fileinfo
