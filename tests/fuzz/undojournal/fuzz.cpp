// The undo journal, read back at every start: whatever the file holds (a torn
// write, a disk error, a hand edit), reading it must neither crash nor hang,
// and what reads without damage must write back to the same entries and steps.
#include "undo/journalformat.h"

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace zentrix;

namespace {

bool same(const DoneStep& a, const DoneStep& b) {
    return a.kind == b.kind && a.source == b.source && a.target == b.target &&
           a.result.kind == b.result.kind && a.result.size == b.result.size &&
           a.result.mtimeSec == b.result.mtimeSec && a.result.mtimeNsec == b.result.mtimeNsec &&
           a.result.device == b.result.device && a.result.inode == b.result.inode &&
           a.result.mode == b.result.mode && a.replaced == b.replaced &&
           a.oldAttributes == b.oldAttributes && a.newAttributes == b.newAttributes &&
           a.oldMode == b.oldMode && a.attrSource == b.attrSource &&
           a.oldMtimeSec == b.oldMtimeSec && a.oldMtimeNsec == b.oldMtimeNsec &&
           a.trashDir == b.trashDir && a.trashName == b.trashName && a.undoes == b.undoes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const UndoJournalText read = ReadUndoJournal(text);
    if (read.complete > text.size())
        std::abort();
    if (read.damaged)
        return 0;
    // Every entry's steps read from its own lines, and written anew they read
    // back the same.
    std::string again = UndoJournalVersionLine();
    for (const UndoEntry& entry : read.entries) {
        if (entry.begin > entry.end || entry.end > read.complete)
            std::abort();
        std::vector<DoneStep> steps;
        if (!ReadUndoSteps(std::string_view(text).substr(entry.begin, entry.end - entry.begin),
                           entry.id, steps) ||
            static_cast<int64_t>(steps.size()) != entry.steps)
            std::abort();
        again += FormatEntryLine(entry);
        for (size_t i = 0; i < steps.size(); ++i)
            AppendStepLine(again, entry.id, steps[i], i ? &steps[i - 1] : nullptr);
        if (entry.committed)
            again += FormatCommitLine(entry.id);
        std::vector<DoneStep> back;
        const UndoJournalText reread = ReadUndoJournal(again);
        if (reread.damaged || reread.entries.empty())
            std::abort();
        const UndoEntry& e = reread.entries.back();
        if (!ReadUndoSteps(std::string_view(again).substr(e.begin, e.end - e.begin), entry.id,
                           back) ||
            back.size() != steps.size())
            std::abort();
        for (size_t i = 0; i < steps.size(); ++i)
            if (!same(steps[i], back[i]))
                std::abort();
        if (e.id != entry.id || e.time != entry.time || e.info.kind != entry.info.kind ||
            e.info.source != entry.info.source || e.info.target != entry.info.target ||
            e.info.undoes != entry.info.undoes || e.committed != entry.committed ||
            e.files != entry.files || e.undoes != entry.undoes)
            std::abort();
    }
    // Keeping every entry keeps every whole line.
    if (read.complete > 0) {
        const size_t body = text.find('\n') + 1;
        const std::string kept =
            KeepUndoEntries(text.substr(0, read.complete), [](uint64_t) { return true; });
        if (kept != UndoJournalVersionLine() + text.substr(body, read.complete - body))
            std::abort();
    }
    return 0;
}
