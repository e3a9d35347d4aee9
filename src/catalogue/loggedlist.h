#pragma once

#include "catalogue/loggedclass.h"

#include <functional>
#include <memory>
#include <vector>

namespace zentrix {

/// Every logged directory of every logged disk, in the order they were logged.
/// Owns the directory records.
class TLoggedList {
public:
    int Count() const { return static_cast<int>(m_items.size()); }
    TLoggedClass* operator[](int index) const { return m_items[static_cast<size_t>(index)].get(); }
    /// Iterates the records as plain pointers.
    class const_iterator {
    public:
        using Inner = std::vector<std::unique_ptr<TLoggedClass>>::const_iterator;
        explicit const_iterator(Inner it) : m_it(it) {}
        TLoggedClass* operator*() const { return m_it->get(); }
        const_iterator& operator++() {
            ++m_it;
            return *this;
        }
        bool operator!=(const const_iterator& o) const { return m_it != o.m_it; }
        bool operator==(const const_iterator& o) const { return m_it == o.m_it; }

    private:
        Inner m_it;
    };
    const_iterator begin() const { return const_iterator(m_items.begin()); }
    const_iterator end() const { return const_iterator(m_items.end()); }

    TLoggedClass* Add(std::unique_ptr<TLoggedClass> record);
    /// Removes and disposes of every record the predicate picks, in one pass.
    /// Returns how many went.
    int RemoveIf(const std::function<bool(const TLoggedClass&)>& pick);
    /// Removes one record by identity and hands it to the caller.
    std::unique_ptr<TLoggedClass> Take(TLoggedClass* record);
    void Clear() { m_items.clear(); }

private:
    std::vector<std::unique_ptr<TLoggedClass>> m_items;
};

} // namespace zentrix
