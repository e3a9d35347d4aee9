#pragma once

#include "config/menubarmakeup.h"
#include "config/menutable.h"

#include <QHash>
#include <QKeySequence>
#include <QMenuBar>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <string>
#include <vector>

class QAction;
class QMainWindow;
class QMenu;
class QWidget;

namespace zentrix {

/// The main window's menus built from the menu table: the menu bar with its six
/// menus and the popup menus of the windows and panels, with a command registry
/// behind every item.
///
/// Each QAction carries its component name as object name, its shortcut, and its
/// hint as status tip. The main window registers a handler per command name; an
/// item whose command has no handler stays in its menu greyed out, and becomes
/// usable when the handler is registered.
///
/// The bar follows the focus (MenuBarMakeUp): the single keys of "Directory" act on
/// the directory while the tree has the focus, those of "File" on the current file
/// while the file window has it; a menu off the bar fires no shortcut.
///
/// Ownership: the menus and actions are children of the window; this object is a
/// child of the window too and owns the menu table.
class MainMenuBar : public QObject {
    Q_OBJECT
public:
    /// Builds the menus from the design-time table and installs the bar in `window`.
    explicit MainMenuBar(QMainWindow* window);

    MenuTable& table() { return m_table; }
    const MenuTable& table() const { return m_table; }
    QMenuBar* bar() const { return m_bar; }

    /// A top-level menu, submenu or popup by component name ("miFile",
    /// "TreeViewPopupMenu"); nullptr when there is none.
    QMenu* menu(const QString& name) const;
    /// A menu item (or a menu's own action) by component name.
    QAction* action(const QString& name) const;

    // --- commands -------------------------------------------------------------
    /// Every item running `command` runs `handler` and is enabled from now on. A
    /// second registration replaces the handler.
    void registerCommand(const std::string& command, std::function<void()> handler);
    /// Greys the command's items out again.
    void unregisterCommand(const std::string& command);
    bool hasCommand(const std::string& command) const;
    /// Every item running `command`: menu items and their copies in the popups.
    QList<QAction*> actionsOf(const std::string& command) const;
    /// Runs the command's handler; false when none is registered.
    bool runCommand(const std::string& command);

    // --- start-up -------------------------------------------------------------
    /// The three disk items of the "Volume" menu get the keys the tree handles
    /// itself after a tab: "&Next disk\t>", "&Previous disk\t<", "&Disk\tL".
    void applyStartupCaptions();
    /// Copies the "Directory" menu into the tree popup's `pmiDirCommands` and the
    /// "File" menu into the file window popup's `pmiFileCommands`: captions, hints
    /// and commands, no shortcuts. Runs once; a second call does nothing.
    void copyCommandMenus();
    /// The popup's items with shortcuts answer their keys while `owner` (or a child
    /// of it) has the focus, as the menu of that window ("Enter" in the file window).
    void bindPopupShortcuts(const QString& popup, QWidget* owner);

    // --- menu bar make-up ---------------------------------------------------------
    void treeGainedFocus();
    void fileWindowGainedFocus();
    void fileWindowLostFocus();
    /// A text box of the main window gained (true) or lost (false) the focus: the
    /// menus with single keys ("Directory", "File", "Volume") leave the bar until it
    /// loses it.
    void inputBoxFocused(bool focused);
    /// Makes up the bar by itself from the application's focus changes: `tree` and
    /// `fileWindow` gaining and losing the focus, and every text box of the main
    /// window (line edits, editable combo boxes, spin boxes, text edits, and widgets
    /// given to addInputBox) counting as an input box. The input-box state then
    /// follows the focus: a widget that must count as one is given to addInputBox
    /// rather than announced with inputBoxFocused().
    void followFocus(QWidget* tree, QWidget* fileWindow);
    void addInputBox(QWidget* box);
    /// The component names of the menus in the bar, in order.
    QStringList barMenus() const;

    // --- shortcuts and hints -------------------------------------------------------
    /// The shortcut of the first item running `command` (within the named menu when
    /// `within` is given), empty when it has none.
    QKeySequence shortcutOf(const std::string& command, std::string_view within = {}) const;
    /// Gives every item the current shortcut of its table entry (after the shortcut
    /// configuration changed them). While a text box has the focus, shortcuts
    /// that type a character are left off until it loses it.
    void applyShortcuts();
    /// The hint of a command-bar button for the item `itemName`: its hint, a new line
    /// and "Shortcut: " with the name of its key.
    QString commandButtonHint(const QString& itemName) const;

signals:
    /// The hint to show on the status line: an item was hovered, or "" when a menu
    /// closed. (Qt also sends the hint as a status tip event to the window, which a
    /// QMainWindow shows as a message over its whole status bar; a window that shows
    /// hints in a panel of its own filters those events out.)
    void hintChanged(const QString& hint);
    /// The bar was made up anew.
    void barChanged();

private:
    /// A menu item proper, or a copy in a window popup (no name, no shortcut).
    enum class Mode { Item, Copy };

    void buildInto(QMenu* parent, MenuItem& item);
    void setUpAction(QAction* action, const MenuItem& item, Mode mode);
    void copyItems(QMenu* into, const MenuItem& source);
    void copyInto(const QString& target, std::string_view source);
    void watchMenu(QMenu* menu);
    void updateEnabled(QAction* action);
    void updateBar();
    void onFocusChanged(QWidget* old, QWidget* now);
    bool isInputBox(QWidget* widget) const;

    QMainWindow* m_window;
    QPointer<QMenuBar> m_bar;
    MenuTable m_table;
    MenuBarMakeUp m_makeUp;
    QHash<QString, QPointer<QMenu>> m_menus;
    QHash<QString, QPointer<QAction>> m_actions;
    std::map<std::string, std::vector<QPointer<QAction>>> m_commandActions;
    std::map<std::string, std::function<void()>> m_handlers;
    QPointer<QWidget> m_tree;
    QPointer<QWidget> m_fileWindow;
    QPointer<QWidget> m_lastFocus; ///< the last widget outside drop-down lists with the focus
    std::vector<QPointer<QWidget>> m_inputBoxes;
    bool m_following = false;
    bool m_copied = false;
    bool m_singleKeysSuspended = false;
};

} // namespace zentrix
