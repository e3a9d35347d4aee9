#pragma once

#include "catalogue/fileclass.h"

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zentrix {

/// The files of one logged directory, in the order they were added. The list
/// owns its records (and their descriptions and icons): they live in blocks of
/// memory that go away with the list, so a record's address is stable for as
/// long as the list exists.
class TFileList {
public:
    TFileList();
    ~TFileList();
    TFileList(const TFileList&) = delete;
    TFileList& operator=(const TFileList&) = delete;

    int Count() const { return static_cast<int>(m_items.size()); }
    TFileClass* operator[](int index) const { return m_items[static_cast<size_t>(index)]; }
    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

    /// Makes room for `count` more records whose names take `nameBytes` in all,
    /// so that a directory's records share one block.
    void Reserve(size_t count, size_t nameBytes);

    /// Appends a new record: not tagged, DescIndex -1, no icon, no description.
    TFileClass* Add(std::string_view name, int32_t size, uint16_t attributes,
                    int64_t lastWriteTime, TTreeNode* dirNode);
    /// Appends a copy of a record of another list (tag, cached description and
    /// icon go with it; the other list forgets them).
    TFileClass* AdoptCopy(TFileList& from, TFileClass* record);

    /// Removes the record at index; its memory goes with the list.
    void Delete(int index);
    /// Index of the record, or -1.
    int IndexOf(const TFileClass* record) const;

    /// Gives a record a new name (a rename on disk).
    void Rename(TFileClass* record, std::string_view newName);

    /// Exchanges the contents of two lists (records keep their addresses).
    void Swap(TFileList& other) noexcept;

    /// Bytes held by the records (for the memory figures).
    size_t ArenaBytes() const { return m_arenaBytes; }

private:
    friend class TFileClass;
    char* allocate(size_t bytes);
    void forgetSideData(TFileClass* record);

    std::vector<TFileClass*> m_items;
    std::vector<std::unique_ptr<char[]>> m_blocks;
    char* m_cursor = nullptr;
    size_t m_left = 0;
    size_t m_arenaBytes = 0;

    struct SideData {
        std::string descText;
        std::unique_ptr<TIcon> icon;
        std::string name; // a renamed record whose new name does not fit in place
    };
    std::unique_ptr<std::unordered_map<const TFileClass*, SideData>> m_side;

    SideData& side(const TFileClass* record);
    const SideData* findSide(const TFileClass* record) const;

public:
    /// Sets or replaces a record's own icon (the record owns it).
    void SetFileIcon(TFileClass* record, std::unique_ptr<TIcon> icon);
};

} // namespace zentrix
