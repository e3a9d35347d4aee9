#pragma once

#include "view/zipplan.h"

#include <chrono>
#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zentrix::unzip {

using zentrix::ZipListItem;

/// One entry of an archive as the archive window lists it.
struct ZipEntry {
    std::string name;
    int64_t size = -1;   // unpacked; -1 when the archive does not say
    int64_t packed = -1; // compressed; -1 when the archive does not say
    std::time_t modified = 0;
    std::string method; // "Stored", "Deflated" ...
    bool directory = false;
    bool link = false;
};

/// Asked before an existing file is replaced; true replaces it.
using ReplaceQuestion = std::function<bool(const std::string& relativePath)>;
/// Told the entry being worked on and the bytes done; false stops.
using ProgressCallback = std::function<bool(const std::string& name, int64_t done, int64_t total)>;

/// How much a listing may unpack, and for how long, when the archive has no
/// central directory and its entries must be read one after the other to find
/// the next (an entry of a few kilobytes may unpack to gigabytes).
struct ListBudget {
    int64_t bytes = int64_t{256} << 20;
    std::chrono::milliseconds time{15000};
};

/// The entries of an archive file; none when it cannot be read as an archive
/// (`error` then says why). The list comes from the central directory; only a
/// ZIP without one is read entry by entry, within `budget` and for as long as
/// `progress` says to go on. Only regular files are read (never a FIFO or a
/// device), and nothing but ZIP is recognised: no outer compression is undone.
std::optional<std::vector<ZipEntry>> ListArchive(const std::string& path,
                                                 std::string* error = nullptr,
                                                 const ProgressCallback& progress = {},
                                                 const ListBudget& budget = {});
/// The same for an archive in memory (its reader is the same code).
std::optional<std::vector<ZipEntry>> ListArchiveMemory(const void* data, size_t size,
                                                       std::string* error = nullptr,
                                                       const ListBudget& budget = {});

/// The relative path an entry may be written to below the target directory:
/// "\" counts as a separator, "." parts are dropped; absolute names, drive
/// letters and ".." parts are refused (none).
std::optional<std::string> SafeEntryPath(const std::string& name);

/// What an extraction or a test did, line by line, for the report.
struct RunReport {
    bool ok = true;       // nothing failed
    bool stopped = false; // the user stopped, or the disk would have been full
    int written = 0;
    std::vector<std::string> lines;
};

/// Unpacks the named entries (all when `only` is empty) below `targetDir`.
/// Never writes outside it: unsafe names are refused, no link is created or
/// followed (the directories below the target are opened without following
/// links), and every file is written under a temporary name and renamed into
/// place when complete. An entry that unpacks to more than it declares (or,
/// when it declares nothing, to more than kMaxRatio times its packed size) is
/// not kept. The run stops before the target's disk would have less than
/// FreeSpaceReserve() left: an entry that claims more, or grows past it while
/// unpacked, stops it.
RunReport ExtractArchive(const std::string& archivePath, const std::string& targetDir,
                         const std::vector<std::string>& only, const ReplaceQuestion& replace,
                         const ProgressCallback& progress);

/// Reads every entry to its end, so that the archive's checksums are checked;
/// an entry that unpacks to more than it declares is an error.
RunReport TestArchive(const std::string& archivePath, const ProgressCallback& progress = {});

/// One file to pack: where it is and the name it gets in the archive.
struct PackItem {
    std::string hostPath;
    std::string name;
};

/// The files a file list stands for (ZIPFiles): paths relative to `baseDir`
/// or absolute; an exact name is that file, or a directory that stands for
/// its files; a mask entry's last part is a mask of its directory (and its
/// subdirectories with `recurse`).
/// Stored names keep their directories (relative to `baseDir`, or to a mask's
/// directory) only with `keepSubdirectories`. `exclude` (the archive itself)
/// is never packed; links are not followed.
std::vector<PackItem> CollectPackItems(const std::vector<ZipListItem>& names,
                                       const std::string& baseDir, bool recurse,
                                       bool keepSubdirectories, const std::string& exclude);

/// Writes a ZIP archive of the items, under a temporary name beside it first.
RunReport CreateArchive(const std::string& archivePath, const std::vector<PackItem>& items,
                        const ProgressCallback& progress = {});

/// What an entry without a declared size may unpack to, per byte packed: more
/// than any real compressor reaches on real data.
inline constexpr int64_t kMaxRatio = 2000;

/// The free space an extraction leaves on a disk of `totalBytes`: 5% of it, at
/// most 64 MiB, so that the system and other programs can still write.
int64_t FreeSpaceReserve(int64_t totalBytes);

} // namespace zentrix::unzip
