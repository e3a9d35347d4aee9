#pragma once

#include "config/menutable.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zentrix {

class TEnhIniFile;

/// The keyboard shortcuts of the main menu's entries (MenuTable::entries(), the
/// position of an entry being its command number) as the program keeps and
/// exchanges them: the binary value "MenuShortcuts" under the program's key,
/// shortcut template files and the shortcut report.
namespace MenuShortcuts {

/// The most the stored value may hold.
inline constexpr size_t kStoredLimit = 1024;
inline constexpr const char* kValueName = "MenuShortcuts";
inline constexpr const char* kTemplateSignature = "Shortcut template";
inline constexpr const char* kChangedMessage =
    "Shortcuts have changed. Defaults will be used.     ";
inline constexpr const char* kCreateFailed = "Could not create file!     ";

/// An integer count, then each entry's current shortcut.
std::vector<uint8_t> Encode(const MenuTable& table);

enum class LoadResult {
    Missing,    ///< nothing stored: the shortcuts are as they were
    Applied,    ///< the stored shortcuts were taken (the first entries when fewer)
    Unreadable, ///< every entry went back to its default; show kChangedMessage
};
/// Reads the stored value into the entries.
LoadResult Load(const TEnhIniFile& store, MenuTable& table);
/// Takes stored bytes into the entries (as Load does).
LoadResult Decode(const std::vector<uint8_t>& bytes, MenuTable& table);
void Save(TEnhIniFile& store, const MenuTable& table);
void ResetToDefaults(MenuTable& table);

/// A template file: the signature string, the count, the shortcuts.
std::vector<uint8_t> Template(const MenuTable& table);
enum class TemplateResult {
    NotATemplate, ///< another signature: nothing changed
    Corrupt,      ///< cut short or of other types: nothing changed
    Applied,      ///< the shortcuts it holds were taken, in order
    TooMany,      ///< more shortcuts than entries: all entries were set
};
/// At most this many bytes of a template file are read.
inline constexpr size_t kTemplateReadLimit = 1 << 20;
TemplateResult ApplyTemplate(const std::vector<uint8_t>& bytes, MenuTable& table);

/// "Zentrix shortcuts:", an empty line, then per entry the shortcut's text
/// padded to 20, its menu path padded to 45, " (", its hint and ")".
std::string Report(const MenuTable& table);

/// An entry's place for people: "Zentrix / Options ..." for an item of a
/// top-level menu, "Directory / Tag  / Disk" deeper down (the two captions above
/// the item joined, the first "..." taken out), "&" marks removed.
std::string MenuPath(const MenuTable& table, const MenuItem& item);

/// The component name of the top-level menu an item lies in ("miFile"); empty
/// when it lies in none.
std::string TopMenuOf(const MenuTable& table, const MenuItem& item);

/// The other entries that already answer `shortCut` while `item` would: those
/// of its own top-level menu and of every menu that is on the bar together with
/// it ("Directory" and "File" never are, nor "File" and "Volume").
std::vector<const MenuItem*> Clashes(const MenuTable& table, const MenuItem& item,
                                     TShortCut shortCut);

/// The question before a shortcut that clashes is taken: "Ctrl+T is already the
/// shortcut of Directory / Tag  / Disk. Take it away from there?"
std::string ClashQuestion(const MenuTable& table, TShortCut shortCut,
                          const std::vector<const MenuItem*>& clashes);

} // namespace MenuShortcuts
} // namespace zentrix
