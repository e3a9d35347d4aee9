#pragma once

#include "ops/operationjournal.h"

#include "platform/filetransfer.h"

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

namespace zentrix {

class Progress;
class Prompter;
class UndoCoverage;
class UndoJournal;
struct UndoEntry;

/// A file an undo did not touch, and why (shown to the user).
struct LeftAlone {
    std::string path; // host path
    std::string reason;
};

/// What an undo did.
struct UndoReport {
    uint64_t undone = 0;     // the entry it undid
    uint64_t ownEntry = 0;   // its own entry in the journal (0: it did nothing)
    std::string description; // of what it undid: "move of 3,000 files to D:\Archive\"
    int64_t putBack = 0;     // steps put back now, or found back already
    std::vector<LeftAlone> leftAlone;
    /// Host directories whose entries changed (for the catalogue).
    std::vector<std::string> changedDirs;
    bool cancelled = false;
    /// The entry could not be read: nothing was done.
    std::string failure;
};

/// Whether an entry can be undone as the disk is now, in words: "can be
/// undone", "undone", "cannot be undone: it changed since" ... Looks at every
/// step not put back yet, without changing anything; "cut short" marks a
/// command that never finished.
std::string UndoStateText(const UndoJournal& journal, const UndoEntry& entry,
                          const UndoCoverage& coverage);

/// Puts back what a journal entry did, step by step from its last step to its
/// first. It never replaces a file, never removes or moves one that changed
/// since the command (device, inode, size and time are compared with what the
/// journal says), and names every file it leaves alone with the reason. The
/// undo is a command of its own: its steps go to the journal as they are done,
/// so that one cut short can be finished (run the same entry again) or undone.
/// Every step looks at the disk first, so a step done before a kill but not
/// recorded is found done and recorded now. Main thread; long work pumps
/// `progress`, whose "STOP" ends the undo between two steps.
class UndoRunner {
public:
    UndoRunner(UndoJournal& journal, Prompter& prompter, Progress& progress);

    UndoReport Run(uint64_t id);

    /// Why a step could not be put back as the disk is now; none when it can
    /// (or is back already). Changes nothing.
    static std::optional<std::string> Blocker(const DoneStep& step);

    /// The form a host path is shown in (by default as it is).
    std::function<std::string(const std::string&)> display;
    /// Told of each block of a file copied back across file systems.
    std::function<void(uint64_t)> onBlock;
    /// Files copied back across file systems are gathered into batches of at
    /// most this many bytes or files: a batch reaches the disk with one flush
    /// of each file system it went to, and only then do the files at the other
    /// place go.
    uint64_t batchBytes = uint64_t(64) << 20;
    size_t batchFiles = 2000;

private:
    enum class Outcome { Done, LeftAlone, Cancelled };
    Outcome putBack(const DoneStep& step, int64_t index);
    Outcome undoCopied(const DoneStep& step, int64_t index);
    Outcome undoMadeDir(const DoneStep& step, int64_t index);
    Outcome undoRemovedDir(const DoneStep& step, int64_t index);
    Outcome undoMoved(const DoneStep& step, int64_t index);
    Outcome undoAttributes(const DoneStep& step, int64_t index);
    Outcome undoTime(const DoneStep& step, int64_t index);
    Outcome undoTrashed(const DoneStep& step, int64_t index);
    Outcome undoRestored(const DoneStep& step, int64_t index);
    /// A file copied back across file systems whose other copy is still there.
    struct PendingCopy {
        DoneStep done;              // recorded once `from` went
        int64_t index = -1;         // the step it puts back
        std::string from;           // removed once the copy is on the disk
        platform::EntryStat copied; // `from` as it was copied
    };
    /// Copies `from` back to `to` across file systems; the copy joins the batch
    /// (see finishCopies). 0, or the errno with nothing left behind.
    int copyBack(const std::string& from, const std::string& to, const platform::EntryStat& st,
                 PendingCopy& pending);
    /// The batch reaches the disk, then the files it copied leave their other
    /// place (each only if unchanged since it was copied) and are recorded.
    void finishCopies();
    bool pendingTouches(const DoneStep& step) const;
    /// Makes the missing directories above `path`, each recorded.
    int makeParents(const std::string& path);
    /// `path` is taken: another free name for it in its directory, after the
    /// user's word; none to leave the file alone (`cancel` to stop).
    std::optional<std::string> otherName(const std::string& path, const platform::EntryStat& taken,
                                         const platform::EntryStat& back, bool& cancel);
    Outcome leave(const std::string& path, const std::string& reason);
    void record(DoneStep step, int64_t index);
    std::string shown(const std::string& path) const;

    UndoJournal& m_journal;
    Prompter& m_prompter;
    Progress& m_progress;
    OperationRecord* m_record = nullptr;
    UndoReport* m_report = nullptr;
    bool m_skipAll = false;
    std::string m_parentFound; // a directory makeParents found there
    std::vector<PendingCopy> m_pending;
    uint64_t m_pendingBytes = 0;
    std::unordered_set<std::string> m_pendingPaths;     // both places of each
    std::map<uint64_t, platform::DirHandle> m_syncDirs; // by device: what to flush
};

} // namespace zentrix
