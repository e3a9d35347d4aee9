#pragma once

#include "ops/operationjournal.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zentrix {

/// One user command as the undo journal holds it in memory: its heading, how
/// many steps it has and where its lines lie in the file. The steps themselves
/// stay in the file until they are needed (ReadUndoSteps).
struct UndoEntry {
    uint64_t id = 0;
    int64_t time = 0; // seconds since 1970-01-01 UTC
    OperationInfo info;
    /// The command finished (its record was committed); an entry without this
    /// was cut short, by a kill or a crash, after the steps it lists.
    bool committed = false;
    int64_t steps = 0;
    /// The steps that stand for files (not directories made or removed on the way).
    int64_t files = 0;
    /// For an undo: per step, the index of the step it put back.
    std::vector<int64_t> undoes;
    /// Where the entry's lines lie in the file: [begin, end).
    uint64_t begin = 0;
    uint64_t end = 0;
};

/// The journal is a text file of tab-separated lines, after a version line:
///
///   ZENTRIX UNDO JOURNAL 1
///   E id time kind undoes source target      an entry begins
///   I id step fields ...                     one step of it
///   C id                                     it was committed
///
/// Fields escape bytes below 0x20, 0x7F and "%" as %XX. The two paths of a step
/// are written as the number of bytes they share with the same path of the
/// entry's step before, "+" and the rest, so that a thousand files of one
/// directory do not repeat it a thousand times.
constexpr int kUndoJournalVersion = 1;

std::string UndoJournalVersionLine();
std::string FormatEntryLine(const UndoEntry& entry);
/// Appends a step's line; `previous` is the entry's step before (none for its first).
void AppendStepLine(std::string& out, uint64_t id, const DoneStep& step, const DoneStep* previous);
std::string FormatCommitLine(uint64_t id);

/// What a journal's text holds.
struct UndoJournalText {
    /// From the version line; 0 for an empty text.
    int version = 0;
    bool damaged = false;
    /// What is wrong with a damaged text (or that its version is newer).
    std::string problem;
    /// Bytes up to the end of the last whole line: a last line without its
    /// line end was cut short while it was written and does not count.
    size_t complete = 0;
    std::vector<UndoEntry> entries; // in the order of the file
};

/// Reads a journal. Linear in its size; every line is checked in full, so a
/// text that reads without damage gives steps that ReadUndoSteps reads too.
/// A version above kUndoJournalVersion is read no further (damaged, with the
/// reason).
UndoJournalText ReadUndoJournal(std::string_view text);

/// The steps of entry `id` among the lines of `text` (a part of the journal,
/// whole lines; those of other entries are passed over). False when a line is
/// damaged.
bool ReadUndoSteps(std::string_view text, uint64_t id, std::vector<DoneStep>& steps);

/// The whole lines of `text` that belong to the entries `keep` says yes to,
/// after the text's version line (for writing the journal anew without its
/// oldest entries).
std::string KeepUndoEntries(std::string_view text, const std::function<bool(uint64_t)>& keep);

/// The field escape of the journal, and back (false on a bad escape).
std::string EscapeJournalField(std::string_view text);
bool UnescapeJournalField(std::string_view text, std::string& out);

} // namespace zentrix
