#include "undo/undohistory.h"

namespace zentrix {

UndoCoverage::UndoCoverage(const std::vector<UndoEntry>& entries) {
    std::unordered_map<uint64_t, const UndoEntry*> byId;
    for (const UndoEntry& e : entries)
        byId.emplace(e.id, &e);
    // Newest first: whatever undoes an entry is newer than it, so an undo's own
    // coverage is complete when its steps are counted for the entry it undid.
    static const std::vector<bool> none;
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        const UndoEntry& undo = *it;
        if (undo.info.kind != OperationKind::Undo)
            continue;
        const auto target = byId.find(undo.info.undoes);
        if (target == byId.end() || target->second->id >= undo.id)
            continue;
        const UndoEntry& undone = *target->second;
        const auto own = m_covered.find(undo.id);
        const std::vector<bool>& ownCovered = own == m_covered.end() ? none : own->second;
        std::vector<bool>& covered = m_covered[undone.id];
        covered.resize(static_cast<size_t>(undone.steps), false);
        int64_t& count = m_counts[undone.id];
        for (size_t j = 0; j < undo.undoes.size(); ++j) {
            if (j < ownCovered.size() && ownCovered[j])
                continue; // put in place again by a later undo of this undo
            const int64_t ref = undo.undoes[j];
            if (ref >= 0 && ref < undone.steps && !covered[static_cast<size_t>(ref)]) {
                covered[static_cast<size_t>(ref)] = true;
                ++count;
            }
        }
    }
}

const std::vector<bool>& UndoCoverage::Covered(uint64_t id) const {
    static const std::vector<bool> none;
    const auto it = m_covered.find(id);
    return it == m_covered.end() ? none : it->second;
}

int64_t UndoCoverage::CoveredCount(uint64_t id) const {
    const auto it = m_counts.find(id);
    return it == m_counts.end() ? 0 : it->second;
}

const UndoEntry* LastUndoable(const std::vector<UndoEntry>& entries, const UndoCoverage& coverage) {
    for (auto it = entries.rbegin(); it != entries.rend(); ++it)
        if (it->info.kind != OperationKind::Undo && coverage.Remaining(*it) > 0)
            return &*it;
    return nullptr;
}

std::string UndoDescription(const UndoEntry& entry) {
    const OperationInfo& info = entry.info;
    // One file is named; more are counted (and so is one of a directory's).
    const std::string what =
        entry.files == 1 && !info.source.empty() && info.source.back() != '\\'
            ? info.source
            : GroupedNumber(entry.files) + (entry.files == 1 ? " file" : " files");
    const std::string to = info.target.empty() ? std::string() : " to " + info.target;
    switch (info.kind) {
    case OperationKind::Copy:
        return "copy of " + what + to;
    case OperationKind::Move:
        return "move of " + what + to;
    case OperationKind::Rename:
        return "rename of " + what + to;
    case OperationKind::Attributes:
        return "attribute change of " + what + to;
    case OperationKind::DateTime:
        return "date/time change of " + what + to;
    case OperationKind::MakeDir:
        return "new directory " + info.target;
    case OperationKind::RenameDir:
        return "rename of directory " + info.source + to;
    case OperationKind::CopyDir:
        return "copy of directory " + info.source + to;
    case OperationKind::MoveDir:
        return "move of directory " + info.source + to;
    case OperationKind::Trash:
        return "delete of " + what + " to the trash";
    case OperationKind::Undo:
        break;
    }
    return "undo of " + info.source;
}

} // namespace zentrix
