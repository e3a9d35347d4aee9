#include "gui/controls/tmrufilelist.h"

#include "config/controlstate.h"
#include "config/tenhinifile.h"

#include <QAction>
#include <QFontMetrics>
#include <QMenu>
#include <QTimer>

namespace zentrix {
namespace {

// A caption shows "&" as itself, not as a mnemonic mark.
QString literal(const std::string& text) {
    return QString::fromStdString(text).replace("&", "&&");
}

} // namespace

TMRUFileList::TMRUFileList(QObject* parent) : QObject(parent), m_saveTimer(new QTimer(this)) {
    m_saveTimer->setSingleShot(true);
    m_saveTimer->setInterval(1000);
    connect(m_saveTimer, &QTimer::timeout, this, &TMRUFileList::Flush);
}

// The actions are children of this object and go with it.
TMRUFileList::~TMRUFileList() {
    Flush();
    removeMenuItems();
}

void TMRUFileList::setSaveDelay(int ms) {
    m_saveTimer->setInterval(ms);
}

void TMRUFileList::Flush() {
    m_saveTimer->stop();
    if (!m_unsaved)
        return;
    m_unsaved = false;
    Save();
}

void TMRUFileList::setMaximum(int maximum) {
    m_list.Maximum = maximum;
}

void TMRUFileList::attachTo(QMenu* menu, QAction* fileMenu,
                            std::function<void(const QString&)> onItemClick) {
    removeMenuItems();
    m_menu = menu;
    m_fileMenu = fileMenu;
    if (onItemClick)
        OnMRUItemClick = std::move(onItemClick);
    if (AutoSave)
        Load();
    else
        rebuildMenu();
}

QStringList TMRUFileList::Items() const {
    QStringList items;
    for (const std::string& item : m_list.Items())
        items << QString::fromStdString(item);
    return items;
}

void TMRUFileList::Add(const QString& entry) {
    m_list.Add(entry.toStdString());
    changed();
}

void TMRUFileList::Remove(const QString& entry) {
    if (m_list.Remove(entry.toStdString()))
        changed();
}

void TMRUFileList::changed() {
    rebuildMenu();
    if (!AutoSave)
        return;
    // Not restarted by further changes: a steady stream of them is written at
    // most once per delay.
    m_unsaved = true;
    if (!m_saveTimer->isActive())
        m_saveTimer->start();
}

void TMRUFileList::Load() {
    Flush(); // what waits to be written is not lost by reading
    const TEnhIniFile store(StoreNameFor(IniFileName.toStdString()));
    m_list.Load(store);
    rebuildMenu();
}

void TMRUFileList::Save() const {
    TEnhIniFile store(StoreNameFor(IniFileName.toStdString()));
    m_list.Save(store);
}

void TMRUFileList::removeMenuItems() {
    for (const QPointer<QAction>& action : m_ownActions) {
        if (!action)
            continue;
        if (m_menu)
            m_menu->removeAction(action);
        if (m_fileMenu && m_fileMenu->menu())
            m_fileMenu->menu()->removeAction(action);
        // Deferred: this may run inside the triggered signal of one of them.
        action->deleteLater();
    }
    m_ownActions.clear();
    m_entryActions.clear();
    if (m_submenu) {
        if (m_menu)
            m_menu->removeAction(m_submenu->menuAction());
        if (m_fileMenu && m_fileMenu->menu())
            m_fileMenu->menu()->removeAction(m_submenu->menuAction());
        m_submenu->deleteLater();
    }
    m_submenu = nullptr;
}

void TMRUFileList::rebuildMenu() {
    removeMenuItems();
    if (!m_menu || !m_fileMenu || m_list.Items().empty())
        return;

    // After the children of the insertion item; without any, just before it.
    QMenu* target = m_menu;
    QAction* before = m_fileMenu;
    if (QMenu* children = m_fileMenu->menu(); children && !children->actions().isEmpty()) {
        target = children;
        before = nullptr;
    }
    auto insert = [&](QMenu* into, QAction* action) {
        if (into == target && before)
            into->insertAction(before, action);
        else
            into->addAction(action);
    };

    if (InsertSeparator) {
        auto* separator = new QAction(this);
        separator->setSeparator(true);
        insert(target, separator);
        m_ownActions << separator;
    }
    QMenu* into = target;
    if (UseSubmenu) {
        m_submenu = new QMenu(SubmenuName, target);
        insert(target, m_submenu->menuAction());
        into = m_submenu;
    }

    const QFontMetrics metrics(into->font());
    const auto width = [&metrics](const std::string& text) {
        return metrics.horizontalAdvance(QString::fromStdString(text));
    };
    const auto& items = m_list.Items();
    for (size_t i = 0; i < items.size(); ++i) {
        const std::string& entry = items[i];
        const QString caption =
            MaxCaptionWidth != 0
                ? literal(ShortenPathMiddle(entry, MaxCaptionWidth, width))
                : QString::fromStdString(MruCaption(static_cast<int>(i), "")) + literal(entry);
        auto* action = new QAction(caption, this);
        action->setData(QString::fromStdString(entry));
        action->setToolTip(QString::fromStdString(entry));
        action->setStatusTip(QString::fromStdString(entry));
        const QString text = QString::fromStdString(entry);
        connect(action, &QAction::triggered, this, [this, text] { clicked(text); });
        if (into == m_submenu)
            into->addAction(action);
        else
            insert(into, action);
        m_ownActions << action;
        m_entryActions << action;
    }
}

void TMRUFileList::clicked(const QString& entry) {
    if (RemoveOnClick) {
        m_list.Remove(entry.toStdString());
        changed();
    }
    if (OnMRUItemClick)
        OnMRUItemClick(entry);
}

} // namespace zentrix
