#include "gui/app/tzentrixtray.h"

#include <QAction>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QWidget>

namespace zentrix {

TZentrixTray::TZentrixTray(QWidget* window, QMenu* menu, QAction* hideShow, const QIcon& icon)
    : QObject(window), m_window(window), m_hideShow(hideShow) {
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return;
    m_icon = new QSystemTrayIcon(icon, this);
    m_icon->setObjectName("ZentrixTrayIcon");
    m_icon->setToolTip("Zentrix");
    m_icon->setContextMenu(menu);
    connect(m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::DoubleClick)
            pmiHideShowWindowClick();
    });
    m_icon->show();
}

void TZentrixTray::pmiHideShowWindowClick() {
    if (m_hidden) {
        Restore();
        m_window->show();
        m_window->raise();
        m_window->activateWindow();
        return;
    }
    m_geometry = m_window->geometry();
    m_window->hide();
    m_hidden = true;
    if (m_hideShow)
        m_hideShow->setText("&Show Window");
}

void TZentrixTray::Restore() {
    if (!m_hidden)
        return;
    m_window->setGeometry(m_geometry);
    m_hidden = false;
    if (m_hideShow)
        m_hideShow->setText("&Hide Window");
}

QRect TZentrixTray::realGeometry() const { return m_hidden ? m_geometry : m_window->geometry(); }

void TZentrixTray::Remove() {
    if (m_icon)
        m_icon->hide();
}

} // namespace zentrix
