#pragma once

#include <span>
#include <string_view>

namespace zentrix {

/// Where each history box of the program keeps its entries.
struct HistoryBoxSpec {
    const char* control;        // component name ("hbCopyTo")
    const char* window;         // "main", "special tag", "tag wizard", "compare"
    const char* section;        // IniSection
    int length;                 // MaxHistoryLength of the first load
    const char* accessibleName; // what a screen reader says for the box
};

/// Every history box of the main window and the dialogs.
std::span<const HistoryBoxSpec> HistoryBoxes();

/// The box of a window by its component name; null when there is none.
const HistoryBoxSpec* FindHistoryBox(std::string_view window, std::string_view control);

/// After its first load every main-window box keeps and drops down this many
/// entries, so later loads read up to it.
constexpr int kMainHistoryLengthAfterLoad = 20;

/// The window name of the main window's boxes in the table.
constexpr std::string_view kMainWindow = "main";

} // namespace zentrix
