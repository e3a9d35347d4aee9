#pragma once

#include "config/shortcut.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zentrix {

/// One item of the main menu or of a popup menu: the command vocabulary of the
/// main window as data. The windows build their menus from it and the shortcut
/// configuration edits `shortcut`.
struct MenuItem {
    /// Component name, unique over all menus ("miDirTagFiles", "pmiCollapseAllDrives");
    /// empty for separators.
    std::string name;
    /// With its "&" marks; text after a tab is shown right-aligned as the key text.
    /// A separator's caption is "-".
    std::string caption;
    TShortCut shortcut = 0;        ///< current shortcut
    TShortCut defaultShortcut = 0; ///< the design-time shortcut
    /// The main window's method the item runs; empty for an item that only opens
    /// its sub-items or does nothing.
    std::string command;
    std::string hint; ///< shown on the status line
    std::vector<MenuItem> items;
    /// An item added after the first release: it is numbered after all the
    /// others (MenuTable::entries), so that stored shortcuts keep their items.
    bool added = false;

    bool isSeparator() const { return caption == "-"; }
    bool hasItems() const { return !items.empty(); }
};

/// The main menu (whose items are the top-level menus "Zentrix", "Directory",
/// "File", "Volume", "Tools", "Help") and the popup menus of the windows and panels,
/// each a root item named after its menu ("MainMenu", "TreeViewPopupMenu" ...).
class MenuTable {
public:
    /// The design-time menus.
    static MenuTable Default();

    MenuItem& mainMenu() { return m_mainMenu; }
    const MenuItem& mainMenu() const { return m_mainMenu; }
    std::vector<MenuItem>& popups() { return m_popups; }
    const std::vector<MenuItem>& popups() const { return m_popups; }

    /// The item or menu with that component name, searched in the main menu and
    /// every popup; nullptr when there is none.
    MenuItem* find(std::string_view name);
    const MenuItem* find(std::string_view name) const;

    /// The first item, depth-first in menu order, that runs `command`: inside the
    /// item or menu named `within` when given (the "File" menu is "miFile"),
    /// otherwise in the main menu and then the popups. nullptr when none does.
    const MenuItem* findCommand(std::string_view command, std::string_view within = {}) const;
    /// The current shortcut of that item, 0 when it has none or there is no item.
    TShortCut shortcutOf(std::string_view command, std::string_view within = {}) const;

    /// The menu item entries of the shortcut configuration: every item of the main
    /// menu except separators, walked depth-first with each item's sub-items before
    /// the item itself. An entry's position is its command number.
    std::vector<MenuItem*> entries();
    std::vector<const MenuItem*> entries() const;

    /// Calls `visit` for every item of the main menu and the popups, each item
    /// before its sub-items (the roots themselves included).
    void forEach(const std::function<void(MenuItem&)>& visit);
    void forEach(const std::function<void(const MenuItem&)>& visit) const;

private:
    MenuItem m_mainMenu;
    std::vector<MenuItem> m_popups;
};

/// The three disk items of the "Volume" menu show, after a tab, keys that the tree
/// and file windows handle themselves: "&Next disk\t>", "&Previous disk\t<" and
/// "&Disk\tL". Run once at start-up.
void ApplyStartupCaptions(MenuTable& table);

/// The caption as a person reads it: without "&" marks ("&&" stays one "&") and
/// without the key text after a tab.
std::string PlainCaption(std::string_view caption);

/// The hint of a button of the directory or file command bar: the command's hint
/// with a new line "Shortcut: " and the name of the command's shortcut key.
std::string CommandButtonHint(const std::string& hint, TShortCut shortCut);

/// The top-level menus that the focus moves in and out of the menu bar.
inline constexpr std::string_view kDirectoryMenu = "miDirectory";
inline constexpr std::string_view kFileMenu = "miFile";
inline constexpr std::string_view kVolumeMenu = "miVolume";

} // namespace zentrix
