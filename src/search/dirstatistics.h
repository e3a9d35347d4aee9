#pragma once

#include "search/textlist.h"

#include <array>
#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

namespace zentrix {

/// The figures of a directory branch as the file system gives them.
struct DirTotals {
    static constexpr int kFirstYear = 1980;
    static constexpr int kLastYear = 2999;

    struct Year {
        uint64_t files = 0;
        uint64_t bytes = 0;
    };

    uint64_t files = 0;
    uint64_t directories = 1; // the start directory counts
    /// The files' sizes added up.
    uint64_t spaceUsed = 0;
    /// What the file system really holds for them: its allocation (st_blocks,
    /// links and all), so a sparse file counts with its holes left out and a
    /// file with several hard links inside the branch only once; on a drive
    /// with a fixed cluster size the sizes rounded up to whole clusters.
    uint64_t actuallyUsed = 0;
    /// The allocation beyond each entry's size, added up: what the ends of
    /// clusters waste. An entry that holds less than its size (a sparse file, a
    /// link kept in its inode) wastes nothing, so this is never below 0.
    uint64_t slackBytes = 0;
    /// The directory whose own files (not its subdirectories') hold the most
    /// bytes; of several with as many, the first in walk order.
    std::string largestDir;
    uint64_t largestBytes = 0;
    /// By year of the last write (local time); years before 1980 or after
    /// 2999 count as 1980.
    std::array<Year, kLastYear - kFirstYear + 1> years{};
    TExtList types;

    Year& year(int y) { return years[static_cast<size_t>(y - kFirstYear)]; }
    const Year& year(int y) const { return years[static_cast<size_t>(y - kFirstYear)]; }
    int64_t slack() const { return static_cast<int64_t>(slackBytes); }
};

/// The year a file counts under: the local year of its last write, 1980 for
/// years outside 1980 to 2999. Computed from a table of year starts made once,
/// so it costs no time-zone look-up per file.
class YearTable {
public:
    YearTable();
    int YearOf(int64_t unixSeconds) const;

private:
    std::vector<int64_t> m_starts; // local 1 January 00:00 of 1980 .. 3000
};

/// Walks a branch of the file system and adds up what DirTotals holds. The
/// calling thread and helper threads share the directories; the figures are
/// the same whatever thread counted what. Directories whose names begin with
/// "." are neither counted nor entered, links are counted as the small files
/// they are and never followed, an unreadable directory yields nothing.
class DirStatisticsWalk {
public:
    struct Options {
        int threads = 2;           // the calling thread included
        bool yearsAndTypes = true; // the by-year and by-type figures
        /// 0: the allocation is what the file system says (st_blocks); else
        /// each size rounded up to whole clusters of this many bytes (a CD-ROM's
        /// 2,048-byte sectors).
        uint64_t clusterSize = 0;
        /// Asked before each directory is entered; true ends the walk.
        std::function<bool()> stopped;
        /// Called on the calling thread at most every 50 ms with the figures so
        /// far (without years and types).
        std::function<void(const DirTotals&)> progress;
    };

    /// Threads worth using: twice the cores, two to eight.
    static int DefaultThreads();

    /// `hostPath` is walked; `cataloguePath` (with its backslash) names the
    /// directories in largestDir.
    static DirTotals Walk(const std::string& hostPath, const std::string& cataloguePath,
                          const Options& options);
};

} // namespace zentrix
