#include "config/historylist.h"

#include "config/tenhinifile.h"

#include <algorithm>

namespace zentrix {

std::optional<std::string> HistoryList::Load(const TEnhIniFile& store) {
    if (IniSection.empty())
        return std::nullopt;
    Items.clear();
    for (int i = 0; i < MaxHistoryLength; ++i) {
        std::string value = store.ReadString(IniSection, ValueName(i), "");
        if (value.empty())
            break;
        Items.push_back(std::move(value));
    }
    if (MaxHistoryLength > 0 && static_cast<int>(Items.size()) == MaxHistoryLength)
        return Items.front();
    return std::nullopt;
}

std::string HistoryList::Save(TEnhIniFile& store, const std::string& text) {
    if (IniSection.empty())
        return text;
    store.EraseSection(IniSection);
    if (!text.empty())
        Items.insert(Items.begin(), text);
    // Later copies of the text go; item 0 is the text itself.
    if (!Items.empty())
        Items.erase(std::remove(Items.begin() + 1, Items.end(), text), Items.end());
    for (size_t i = 0; i < Items.size(); ++i)
        store.WriteString(IniSection, ValueName(static_cast<int>(i)), Items[i]);
    return Items.empty() ? text : Items.front();
}

int HistoryList::ReloadAndAppend(const TEnhIniFile& store, const std::string& selectedText) {
    Load(store);
    Items.push_back(selectedText);
    return static_cast<int>(Items.size()) - 1;
}

void HistoryList::RemoveAt(int index) {
    if (index >= 0 && index < static_cast<int>(Items.size()))
        Items.erase(Items.begin() + index);
}

} // namespace zentrix
