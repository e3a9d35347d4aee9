#pragma once

#include "platform/drivetable.h"

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_map>
#include <vector>

namespace zentrix::platform {

/// One entry of a directory read by the branch reader.
struct BranchEntry {
    uint32_t nameOff = 0; // catalogue-form name in DirBatch::names
    uint32_t nameLen = 0;
    uint64_t size = 0;
    int64_t lastWriteTime = 0;
    uint32_t attributes = 0;
    bool isDirectory = false;
    bool isLink = false;
};

/// The listing of one directory, in file-system order. "." and ".." are left
/// out, and so are the other directories whose names begin with "." (hidden
/// ones) when the reader is told to skip them.
struct DirBatch {
    bool opened = false; // false: the directory could not be listed
    std::vector<BranchEntry> entries;
    std::string names;
    std::string_view Name(const BranchEntry& e) const {
        return std::string_view(names).substr(e.nameOff, e.nameLen);
    }
};

/// Reads a whole branch of the file system for the main thread. Worker threads
/// list and stat the directories ahead of the consumer, in the depth-first order
/// in which it visits them, so that the system calls of one directory overlap
/// with the catalogue work of another. A consumer that would have to wait reads
/// the next directories itself instead. Links to directories are never
/// descended. Directories are opened relative to their parent's descriptor.
///
/// The consumer (one thread) walks: Root(), then Batch() of a directory, then
/// for each of its subdirectories that is descended (a directory entry that is
/// not a link), Child(d, i) in listing order, recursively.
class BranchReader {
public:
    class Dir;

    /// `workers` threads read ahead (0: the consumer reads everything itself).
    /// With `skipHiddenDirs`, directories whose names begin with "." are
    /// neither listed nor read.
    BranchReader(AttrSource source, int workers, bool skipHiddenDirs = false);
    ~BranchReader();
    BranchReader(const BranchReader&) = delete;
    BranchReader& operator=(const BranchReader&) = delete;

    /// Starts reading the branch at a host directory.
    Dir* Root(const std::string& hostPath);
    /// The directory's listing: read now when no worker has started it, else
    /// waited for while the consumer reads the directories queued next.
    const DirBatch& Batch(Dir* dir);
    /// Number of subdirectories of `dir` that are descended (after Batch).
    size_t ChildCount(Dir* dir) const;
    /// The i-th of them, in listing order.
    Dir* Child(Dir* dir, size_t i) const;
    /// The consumer is done with the directory and everything below it: the
    /// handle and its listing go.
    void Release(Dir* dir);

    /// Threads worth starting on this machine: one per core but the consumer's,
    /// at most four, and one on one or two cores; ZENTRIX_READ_THREADS, when
    /// set, gives the number.
    static int DefaultWorkers();

private:
    // What one thread fills while it reads a directory, kept from one directory
    // to the next so that a listing does not grow its arrays step by step.
    struct Scratch {
        DirBatch batch;
        std::vector<std::pair<uint32_t, uint32_t>> childHostNames; // offsets in `hosts`
        std::string hosts;
    };

    Dir* newDir();
    void workerLoop();
    void read(Dir* dir, Scratch& scratch);
    void finish(Dir* dir, std::unique_lock<std::mutex>& lock);
    void readTaken(Dir* dir, std::unique_lock<std::mutex>& lock, Scratch& scratch, bool consumed);

    AttrSource m_source;
    bool m_skipHiddenDirs;
    std::mutex m_mutex;
    std::condition_variable m_workAvailable;
    std::condition_variable m_readDone;
    std::vector<Dir*> m_stack; // directories waiting to be read, next on top
    std::unordered_map<Dir*, std::unique_ptr<Dir>> m_dirs;
    std::vector<std::thread> m_workers;
    Scratch m_consumerScratch;
    Dir* m_waitingFor = nullptr; // the directory the consumer waits for
    int m_readyUnconsumed = 0;
    bool m_stop = false;
};

} // namespace zentrix::platform
