#include "config/menushortcuts.h"

#include "config/componentstream.h"
#include "config/tenhinifile.h"

#include <algorithm>
#include <optional>

namespace zentrix::MenuShortcuts {
namespace {

// The chain of items from a top-level menu down to `item` (the item last);
// empty when the item is not in the main menu.
bool ChainTo(const MenuItem& from, const MenuItem* item, std::vector<const MenuItem*>& chain) {
    for (const MenuItem& sub : from.items) {
        chain.push_back(&sub);
        if (&sub == item || ChainTo(sub, item, chain))
            return true;
        chain.pop_back();
    }
    return false;
}

std::vector<const MenuItem*> Chain(const MenuTable& table, const MenuItem& item) {
    std::vector<const MenuItem*> chain;
    if (!ChainTo(table.mainMenu(), &item, chain))
        chain.clear();
    return chain;
}

// The caption without "&" marks and without the key text after a tab.
std::string WithoutMarks(std::string_view caption) {
    return PlainCaption(caption);
}

std::string Trimmed(std::string_view text) {
    const size_t b = text.find_first_not_of(' ');
    if (b == std::string_view::npos)
        return {};
    const size_t e = text.find_last_not_of(' ');
    return std::string(text.substr(b, e - b + 1));
}

std::string Padded(std::string text, size_t width) {
    if (text.size() < width)
        text.append(width - text.size(), ' ');
    return text;
}

// Reads `count` shortcuts; none when one of them is missing, of another type or
// not a 16-bit value.
std::optional<std::vector<TShortCut>> ReadShortcuts(ComponentStreamReader& in, int64_t count) {
    std::vector<TShortCut> values;
    // Each value takes two bytes at least: a longer count cannot be met.
    if (count < 0 || static_cast<uint64_t>(count) > in.Remaining() / 2)
        return std::nullopt;
    values.reserve(static_cast<size_t>(count));
    for (int64_t i = 0; i < count; ++i) {
        const auto v = in.ReadInteger();
        if (!v || *v < 0 || *v > 0xFFFF)
            return std::nullopt;
        values.push_back(static_cast<TShortCut>(*v));
    }
    return values;
}

// Menus that are on the bar together: the three that never leave it go with
// every menu, "Directory" with "Volume" (the tree has the focus).
bool OnBarTogether(std::string_view a, std::string_view b) {
    if (a == b)
        return true;
    const auto moving = [](std::string_view m) {
        return m == kDirectoryMenu || m == kFileMenu || m == kVolumeMenu;
    };
    if (!moving(a) || !moving(b))
        return true;
    return (a == kDirectoryMenu && b == kVolumeMenu) || (a == kVolumeMenu && b == kDirectoryMenu);
}

} // namespace

std::vector<uint8_t> Encode(const MenuTable& table) {
    const auto entries = table.entries();
    ComponentStreamWriter out;
    out.WriteInteger(static_cast<int32_t>(entries.size()));
    for (const MenuItem* e : entries)
        out.WriteInteger(e->shortcut); // zero-extended: with Alt it takes 32 bits
    return out.Bytes();
}

void ResetToDefaults(MenuTable& table) {
    for (MenuItem* e : table.entries())
        e->shortcut = e->defaultShortcut;
}

LoadResult Decode(const std::vector<uint8_t>& bytes, MenuTable& table) {
    const auto entries = table.entries();
    std::optional<std::vector<TShortCut>> values;
    if (bytes.size() <= kStoredLimit) {
        ComponentStreamReader in(bytes);
        const auto count = in.ReadInteger();
        if (count && *count <= static_cast<int64_t>(entries.size()))
            values = ReadShortcuts(in, *count);
    }
    if (!values) {
        ResetToDefaults(table);
        return LoadResult::Unreadable;
    }
    for (size_t i = 0; i < values->size(); ++i)
        entries[i]->shortcut = (*values)[i];
    return LoadResult::Applied;
}

LoadResult Load(const TEnhIniFile& store, MenuTable& table) {
    if (!store.ValueExists({}, kValueName))
        return LoadResult::Missing;
    const auto bytes = store.ReadBinary({}, kValueName);
    if (!bytes) {
        ResetToDefaults(table);
        return LoadResult::Unreadable;
    }
    return Decode(*bytes, table);
}

void Save(TEnhIniFile& store, const MenuTable& table) {
    store.WriteBinary({}, kValueName, Encode(table));
}

std::vector<uint8_t> Template(const MenuTable& table) {
    ComponentStreamWriter out;
    out.WriteString(kTemplateSignature);
    std::vector<uint8_t> bytes = out.Bytes();
    const std::vector<uint8_t> list = Encode(table);
    bytes.insert(bytes.end(), list.begin(), list.end());
    return bytes;
}

TemplateResult ApplyTemplate(const std::vector<uint8_t>& bytes, MenuTable& table) {
    ComponentStreamReader in(bytes);
    const auto signature = in.ReadString();
    if (!signature || *signature != kTemplateSignature)
        return TemplateResult::NotATemplate;
    const auto count = in.ReadInteger();
    if (!count)
        return TemplateResult::Corrupt;
    const auto entries = table.entries();
    const auto values = ReadShortcuts(in, *count);
    if (!values)
        return TemplateResult::Corrupt;
    const size_t n = std::min(values->size(), entries.size());
    for (size_t i = 0; i < n; ++i)
        entries[i]->shortcut = (*values)[i];
    return values->size() > entries.size() ? TemplateResult::TooMany : TemplateResult::Applied;
}

std::string MenuPath(const MenuTable& table, const MenuItem& item) {
    const auto chain = Chain(table, item);
    if (chain.size() <= 1)
        return WithoutMarks(item.caption);
    if (chain.size() == 2)
        return WithoutMarks(chain[0]->caption) + " / " + WithoutMarks(item.caption);
    std::string above = WithoutMarks(chain[chain.size() - 3]->caption) + " / " +
                        WithoutMarks(chain[chain.size() - 2]->caption);
    if (const size_t dots = above.find("..."); dots != std::string::npos)
        above.erase(dots, 3);
    return above + " / " + Trimmed(WithoutMarks(item.caption));
}

std::string TopMenuOf(const MenuTable& table, const MenuItem& item) {
    const auto chain = Chain(table, item);
    return chain.size() >= 2 ? chain.front()->name : std::string();
}

std::string Report(const MenuTable& table) {
    std::string text = "Zentrix shortcuts:\n\n";
    for (const MenuItem* e : table.entries())
        text += Padded(ShortCutToText(e->shortcut), 20) + Padded(MenuPath(table, *e), 45) + " (" +
                e->hint + ")\n";
    return text;
}

std::vector<const MenuItem*> Clashes(const MenuTable& table, const MenuItem& item,
                                     TShortCut shortCut) {
    std::vector<const MenuItem*> clashes;
    if (shortCut == 0)
        return clashes;
    const std::string top = TopMenuOf(table, item);
    for (const MenuItem* e : table.entries()) {
        if (e == &item || e->shortcut != shortCut || e->hasItems())
            continue;
        if (OnBarTogether(top, TopMenuOf(table, *e)))
            clashes.push_back(e);
    }
    return clashes;
}

std::string ClashQuestion(const MenuTable& table, TShortCut shortCut,
                          const std::vector<const MenuItem*>& clashes) {
    std::string places;
    for (const MenuItem* e : clashes)
        places += (places.empty() ? "" : ", ") + MenuPath(table, *e);
    return ShortCutToText(shortCut) + " is already the shortcut of " + places +
           ". Take it away from there?";
}

} // namespace zentrix::MenuShortcuts
