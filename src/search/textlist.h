#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zentrix {

/// One file type of the statistics: the extension in upper case with its
/// leading full stop (empty for names without one), its files and bytes.
struct TExtClass {
    std::string Ext;
    uint64_t Files = 0;
    uint64_t Bytes = 0;
};

/// The file types met in a scan, in the order first met. Extensions that
/// differ only in the case of their ASCII letters are one type.
class TExtList {
public:
    /// The entry of a file name's extension, appended with zero counts when new.
    size_t ExtIndex(std::string_view fileName);
    /// Adds one file of that name and size.
    void Add(std::string_view fileName, uint64_t bytes);
    /// Adds the counts of another list (types new here are appended).
    void Merge(const TExtList& other);
    /// Largest byte total first; equal totals by extension.
    void SortByBytes();

    const std::vector<TExtClass>& Items() const { return m_items; }
    size_t Count() const { return m_items.size(); }
    const TExtClass& operator[](size_t i) const { return m_items[i]; }
    void Clear();

private:
    size_t indexOfExt(const std::string& ext);

    std::vector<TExtClass> m_items;
    std::unordered_map<std::string, size_t> m_index;
};

} // namespace zentrix
