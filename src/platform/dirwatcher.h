#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace zentrix::platform {

/// What happened to one name of a watched directory while the changes settled.
/// The events only say where to look: the reader asks the disk what is there
/// now (a name may have come and gone meanwhile).
struct WatchedName {
    int watch = -1;
    std::string name;   // host bytes, never empty
    bool isDir = false; // the last event said it was a directory
};

/// A name moved from one watched directory to another (or within one): both
/// ends were seen, so a directory can be renamed in place.
struct WatchedMove {
    int fromWatch = -1;
    std::string fromName;
    int toWatch = -1;
    std::string toName;
    bool isDir = false;
};

/// Everything that settled since the last batch.
struct WatchBatch {
    /// The kernel dropped events: every watched directory must be read again.
    bool overflow = false;
    std::vector<WatchedMove> moves;
    /// Names touched, in no particular order (one may come twice).
    std::vector<WatchedName> names;
    /// Watches whose directory itself was deleted, moved away or unmounted.
    std::vector<int> selfGone;
    /// Watches the kernel has removed (their directory is gone).
    std::vector<int> dropped;

    bool Empty() const {
        return !overflow && moves.empty() && names.empty() && selfGone.empty() && dropped.empty();
    }
};

/// Watches directories with inotify: one watch per directory, for entries made,
/// deleted, moved in or out, closed after writing and changed in their
/// attributes, and for the directory itself going away. A worker thread reads
/// the events and holds each directory's changes for a settle time, so a burst
/// of writes becomes one batch; it sleeps in poll() while nothing happens.
///
/// Add and Remove may be called from any one thread (the main thread); Take
/// too. `ready` runs on the worker whenever a batch becomes available after
/// the previous Take emptied the queue.
class DirWatcher {
public:
    enum class AddResult {
        Added,
        NoRoom, // the system's limit of watches is reached (ENOSPC)
        Gone,   // no such directory (or not a directory)
        Failed, // anything else (permissions, ...)
    };

    explicit DirWatcher(std::function<void()> ready,
                        std::chrono::milliseconds settle = std::chrono::milliseconds(200));
    ~DirWatcher();
    DirWatcher(const DirWatcher&) = delete;
    DirWatcher& operator=(const DirWatcher&) = delete;

    /// False when the system gave no inotify instance (nothing can be watched).
    bool Ok() const { return m_fd >= 0; }

    /// Watches a directory; a link is not followed unless `followLink`. On
    /// success `watch` is the watch's id. The kernel gives one watch per
    /// directory: a directory reached by two paths gets the same id twice.
    AddResult Add(const std::string& hostPath, int& watch, bool followLink = false);
    /// Stops watching; events still under way for it may arrive afterwards.
    void Remove(int watch);

    /// The changes that settled so far (and forgets them).
    WatchBatch Take();
    /// True when a batch waits to be taken.
    bool HasReady() const;

    /// Stops reading events (on) or reads them again (off). Meanwhile the
    /// kernel queues them, up to its limit: beyond it they are lost and the
    /// next batch says so (overflow).
    void Hold(bool on);

    /// The system-wide limit of watches per user (fs.inotify.max_user_watches),
    /// 0 when it cannot be read.
    static size_t SystemLimit();

private:
    struct Impl;
    void run();

    int m_fd = -1;
    int m_wake = -1;
    std::function<void()> m_ready;
    std::chrono::milliseconds m_settle;
    std::unique_ptr<Impl> m_impl;
    mutable std::mutex m_mutex;
    WatchBatch m_batch;       // guarded by m_mutex
    bool m_signalled = false; // guarded by m_mutex: ready told, not yet taken
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_held{false};
    std::thread m_thread;
};

} // namespace zentrix::platform
