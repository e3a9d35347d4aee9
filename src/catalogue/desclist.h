#pragma once

#include "catalogue/descclass.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace zentrix {

/// One entry per extension met, in the order met. Entries are never removed.
class TDescList {
public:
    int Count() const { return static_cast<int>(m_items.size()); }
    TDescClass* operator[](int index) const { return m_items[static_cast<size_t>(index)].get(); }
    /// Index of the entry for an extension (upper case, no full stop), or -1.
    int Find(const std::string& ext) const;
    int Add(std::unique_ptr<TDescClass> entry);

private:
    std::vector<std::unique_ptr<TDescClass>> m_items;
    std::unordered_map<std::string, int> m_index; // first entry per extension
};

} // namespace zentrix
