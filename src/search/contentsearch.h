#pragma once

#include "core/contentmatcher.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace zentrix {

/// What searching one file came to.
struct ScanResult {
    enum class Outcome : uint8_t {
        Found,
        NotFound,
        NotRegular,   // a FIFO, socket, device or directory: never opened, no hit
        DanglingLink, // a link to nothing: skipped, no hit and no error
        Failed,       // could not be opened or read: `error` tells why
        Stopped,      // the search was stopped while the file was read
    };
    Outcome outcome = Outcome::NotFound;
    int error = 0; // the system's error number for Failed
    bool found() const { return outcome == Outcome::Found; }
};

/// The error box of a file that cannot be searched: "Cannot scan " + the name
/// in upper case + "." + a line break + the reason + ".".
std::string CannotScanText(const std::string& fileName, int error);
/// The line of a search's report on links that lead nowhere ("3 links skipped").
std::string LinksSkippedText(size_t count);
/// The reason for a system error number ("File access denied" ...); empty for
/// the numbers that have none.
std::string ScanErrorReason(int error);

/// Searches files for a text, one after the other, reading each in blocks
/// into a buffer of its own (the buffer holds a block and the text's length
/// besides, so no text is ever too long for it).
class ContentSearch {
public:
    static constexpr size_t kDefaultBlockSize = 256 * 1024;

    ContentSearch(std::string_view text, bool caseSensitive, size_t blockSize = kDefaultBlockSize);

    /// Searches `name` inside the directory open as `dirFd` (AT_FDCWD with an
    /// absolute path also does). `stopped`, when given, is asked before each
    /// block; true ends the reading with Stopped. `listedRegular`: the
    /// directory listing said the name is a regular file (see ReadOnlyFile).
    ScanResult SearchAt(int dirFd, const char* name, const std::function<bool()>& stopped = {},
                        bool listedRegular = false);
    ScanResult Search(const std::string& hostPath, const std::function<bool()>& stopped = {});

    const ContentMatcher& Matcher() const { return m_matcher; }
    size_t BlockSize() const { return m_blockSize; }

private:
    ContentMatcher m_matcher;
    size_t m_blockSize;
    std::unique_ptr<char[]> m_buffer;
};

/// Searches many files at once: the calling thread and helper threads each
/// take the next file, so one file is read while another is matched, and the
/// outcomes come back to the calling thread in the files' order. The helpers
/// live as long as the object and sleep between jobs.
class ParallelContentSearch {
public:
    /// Threads worth using here: the cores, at most four.
    static int DefaultThreads();

    /// `threads` counts the calling thread: 1 searches everything on it.
    ParallelContentSearch(std::string_view text, bool caseSensitive, int threads = DefaultThreads(),
                          size_t blockSize = ContentSearch::kDefaultBlockSize);
    ~ParallelContentSearch();
    ParallelContentSearch(const ParallelContentSearch&) = delete;
    ParallelContentSearch& operator=(const ParallelContentSearch&) = delete;

    /// Called in order with each file's index and outcome; false stops the job.
    using Report = std::function<bool(size_t index, const ScanResult& result)>;

    /// Searches `names` inside the directory open as `dirFd` (AT_FDCWD for
    /// absolute paths). Returns when every file is reported or the report
    /// asked to stop; then no helper touches `dirFd` or `names` any more.
    /// `stopped` (asked on any thread, between read blocks) ends the reading of
    /// files in progress early; they are then reported as Stopped.
    /// `listedRegular` (when given, one flag per name): the directory listing
    /// said the name is a regular file. Returns false when the report stopped
    /// the job.
    bool SearchFiles(int dirFd, const std::vector<std::string>& names, const Report& report,
                     const std::function<bool()>& stopped = {},
                     const std::vector<char>* listedRegular = nullptr);

    const ContentMatcher& Matcher() const { return m_own.Matcher(); }

private:
    struct Job;
    void helperLoop(ContentSearch* search);
    /// Takes the next file of the job; false when none is left. Under the lock.
    bool take(size_t& index);

    ContentSearch m_own;
    std::vector<std::unique_ptr<ContentSearch>> m_helperSearches;
    std::vector<std::thread> m_helpers;
    std::mutex m_mutex;
    std::condition_variable m_work;
    std::condition_variable m_done;
    Job* m_job = nullptr;
    bool m_quit = false;
};

} // namespace zentrix
