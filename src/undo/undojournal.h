#pragma once

#include "ops/operationjournal.h"
#include "platform/appendfile.h"
#include "undo/journalformat.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace zentrix {

/// The undo journal: a file in the program's data directory that keeps, for
/// every command run with undo allowed, what it did and the facts of what it
/// left on the disk, so that it can be put back later, also after the program
/// ended. One entry per command, appended as the command works and synced
/// before it reports success; the oldest entries go once there are more than
/// the limit. A damaged journal never stops the program: it is set aside and a
/// new one begins.
///
/// Main thread, except OperationRecord::Done, which the worker of a running
/// command calls (one command at a time).
class UndoJournal : public OperationJournal {
public:
    static constexpr int kDefaultLimit = 1000;

    /// `path`: the journal file; `limit`: the entries kept.
    UndoJournal(std::string path, int limit = kDefaultLimit);
    ~UndoJournal() override;
    UndoJournal(const UndoJournal&) = delete;
    UndoJournal& operator=(const UndoJournal&) = delete;

    /// Reads the file. A damaged journal, or one of a newer version, is renamed
    /// aside and a new one begins: the text returned says so (empty when there
    /// is nothing to tell). A last line cut short is dropped silently.
    std::string Load();

    const std::string& Path() const { return m_path; }
    int Limit() const { return m_limit; }
    /// A new limit (at least 1); the oldest entries beyond it go at once.
    void SetLimit(int limit);

    /// The entries, oldest first.
    const std::vector<UndoEntry>& Entries() const { return m_entries; }
    const UndoEntry* Find(uint64_t id) const;
    /// An entry's steps, read from the file. False, with the reason, when they
    /// cannot be read.
    bool Steps(uint64_t id, std::vector<DoneStep>& steps, std::string* problem = nullptr) const;

    std::unique_ptr<OperationRecord> Begin(const OperationInfo& info) override;

    /// Told after an entry was added, or the journal was read (main thread).
    std::function<void()> onChanged;
    /// Told that the journal could not be written, with a text naming the file
    /// and the reason; the command goes on.
    std::function<void(const std::string&)> onProblem;
    /// Where "now" comes from (seconds since 1970).
    std::function<int64_t()> Clock;

private:
    friend class UndoRecord;
    /// Appends whole lines; the offsets they went to in [begin, end). False
    /// when they could not be written.
    bool append(const std::string& bytes, uint64_t& begin, uint64_t& end, std::string& error);
    bool sync(std::string& error);
    void closeFile();
    void added(UndoEntry entry);
    void problem(const std::string& what);
    /// Writes the newest `m_limit` entries anew when there are more.
    void compact(bool always);
    std::string setAside(const std::string& reason);

    std::string m_path;
    int m_limit;
    std::vector<UndoEntry> m_entries;
    uint64_t m_nextId = 1;
    bool m_disabled = false;        // a damaged journal could not be set aside
    mutable std::mutex m_fileMutex; // the file, shared with a command's worker
    platform::AppendFile m_file;
};

} // namespace zentrix
