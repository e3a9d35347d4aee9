#pragma once

#include <QObject>
#include <QRect>

class QAction;
class QIcon;
class QMenu;
class QSystemTrayIcon;
class QWidget;

namespace zentrix {

/// The notification-area icon (`ZentrixTrayIcon`, tooltip "Zentrix") with the
/// tray menu, and hiding the window there: the window's position is kept while
/// it is hidden, so that the placement saved at the end is the real one.
class TZentrixTray : public QObject {
    Q_OBJECT
public:
    /// `menu` is the tray popup, `hideShow` its "&Hide Window" item. Without a
    /// notification area there is no icon, but hiding still works.
    TZentrixTray(QWidget* window, QMenu* menu, QAction* hideShow, const QIcon& icon);

    QSystemTrayIcon* icon() const { return m_icon; }
    bool hidden() const { return m_hidden; }

    /// "&Hide Window" / "&Show Window" (also a double click on the icon).
    void pmiHideShowWindowClick();
    /// Gives a hidden window its position back (showing it is the caller's).
    void Restore();
    /// The window's real position: the remembered one while it is hidden.
    QRect realGeometry() const;
    /// The program ends: the icon leaves the notification area.
    void Remove();

private:
    QWidget* m_window;
    QAction* m_hideShow;
    QSystemTrayIcon* m_icon = nullptr;
    QRect m_geometry;
    bool m_hidden = false;
};

} // namespace zentrix
