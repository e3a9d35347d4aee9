#include "undo/undojournal.h"

#include "platform/appendfile.h"
#include "platform/atomicfile.h"
#include "platform/fileops.h"
#include "platform/filetransfer.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <unordered_set>

namespace zentrix {

namespace {

// A journal bigger than this is not read into memory: it is set aside.
constexpr size_t kMaxJournalBytes = size_t(1) << 30;
// Steps go to the file at least this often while a command runs, so that a
// kill loses only the last moments of the record.
constexpr auto kFlushEvery = std::chrono::milliseconds(100);
constexpr size_t kFlushBytes = 256 * 1024;

bool countsAsFile(DoneStep::Kind kind) {
    return kind != DoneStep::Kind::MadeDir && kind != DoneStep::Kind::RemovedDir;
}

} // namespace

/// The record of one command: its lines gathered and written in batches; the
/// entry joins the journal when committed.
class UndoRecord : public OperationRecord {
public:
    UndoRecord(UndoJournal& journal, UndoEntry entry)
        : m_journal(journal), m_entry(std::move(entry)) {}
    ~UndoRecord() override { Commit(); }

    void Done(const DoneStep& step) override {
        if (m_committed || m_failed)
            return;
        if (!m_hasPrevious)
            m_buffer = FormatEntryLine(m_entry);
        AppendStepLine(m_buffer, m_entry.id, step, m_hasPrevious ? &m_previous : nullptr);
        m_previous = step;
        m_hasPrevious = true;
        ++m_pendingSteps;
        if (countsAsFile(step.kind))
            ++m_pendingFiles;
        if (m_entry.info.kind == OperationKind::Undo)
            m_pendingUndoes.push_back(step.undoes);
        const auto now = std::chrono::steady_clock::now();
        if (m_buffer.size() >= kFlushBytes || now - m_lastFlush >= kFlushEvery) {
            flush();
            m_lastFlush = now;
        }
    }

    void Flush() override {
        if (m_committed || m_failed)
            return;
        flush();
        m_lastFlush = std::chrono::steady_clock::now();
    }

    void Commit() override {
        if (m_committed)
            return;
        m_committed = true;
        if (!m_hasPrevious)
            return; // nothing was done: no entry
        if (!m_failed) {
            m_buffer += FormatCommitLine(m_entry.id);
            flush();
        }
        if (!m_failed && !m_journal.sync(m_error))
            m_failed = true;
        // Told here, on the main thread, also when a write of the worker failed.
        if (m_failed)
            m_journal.problem("Cannot write the undo journal " + m_journal.Path() + ": " + m_error);
        m_entry.committed = !m_failed;
        m_journal.added(std::move(m_entry));
    }

private:
    void flush() {
        if (m_buffer.empty() || m_failed)
            return;
        uint64_t begin = 0, end = 0;
        if (!m_journal.append(m_buffer, begin, end, m_error)) {
            // What went before stays a consistent record of what was done; the
            // rest of this command is not recorded.
            m_failed = true;
            return;
        }
        if (!m_written)
            m_entry.begin = begin;
        m_written = true;
        m_entry.end = end;
        m_entry.steps += m_pendingSteps;
        m_entry.files += m_pendingFiles;
        m_entry.undoes.insert(m_entry.undoes.end(), m_pendingUndoes.begin(), m_pendingUndoes.end());
        m_pendingSteps = m_pendingFiles = 0;
        m_pendingUndoes.clear();
        m_buffer.clear();
    }

    UndoJournal& m_journal;
    UndoEntry m_entry;
    DoneStep m_previous;
    bool m_hasPrevious = false;
    bool m_written = false;
    bool m_committed = false;
    bool m_failed = false;
    std::string m_error;
    std::string m_buffer;
    int64_t m_pendingSteps = 0;
    int64_t m_pendingFiles = 0;
    std::vector<int64_t> m_pendingUndoes;
    std::chrono::steady_clock::time_point m_lastFlush = std::chrono::steady_clock::now();
};

/// Records nothing (a journal that could not be set aside).
class NoRecord : public OperationRecord {
public:
    void Done(const DoneStep&) override {}
    void Commit() override {}
};

UndoJournal::UndoJournal(std::string path, int limit)
    : m_path(std::move(path)), m_limit(std::max(1, limit)) {
    Clock = [] {
        return static_cast<int64_t>(std::time(nullptr));
    };
}

UndoJournal::~UndoJournal() = default;

void UndoJournal::problem(const std::string& what) {
    if (onProblem)
        onProblem(what);
}

void UndoJournal::closeFile() {
    std::lock_guard lock(m_fileMutex);
    m_file.Close();
}

bool UndoJournal::append(const std::string& bytes, uint64_t& begin, uint64_t& end,
                         std::string& error) {
    std::lock_guard lock(m_fileMutex);
    int e = m_file.IsOpen() ? 0 : m_file.Open(m_path);
    if (e == 0)
        e = m_file.Append(bytes, UndoJournalVersionLine(), begin, end);
    if (e != 0)
        error = platform::ErrorText(e);
    return e == 0;
}

bool UndoJournal::sync(std::string& error) {
    std::lock_guard lock(m_fileMutex);
    const int e = m_file.Sync();
    if (e != 0)
        error = platform::ErrorText(e);
    return e == 0;
}

std::string UndoJournal::setAside(const std::string& reason) {
    closeFile();
    std::string aside = m_path + ".damaged";
    std::string error;
    for (int n = 2; !platform::RenameNoReplace(m_path, aside, &error); ++n) {
        platform::EntryStat st;
        if (n >= 100 || platform::StatPath(aside, st) != 0) {
            // Not a name clash, or no free name: the journal cannot be moved.
            m_disabled = true;
            return "The undo journal " + m_path + " is damaged (" + reason +
                   ") and cannot be set aside: " + error +
                   ". Operations are not recorded for undo until it is removed.     ";
        }
        aside = m_path + ".damaged-" + std::to_string(n);
    }
    return "The undo journal " + m_path + " is damaged (" + reason + "). It was set aside as " +
           aside + " and a new one begun.     ";
}

std::string UndoJournal::Load() {
    closeFile();
    m_entries.clear();
    m_disabled = false;
    std::string message;
    platform::EntryStat st;
    if (platform::StatPath(m_path, st, true) == 0) {
        const auto text = st.size <= kMaxJournalBytes
                              ? platform::ReadWholeFile(m_path, kMaxJournalBytes)
                              : std::nullopt;
        UndoJournalText read;
        if (!text) {
            read.damaged = true;
            read.problem = st.size > kMaxJournalBytes ? "it is too large" : "it cannot be read";
        } else {
            read = ReadUndoJournal(*text);
        }
        if (read.damaged) {
            message = setAside(read.problem);
        } else {
            if (read.complete < text->size())
                platform::TruncateFileTo(m_path, read.complete); // a line cut short
            m_entries = std::move(read.entries);
        }
    }
    m_nextId = 1;
    for (const UndoEntry& e : m_entries)
        m_nextId = std::max(m_nextId, e.id + 1);
    compact(false);
    if (onChanged)
        onChanged();
    return message;
}

void UndoJournal::SetLimit(int limit) {
    m_limit = std::max(1, limit);
    compact(false);
}

const UndoEntry* UndoJournal::Find(uint64_t id) const {
    const auto it = std::lower_bound(m_entries.begin(), m_entries.end(), id,
                                     [](const UndoEntry& e, uint64_t v) { return e.id < v; });
    return it != m_entries.end() && it->id == id ? &*it : nullptr;
}

bool UndoJournal::Steps(uint64_t id, std::vector<DoneStep>& steps, std::string* problem) const {
    steps.clear();
    const UndoEntry* entry = Find(id);
    if (!entry) {
        if (problem)
            *problem = "the entry is no longer in the journal";
        return false;
    }
    if (entry->steps == 0)
        return true;
    const auto bytes = platform::ReadFileRange(m_path, entry->begin, entry->end);
    if (!bytes || !ReadUndoSteps(*bytes, id, steps) ||
        static_cast<int64_t>(steps.size()) != entry->steps) {
        if (problem)
            *problem = "the journal " + m_path + " cannot be read";
        steps.clear();
        return false;
    }
    return true;
}

std::unique_ptr<OperationRecord> UndoJournal::Begin(const OperationInfo& info) {
    if (m_disabled)
        return std::make_unique<NoRecord>();
    UndoEntry entry;
    entry.id = m_nextId++;
    entry.time = Clock ? Clock() : 0;
    entry.info = info;
    return std::make_unique<UndoRecord>(*this, std::move(entry));
}

void UndoJournal::added(UndoEntry entry) {
    m_entries.push_back(std::move(entry));
    // Written anew only now and then: a tenth more than the limit may wait.
    if (static_cast<int>(m_entries.size()) > m_limit + std::max(1, m_limit / 10))
        compact(false);
    if (onChanged)
        onChanged();
}

void UndoJournal::compact(bool always) {
    if (static_cast<int>(m_entries.size()) <= m_limit && !always)
        return;
    const size_t drop = m_entries.size() > static_cast<size_t>(m_limit)
                            ? m_entries.size() - static_cast<size_t>(m_limit)
                            : 0;
    m_entries.erase(m_entries.begin(), m_entries.begin() + static_cast<std::ptrdiff_t>(drop));
    std::unordered_set<uint64_t> keep;
    for (const UndoEntry& e : m_entries)
        keep.insert(e.id);
    closeFile();
    const auto text = platform::ReadWholeFile(m_path, kMaxJournalBytes);
    if (!text)
        return;
    const std::string kept =
        KeepUndoEntries(*text, [&](uint64_t id) { return keep.count(id) > 0; });
    try {
        platform::WriteFileAtomically(m_path, kept, 0600);
    } catch (const platform::FileWriteError& e) {
        problem(e.what());
        return;
    }
    // The offsets moved with the lines.
    UndoJournalText read = ReadUndoJournal(kept);
    if (!read.damaged)
        m_entries = std::move(read.entries);
}

} // namespace zentrix
