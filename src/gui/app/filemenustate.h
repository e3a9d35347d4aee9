#pragma once

#include <QObject>

namespace zentrix {

class FileWindowController;
class MainMenuBar;
struct Settings;

/// Keeps the file window's items in the menus in step with its state: the item
/// of the sort key, "Reversed order", the display format and "Display full
/// path" carry check marks, in the menu bar and in every popup that holds a copy
/// of them; and the file window's popup is prepared each time it opens (the
/// caption of "&Max/Min window", the description sort usable only where it
/// applies). Both objects given must outlive this one (the main window's
/// children, deleted before them).
class FileMenuState : public QObject {
    Q_OBJECT
public:
    FileMenuState(MainMenuBar& menus, FileWindowController& fileWindow, const Settings& settings,
                  QObject* parent = nullptr);

    /// Every check mark from the settings (ToggleFileLBoxPMenuItems).
    void updateChecks();
    /// The file window's popup just before it opens (ListBoxPopupMenuPopup).
    void preparePopup();

private:
    MainMenuBar& m_menus;
    FileWindowController& m_fileWindow;
    const Settings& m_settings;
};

} // namespace zentrix
