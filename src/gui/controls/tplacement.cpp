#include "gui/controls/tplacement.h"

#include "config/controlstate.h"
#include "config/tenhinifile.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace zentrix {

std::string TPlacement::section(const QWidget* window) const {
    return (Section.isEmpty() ? window->objectName() : Section).toStdString();
}

void TPlacement::Restore(QWidget* window) const {
    if (!window)
        return;
    const TEnhIniFile store(StoreNameFor(IniFileName.toStdString()));
    const PlacementRecord placement = PlacementRecord::Read(store, section(window));
    const PlacementRecord defaults;
    QRect rect(placement.X, placement.Y, placement.Width > 0 ? placement.Width : defaults.Width,
               placement.Height > 0 ? placement.Height : defaults.Height);

    // The stored rectangle is taken only as far as the screen and the window's
    // own minimum allow: a window saved on a screen that is gone, or a size no
    // screen has, would be out of reach.
    const QScreen* screen = QGuiApplication::screenAt(rect.center());
    if (!screen) {
        for (const QScreen* s : QGuiApplication::screens())
            if (s->availableGeometry().intersects(rect))
                screen = s;
    }
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (screen) {
        const QRect avail = screen->availableGeometry();
        const QSize minimum = window->minimumSize();
        rect.setWidth(std::max(minimum.width(), std::min(rect.width(), avail.width())));
        rect.setHeight(std::max(minimum.height(), std::min(rect.height(), avail.height())));
        rect.moveLeft(std::clamp(rect.left(), avail.left(),
                                 std::max(avail.left(), avail.right() + 1 - rect.width())));
        rect.moveTop(std::clamp(rect.top(), avail.top(),
                                std::max(avail.top(), avail.bottom() + 1 - rect.height())));
    }

    window->setGeometry(rect);
    Qt::WindowStates state = window->windowState() & ~(Qt::WindowMaximized | Qt::WindowMinimized);
    if (placement.State == 1)
        state |= Qt::WindowMaximized;
    else if (placement.State == 2)
        state |= Qt::WindowMinimized;
    window->setWindowState(state);
}

bool TPlacement::Save(QWidget* window) const {
    if (!window || !window->isWindow())
        return false;
    const QRect normal = window->normalGeometry();
    if (!normal.isValid())
        return false; // "Unable to retrieve window placement": nothing is written
    PlacementRecord placement;
    placement.X = normal.x();
    placement.Y = normal.y();
    placement.Width = normal.width();
    placement.Height = normal.height();
    const Qt::WindowStates state = window->windowState();
    placement.State = (state & Qt::WindowMinimized) ? 2 : (state & Qt::WindowMaximized) ? 1 : 0;
    TEnhIniFile store(StoreNameFor(IniFileName.toStdString()));
    placement.Write(store, section(window));
    return true;
}

} // namespace zentrix
