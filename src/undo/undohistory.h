#pragma once

#include "core/text.h"
#include "undo/journalformat.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace zentrix {

/// Which steps of each journal entry an undo has put back. An undo is a
/// command of its own, with an entry whose steps name the steps they put
/// back; an undo of that undo puts them in place again, and so on. A step
/// counts as put back when an undo of its entry put it back and that was not
/// itself put back.
class UndoCoverage {
public:
    explicit UndoCoverage(const std::vector<UndoEntry>& entries);

    /// Per step of the entry: put back already (empty when none is).
    const std::vector<bool>& Covered(uint64_t id) const;
    int64_t CoveredCount(uint64_t id) const;
    /// Steps of the entry not put back yet.
    int64_t Remaining(const UndoEntry& entry) const { return entry.steps - CoveredCount(entry.id); }

private:
    std::unordered_map<uint64_t, std::vector<bool>> m_covered;
    std::unordered_map<uint64_t, int64_t> m_counts;
};

/// The entry that "Undo" undoes: the newest that is no undo itself and has
/// steps left to put back; none when there is none.
const UndoEntry* LastUndoable(const std::vector<UndoEntry>& entries, const UndoCoverage& coverage);

/// What a command did, in words: "move of 3,000 files to D:\Archive\".
std::string UndoDescription(const UndoEntry& entry);

} // namespace zentrix
