#pragma once

#include <unordered_map>
#include <vector>

namespace zentrix {

class TFileClass;
class TLoggedClass;
class TTreeNode;

/// Told of the changes the catalogue makes to logged directories as they
/// follow the disk, one record at a time, so that a view holding records can
/// follow them without a refill. The calls of one batch come between
/// liveBatchBegin and liveBatchEnd; nothing in between runs events. Records
/// may be removed and moved in memory during a batch (the catalogue's
/// generation goes up): an observer that follows every call holds only live
/// records at the end.
class RecordObserver {
public:
    virtual ~RecordObserver() = default;

    virtual void liveBatchBegin() = 0;
    /// New records were appended to a directory.
    virtual void recordsAdded(const TLoggedClass& dir, const std::vector<TFileClass*>& records) = 0;
    /// A record is about to leave its directory (it is still readable).
    virtual void recordRemoving(const TFileClass* record) = 0;
    /// A directory node is about to go with its whole branch and every record in it.
    virtual void branchRemoving(const TTreeNode* branch) = 0;
    /// A record's size, time, attributes or tag changed in place; with
    /// `renamed` its name too.
    virtual void recordChanged(TFileClass* record, bool renamed) = 0;
    /// The records of a directory were packed anew: each old address maps to
    /// its new one (the old addresses are no longer readable).
    virtual void recordsMoved(const std::unordered_map<const TFileClass*, TFileClass*>& moved) = 0;
    virtual void liveBatchEnd() = 0;
};

} // namespace zentrix
