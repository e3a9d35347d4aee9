#pragma once

#include "platform/filetransfer.h"

#include <cstdint>
#include <memory>
#include <string>

namespace zentrix {

/// One finished step of a file operation as it stands on the disk afterwards:
/// what the undo journal keeps to put it back and to see first whether putting
/// it back is still safe. Paths are host paths.
struct DoneStep {
    enum class Kind : uint8_t {
        Copied,     // `target` is a new copy of `source`
        Moved,      // `source` now lives at `target` (a rename, or a copy whose source went)
        MadeDir,    // `target` is a directory the operation made
        RemovedDir, // `source` is a directory removed once its contents had moved
        Attributes, // `source` got new attributes and is now `target` (hidden renames)
        Time,       // `target` got a new modification time
        Trashed,    // `source` went to the trash as `target` (trashDir/files/trashName)
        Deleted,    // `source`, a copy, was removed for good (by an undo)
        Restored,   // `target` came back from the trash (`source` in trashDir/files)
    };
    Kind kind = Kind::Copied;
    std::string source;
    std::string target;
    /// The facts of `target` afterwards (RemovedDir: of `source` before).
    platform::EntryStat result;
    /// An existing target was replaced, at the user's word.
    bool replaced = false;
    // Attributes: the attribute words before and after, the permission bits
    // before and where the drive keeps its attributes (platform::AttrSource).
    uint32_t oldAttributes = 0;
    uint32_t newAttributes = 0;
    unsigned oldMode = 0;
    int attrSource = 0;
    // Time: the modification time before.
    int64_t oldMtimeSec = 0;
    int64_t oldMtimeNsec = 0;
    // Trashed and Restored: the trash directory and the item's name in it.
    std::string trashDir;
    std::string trashName;
    /// A step of an undo: the index of the step it put back in the entry undone.
    int64_t undoes = -1;
};

/// The user commands the journal tells apart (one entry per command).
enum class OperationKind : uint8_t {
    Copy,
    Move,
    Rename,
    Attributes,
    DateTime,
    MakeDir,
    RenameDir,
    CopyDir,
    MoveDir,
    Trash,
    Undo,
};

/// A command as the user sees it: what it did, from where and to where
/// (catalogue paths, as shown).
struct OperationInfo {
    OperationKind kind = OperationKind::Copy;
    std::string source;
    std::string target;
    /// For an undo: the entry it undoes.
    uint64_t undoes = 0;
};

/// The record of one user command while it runs.
class OperationRecord {
public:
    virtual ~OperationRecord() = default;
    /// One step done; from the thread doing the work, one call at a time.
    virtual void Done(const DoneStep& step) = 0;
    /// The steps told so far go to the file now, not only after a while (a
    /// batch of them became final together); not synced.
    virtual void Flush() {}
    /// Everything recorded is on the disk: called on the main thread before the
    /// command reports success. A second call does nothing.
    virtual void Commit() = 0;
};

/// Where the commands record what they do so that it can be undone later.
class OperationJournal {
public:
    virtual ~OperationJournal() = default;
    /// A record for one command (main thread).
    virtual std::unique_ptr<OperationRecord> Begin(const OperationInfo& info) = 0;
};

/// The record of one command for the lifetime of a scope: begun when there is
/// a journal, reachable through `slot` while the command's steps are told to
/// it, and committed when the scope ends.
class RecordScope {
public:
    RecordScope(OperationJournal* journal, OperationRecord*& slot, const OperationInfo& info)
        : m_slot(slot), m_record(journal ? journal->Begin(info) : nullptr) {
        m_slot = m_record.get();
    }
    ~RecordScope() {
        m_slot = nullptr;
        if (m_record)
            m_record->Commit();
    }
    RecordScope(const RecordScope&) = delete;
    RecordScope& operator=(const RecordScope&) = delete;

private:
    OperationRecord*& m_slot;
    std::unique_ptr<OperationRecord> m_record;
};

} // namespace zentrix
