#pragma once

#include "ops/twdlist.h"

#include <string>

namespace zentrix {

/// The WatchDog side of one operation over several files (delete, move, copy,
/// rename and attributes of tagged files):
///
///     WatchDogRun log(watchDog, WDOperation::DeleteFile, state.scope != 1);
///     for (each file) { ... if (deleted) log.Handled(path); }
///     log.Finish(directory);            // the group entry, then the log closes
///
/// Whether to log is decided once, when the run is made. With `singleEntries`
/// (the file window shows more than one directory) every handled file is
/// written at once as a single entry and no group entry follows; otherwise the
/// files are only counted and Finish writes one group entry when at least one
/// was handled. The log is closed by Finish or, at the latest, by the
/// destructor (then without a group entry).
class WatchDogRun {
public:
    WatchDogRun(TWDList& watchDog, WDOperation op, bool singleEntries);
    ~WatchDogRun();
    WatchDogRun(const WatchDogRun&) = delete;
    WatchDogRun& operator=(const WatchDogRun&) = delete;

    /// True when this run writes to the log.
    bool Logging() const { return m_logging; }
    /// Files handled so far.
    int Handled() const { return m_handled; }

    /// A file was handled: its single entry (source, destination as
    /// TWDList::WatchDogWrite takes them), or one more for the group.
    void Handled(const std::string& source, const std::string& destination = {});
    /// Adds to the count without writing anything (a group-only operation).
    void Count(int files = 1) { m_handled += files; }

    /// The group entry, when counting and something was handled: `source` is
    /// the directory (delete, move, copy), `destination` the target, mask or
    /// text. Then the log closes. A second call does nothing.
    void Finish(const std::string& source, const std::string& destination = {});

private:
    TWDList& m_wd;
    WDOperation m_op;
    bool m_single;
    bool m_logging = false;
    bool m_finished = false;
    int m_handled = 0;
};

} // namespace zentrix
