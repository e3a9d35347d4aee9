#include "config/menutable.h"

#include <utility>

namespace zentrix {
namespace {

template <typename Item, typename Visit> void Walk(Item& item, const Visit& visit) {
    visit(item);
    for (auto& sub : item.items)
        Walk(sub, visit);
}

template <typename Item> Item* FindIn(Item& item, std::string_view name) {
    if (item.name == name)
        return &item;
    for (auto& sub : item.items)
        if (Item* found = FindIn(sub, name))
            return found;
    return nullptr;
}

const MenuItem* FindCommandIn(const MenuItem& item, std::string_view command) {
    if (!item.isSeparator() && item.command == command)
        return &item;
    for (const auto& sub : item.items)
        if (const MenuItem* found = FindCommandIn(sub, command))
            return found;
    return nullptr;
}

template <typename Item, typename List>
void CollectEntries(Item& item, List& entries, List& added) {
    for (auto& sub : item.items) {
        if (sub.isSeparator())
            continue;
        CollectEntries(sub, entries, added);
        (sub.added ? added : entries).push_back(&sub);
    }
}

// Items of the first release in menu order, then the later ones: a shortcut
// is stored at its item's place in this list.
template <typename Item, typename List> void CollectEntries(Item& item, List& entries) {
    List added;
    CollectEntries(item, entries, added);
    entries.insert(entries.end(), added.begin(), added.end());
}

} // namespace

MenuItem* MenuTable::find(std::string_view name) {
    return const_cast<MenuItem*>(std::as_const(*this).find(name));
}

const MenuItem* MenuTable::find(std::string_view name) const {
    if (name.empty())
        return nullptr;
    if (const MenuItem* found = FindIn(m_mainMenu, name))
        return found;
    for (const auto& popup : m_popups)
        if (const MenuItem* found = FindIn(popup, name))
            return found;
    return nullptr;
}

const MenuItem* MenuTable::findCommand(std::string_view command, std::string_view within) const {
    if (command.empty())
        return nullptr;
    if (!within.empty()) {
        const MenuItem* scope = find(within);
        return scope ? FindCommandIn(*scope, command) : nullptr;
    }
    if (const MenuItem* found = FindCommandIn(m_mainMenu, command))
        return found;
    for (const auto& popup : m_popups)
        if (const MenuItem* found = FindCommandIn(popup, command))
            return found;
    return nullptr;
}

TShortCut MenuTable::shortcutOf(std::string_view command, std::string_view within) const {
    const MenuItem* item = findCommand(command, within);
    return item ? item->shortcut : 0;
}

std::vector<MenuItem*> MenuTable::entries() {
    std::vector<MenuItem*> list;
    CollectEntries(m_mainMenu, list);
    return list;
}

std::vector<const MenuItem*> MenuTable::entries() const {
    std::vector<const MenuItem*> list;
    CollectEntries(m_mainMenu, list);
    return list;
}

void MenuTable::forEach(const std::function<void(MenuItem&)>& visit) {
    Walk(m_mainMenu, visit);
    for (auto& popup : m_popups)
        Walk(popup, visit);
}

void MenuTable::forEach(const std::function<void(const MenuItem&)>& visit) const {
    Walk(m_mainMenu, visit);
    for (const auto& popup : m_popups)
        Walk(popup, visit);
}

void ApplyStartupCaptions(MenuTable& table) {
    static constexpr std::pair<std::string_view, std::string_view> kCaptions[] = {
        {"miNextDisk", "&Next disk\t>"},
        {"miPrevDisk", "&Previous disk\t<"},
        {"miLogDisk", "&Disk\tL"},
    };
    for (const auto& [name, caption] : kCaptions)
        if (MenuItem* item = table.find(name))
            item->caption = caption;
}

std::string PlainCaption(std::string_view caption) {
    caption = caption.substr(0, caption.find('\t'));
    std::string text;
    text.reserve(caption.size());
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&') {
            // "&&" is a literal "&"; a single "&" only marks the next letter.
            if (i + 1 < caption.size() && caption[i + 1] == '&')
                text += caption[++i];
            continue;
        }
        text += caption[i];
    }
    return text;
}

std::string CommandButtonHint(const std::string& hint, TShortCut shortCut) {
    return hint + "\nShortcut: " + ShortCutToText(shortCut);
}

} // namespace zentrix
