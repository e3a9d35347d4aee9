#include "gui/app/filemenustate.h"

#include "config/settings.h"
#include "gui/app/mainmenubar.h"
#include "gui/filewindow/filewindowcontroller.h"

#include <QAction>
#include <QMenu>
#include <QSet>

namespace zentrix {
namespace {

// By sort key, 0 to 5.
constexpr const char* kSortCommands[] = {"SortFilesByName", "SortFilesByExtension",
                                         "SortFilesBySize", "SortFilesByDate",
                                         "SortFilesByAttr", "SortFilesByDesc"};
// By display format, 0 to 4.
constexpr const char* kFormatCommands[] = {"miFileDispSmallIconsClick", "miFileDispLargeIconsClick",
                                           "miFileDispNormalClick", "miFileDisp3ColClick",
                                           "miFileDisp5ColClick"};
constexpr const char* kReversed = "ReversedSortOrder";
constexpr const char* kFullPath = "pmiFileDisplayFullpathClick";

} // namespace

FileMenuState::FileMenuState(MainMenuBar& menus, FileWindowController& fileWindow,
                             const Settings& settings, QObject* parent)
    : QObject(parent), m_menus(menus), m_fileWindow(fileWindow), m_settings(settings) {
    // The marks are set whenever a menu that holds one opens, so that a change
    // made anywhere (the options dialog too) shows; and at once after the
    // window's own commands, for tools that read them without opening a menu.
    QSet<QMenu*> menusWithMarks;
    auto collect = [&](const char* command) {
        for (QAction* action : m_menus.actionsOf(command)) {
            action->setCheckable(true);
            for (QObject* p = action->parent(); p; p = p->parent())
                if (auto* menu = qobject_cast<QMenu*>(p))
                    menusWithMarks.insert(menu);
        }
    };
    for (const char* command : kSortCommands)
        collect(command);
    for (const char* command : kFormatCommands)
        collect(command);
    collect(kReversed);
    collect(kFullPath);
    for (QMenu* menu : menusWithMarks)
        connect(menu, &QMenu::aboutToShow, this, &FileMenuState::updateChecks);
    if (QMenu* popup = m_menus.menu("ListBoxPopupMenu"))
        connect(popup, &QMenu::aboutToShow, this, &FileMenuState::preparePopup);
    connect(&m_fileWindow, &FileWindowController::sortStateUpdated, this,
            &FileMenuState::updateChecks);
    connect(&m_fileWindow, &FileWindowController::displayStateUpdated, this,
            &FileMenuState::updateChecks);
    updateChecks();
}

void FileMenuState::updateChecks() {
    auto check = [this](const char* command, bool on) {
        for (QAction* action : m_menus.actionsOf(command))
            action->setChecked(on);
    };
    for (int key = 0; key < 6; ++key)
        check(kSortCommands[key], key == m_settings.FileSortOption);
    check(kReversed, m_settings.SortOrder);
    for (int format = 0; format < 5; ++format)
        check(kFormatCommands[format], format == m_settings.FileDisplayOption);
    check(kFullPath, m_settings.DisplayFullPathOption);
}

void FileMenuState::preparePopup() {
    const PopupMenuState state = m_fileWindow.ListBoxPopupMenuPopup();
    if (QAction* maxMin = m_menus.action("pmiFileMaxMinWin")) {
        maxMin->setText(QString::fromStdString(state.maxMinCaption));
        maxMin->setStatusTip(QString::fromStdString(state.maxMinHint));
    }
    if (QAction* byDesc = m_menus.action("pmiFileSortByDesc"))
        byDesc->setEnabled(state.sortByDescEnabled);
    if (QAction* fullPath = m_menus.action("pmiFileDisplayFullpath"))
        fullPath->setChecked(state.displayFullPathChecked);
    updateChecks();
}

} // namespace zentrix
