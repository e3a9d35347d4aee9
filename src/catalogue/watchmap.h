#pragma once

#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

namespace zentrix {

class TTreeNode;

/// The followed directories by their watch number. A whole disk may hold tens
/// of thousands of watches, so they sit in one array sorted by number (16
/// bytes each, where a hash map costs more than twice that). The system hands
/// out numbers in rising order, so a new watch nearly always goes at the end;
/// one given up leaves a gap that is closed when gaps make up half the array.
/// The array grows by a quarter at a time, so little of it stands empty.
class WatchMap {
public:
    size_t size() const { return m_live; }
    bool empty() const { return m_live == 0; }
    bool contains(int watch) const { return find(watch) != nullptr; }

    TTreeNode* find(int watch) const {
        const auto it = slot(watch);
        return it != m_items.end() && it->first == watch ? it->second : nullptr;
    }

    /// False (and nothing changes) when the number is taken.
    bool insert(int watch, TTreeNode* node) {
        if (!node)
            return false;
        if (m_items.empty() || m_items.back().first < watch) {
            if (m_items.size() == m_items.capacity())
                m_items.reserve(m_items.size() + m_items.size() / 4 + 16); // little slack
            m_items.emplace_back(watch, node);
            ++m_live;
            return true;
        }
        auto it = slot(watch);
        if (it != m_items.end() && it->first == watch) {
            if (it->second)
                return false;
            it->second = node; // a gap of the same number is filled
        } else {
            m_items.emplace(it, watch, node); // the numbers wrapped round
        }
        ++m_live;
        return true;
    }

    void erase(int watch) {
        auto it = slot(watch);
        if (it == m_items.end() || it->first != watch || !it->second)
            return;
        it->second = nullptr;
        --m_live;
        if (m_live * 2 < m_items.size())
            pack();
    }

    void clear() {
        m_items.clear();
        m_items.shrink_to_fit();
        m_live = 0;
    }

    /// The first watch in number order (the oldest), or nullptr when empty.
    TTreeNode* first() const {
        for (const auto& [watch, node] : m_items)
            if (node)
                return node;
        return nullptr;
    }

    /// Calls `f(watch, node)` for each watch in number order; `f` returns
    /// false to stop. It must not change the map.
    template <typename F>
    void forEach(F&& f) const {
        for (const auto& [watch, node] : m_items)
            if (node && !f(watch, node))
                return;
    }

private:
    using Item = std::pair<int, TTreeNode*>;
    static bool before(const Item& item, int watch) { return item.first < watch; }

    /// Where the number is, or would go.
    std::vector<Item>::iterator slot(int watch) {
        return std::lower_bound(m_items.begin(), m_items.end(), watch, before);
    }
    std::vector<Item>::const_iterator slot(int watch) const {
        return std::lower_bound(m_items.begin(), m_items.end(), watch, before);
    }

    void pack() {
        std::erase_if(m_items, [](const Item& item) { return item.second == nullptr; });
        if (m_items.capacity() > 2 * m_items.size() + 64)
            m_items.shrink_to_fit();
    }

    std::vector<Item> m_items;
    size_t m_live = 0;
};

} // namespace zentrix
