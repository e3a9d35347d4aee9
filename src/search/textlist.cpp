#include "search/textlist.h"

#include "core/text.h"

#include <algorithm>

namespace zentrix {

size_t TExtList::indexOfExt(const std::string& ext) {
    // A lookup per file: by hash, not by walking the list.
    auto [it, added] = m_index.try_emplace(ext, m_items.size());
    if (added)
        m_items.push_back({ext, 0, 0});
    return it->second;
}

size_t TExtList::ExtIndex(std::string_view fileName) {
    return indexOfExt(ExtensionOf(fileName));
}

void TExtList::Add(std::string_view fileName, uint64_t bytes) {
    TExtClass& type = m_items[ExtIndex(fileName)];
    ++type.Files;
    type.Bytes += bytes;
}

void TExtList::Merge(const TExtList& other) {
    for (const TExtClass& type : other.m_items) {
        TExtClass& mine = m_items[indexOfExt(type.Ext)];
        mine.Files += type.Files;
        mine.Bytes += type.Bytes;
    }
}

void TExtList::SortByBytes() {
    std::sort(m_items.begin(), m_items.end(), [](const TExtClass& a, const TExtClass& b) {
        return a.Bytes != b.Bytes ? a.Bytes > b.Bytes : a.Ext < b.Ext;
    });
    m_index.clear();
    for (size_t i = 0; i < m_items.size(); ++i)
        m_index.emplace(m_items[i].Ext, i);
}

void TExtList::Clear() {
    m_items.clear();
    m_index.clear();
}

} // namespace zentrix
