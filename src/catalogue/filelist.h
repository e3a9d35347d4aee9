#pragma once

#include "catalogue/fileclass.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

namespace zentrix {

/// The files of one logged directory, in the order they were added. The list
/// owns its records: they lie one after another in runs of memory that go away
/// with the list, so a record's address is stable while the list lives and
/// walking the list reads memory in order. A run holds at most 64 KiB (a
/// record reaches its run's header with 16 bits) and names the directory of
/// its records. There is no per-file pointer array: a removed record is marked
/// and skipped, and its bytes return when the directory is re-read or unlogged.
class TFileList {
public:
    /// The header in front of a run's records.
    struct Run {
        Run* next;
        TTreeNode* dir; // the directory of every record in the run
        uint32_t used;
        uint32_t capacity : 31;
        uint32_t borrowed : 1; // lies in memory the list does not own (see TLoggedClass)
        char* data() { return reinterpret_cast<char*>(this + 1); }
        const char* data() const { return reinterpret_cast<const char*>(this + 1); }
    };
    /// The run a record lies in.
    static const Run* runOf(const TFileClass* record) {
        return reinterpret_cast<const Run*>(reinterpret_cast<const char*>(record) -
                                            record->m_runOffset);
    }

    TFileList();
    ~TFileList();
    TFileList(const TFileList&) = delete;
    TFileList& operator=(const TFileList&) = delete;

    int Count() const { return m_count; }
    bool Empty() const { return m_count == 0; }

    class const_iterator {
    public:
        using value_type = TFileClass*;
        const_iterator() = default;
        TFileClass* operator*() const { return reinterpret_cast<TFileClass*>(m_pos); }
        const_iterator& operator++();
        bool operator==(const const_iterator& o) const { return m_pos == o.m_pos; }
        bool operator!=(const const_iterator& o) const { return m_pos != o.m_pos; }

    private:
        friend class TFileList;
        const_iterator(const Run* run, char* pos) : m_run(run), m_pos(pos) { settle(); }
        void settle();
        const Run* m_run = nullptr;
        char* m_pos = nullptr;
    };
    const_iterator begin() const;
    const_iterator end() const { return {}; }

    /// Makes room for `count` more records whose names take `nameBytes` in all,
    /// so that a directory's records fill runs without slack.
    void Reserve(size_t count, size_t nameBytes);

    /// Appends a new record: not tagged, no icon, no description.
    TFileClass* Add(std::string_view name, int64_t size, uint16_t attributes, int64_t lastWriteTime,
                    TTreeNode* dirNode);
    /// Appends a copy of a record of another list; its tag, cached description
    /// and icon move with it.
    TFileClass* AdoptCopy(TFileList& from, TFileClass* record);

    /// Removes a record of this list (its memory goes with the list). False when
    /// the record is not one of this list's live records.
    bool Remove(TFileClass* record);
    /// Position of a live record among the live records, or -1. Walks the list.
    int IndexOf(const TFileClass* record) const;
    /// The first live record, or none.
    TFileClass* First() const;

    /// Gives a record a new name (a rename on disk); its address stays.
    void Rename(TFileClass* record, std::string_view newName);
    /// Sets or replaces a record's own icon (the record owns it).
    void SetFileIcon(TFileClass* record, std::unique_ptr<TIcon> icon);

    /// Exchanges the contents of two lists (records keep their addresses).
    void Swap(TFileList& other) noexcept;

    /// Bytes held by the record runs (for the memory figures).
    size_t ArenaBytes() const;

    /// The most record bytes one run holds: every record in it starts within
    /// 64 KiB of the header.
    static constexpr size_t kMaxRunBytes = 0xFFFF - sizeof(Run);

private:
    friend class TFileClass;
    friend class TLoggedClass;
    /// Makes an empty list's first run of memory its owner provides: a run
    /// header with `capacity` bytes behind it, which must outlive the records
    /// placed in it. The list never frees it. The header is written in any case.
    void UseBorrowedRun(Run* run, size_t capacity, TTreeNode* dir);
    static size_t recordSize(const TFileClass* record);
    static bool isRemoved(const TFileClass* record);
    char* allocate(size_t bytes, TTreeNode* dir);
    Run* newRun(size_t capacity, TTreeNode* dir);
    bool owns(const TFileClass* record) const;

    struct SideData {
        std::string descText;
        std::unique_ptr<TIcon> icon;
        std::string name;        // a renamed record whose new name does not fit in place
        int64_t size = 0;        // a size of 4 GiB or more
        uint16_t attributes = 0; // a word with bits above the lowest eight
    };
    SideData& side(const TFileClass* record);
    const SideData* findSide(const TFileClass* record) const;

    Run* m_first = nullptr;
    Run* m_last = nullptr;
    int m_count = 0;
    uint32_t m_reserved = 0; // bytes of records still expected from Reserve
    std::unique_ptr<std::unordered_map<const TFileClass*, SideData>> m_side;
};

} // namespace zentrix
