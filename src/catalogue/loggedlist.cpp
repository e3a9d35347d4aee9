#include "catalogue/loggedlist.h"

#include <algorithm>

namespace zentrix {

TLoggedClass* TLoggedList::Add(std::unique_ptr<TLoggedClass> record) {
    m_items.push_back(std::move(record));
    return m_items.back().get();
}

int TLoggedList::RemoveIf(const std::function<bool(const TLoggedClass&)>& pick) {
    const auto before = m_items.size();
    m_items.erase(std::remove_if(m_items.begin(), m_items.end(),
                                 [&](const std::unique_ptr<TLoggedClass>& r) { return pick(*r); }),
                  m_items.end());
    return static_cast<int>(before - m_items.size());
}

std::unique_ptr<TLoggedClass> TLoggedList::Take(TLoggedClass* record) {
    auto it = std::find_if(m_items.begin(), m_items.end(),
                           [&](const std::unique_ptr<TLoggedClass>& r) { return r.get() == record; });
    if (it == m_items.end())
        return nullptr;
    auto owned = std::move(*it);
    m_items.erase(it);
    return owned;
}

} // namespace zentrix
