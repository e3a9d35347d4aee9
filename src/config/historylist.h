#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zentrix {

class TEnhIniFile;

/// The remembered entries of a history box and the rules by which they are read
/// from and written to the settings store, apart from any widget. Items are the
/// history, most recent first; each is stored under "H" + its index in the
/// section `IniSection`.
class HistoryList {
public:
    std::string IniSection;   // empty: nothing is loaded or saved
    int MaxHistoryLength = 7; // how many values a load reads at most
    std::vector<std::string> Items;

    static std::string ValueName(int index) { return "H" + std::to_string(index); }

    /// Clears the items and reads H0, H1, ... up to MaxHistoryLength - 1, stopping
    /// at the first missing or empty value. Returns the text the box is to show:
    /// the first item when all MaxHistoryLength values were there, otherwise none
    /// (the text stays as it was). Does nothing when IniSection is empty.
    std::optional<std::string> Load(const TEnhIniFile& store);

    /// Erases the section, puts a non-empty `text` first, drops every later item
    /// equal to it (exact comparison) and writes all items in order, however many.
    /// Returns the text the box is to show (the first item, or `text` when there
    /// are none). Does nothing and returns `text` when IniSection is empty.
    std::string Save(TEnhIniFile& store, const std::string& text);

    /// The close-up rule for a box marked as showing a stored entry: reloads the
    /// history and appends `selectedText` after it. Returns the index to select.
    int ReloadAndAppend(const TEnhIniFile& store, const std::string& selectedText);

    /// Removes the item at `index` (the Delete key in the open list).
    void RemoveAt(int index);
};

} // namespace zentrix
