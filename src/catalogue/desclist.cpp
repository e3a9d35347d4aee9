#include "catalogue/desclist.h"

namespace zentrix {

int TDescList::Find(const std::string& ext) const {
    auto it = m_index.find(ext);
    return it == m_index.end() ? -1 : it->second;
}

int TDescList::Add(std::unique_ptr<TDescClass> entry) {
    const int index = Count();
    m_index.emplace(entry->Ext, index);
    m_items.push_back(std::move(entry));
    return index;
}

} // namespace zentrix
