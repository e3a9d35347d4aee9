#pragma once

#include "config/mrulist.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <functional>

class QAction;
class QMenu;
class QTimer;

namespace zentrix {

/// A recent list shown in a menu: its entries become menu items (in list order,
/// oldest first) at the `FileMenu` item, and choosing one hands its text to
/// OnMRUItemClick. With AutoSave the list is read when attached and written
/// under AutoSaveName + "\" + AutoSaveKey: a change is kept in memory and
/// written once the program is idle for a moment (a branch logs many
/// directories in a row, each of which is added), and at the latest when the
/// list goes.
///
/// The main window's recent directories: Maximum 20, RemoveOnClick false,
/// AutoSaveName "\Software\Morvane\Zentrix", AutoSaveKey "MRU Directories",
/// FileMenu the separator above "E&xit".
class TMRUFileList : public QObject {
    Q_OBJECT
public:
    explicit TMRUFileList(QObject* parent = nullptr);
    ~TMRUFileList() override; // writes a change not yet written

    bool RemoveOnClick = true;
    bool UseSubmenu = false;
    bool InsertSeparator = true;
    QString SubmenuName = "Reopen";
    int MaxCaptionWidth = 200; // pixels; 0 shows the full caption
    bool AutoSave = true;
    QString IniFileName;
    std::function<void(const QString&)> OnMRUItemClick;

    int Maximum() const { return m_list.Maximum; }
    void setMaximum(int maximum);
    QString AutoSaveName() const { return QString::fromStdString(m_list.AutoSaveName); }
    void setAutoSaveName(const QString& name) { m_list.AutoSaveName = name.toStdString(); }
    QString AutoSaveKey() const { return QString::fromStdString(m_list.AutoSaveKey); }
    void setAutoSaveKey(const QString& key) { m_list.AutoSaveKey = key.toStdString(); }

    /// Shows the entries in `menu` at `fileMenu` (an action of `menu`): after the
    /// children of its submenu when it has one, otherwise just before it. With
    /// AutoSave the stored entries are read first. Either menu may be destroyed
    /// before this object.
    void attachTo(QMenu* menu, QAction* fileMenu,
                  std::function<void(const QString&)> onItemClick = {});

    /// Adds an entry, or moves a listed one to the end; rebuilds the menu.
    void Add(const QString& entry);
    void Remove(const QString& entry);
    QStringList Items() const;

    void Load();
    void Save() const;
    /// Writes a change that waits to be written, now.
    void Flush();
    /// How long after a change it is written (milliseconds).
    void setSaveDelay(int ms);

    /// The menu items the entries show as, in order (for checks and tests).
    QList<QAction*> EntryActions() const { return m_entryActions; }

private:
    void rebuildMenu();
    void removeMenuItems();
    void changed();
    void clicked(const QString& entry);

    MruList m_list;
    QTimer* m_saveTimer;
    bool m_unsaved = false;
    QPointer<QMenu> m_menu;
    QPointer<QAction> m_fileMenu;
    QList<QPointer<QAction>> m_ownActions; // separator, submenu and entry actions
    QList<QAction*> m_entryActions;
    QPointer<QMenu> m_submenu;
};

} // namespace zentrix
