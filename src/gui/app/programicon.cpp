#include "gui/app/programicon.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QPainter>
#include <QTimer>
#include <QWidget>

namespace zentrix {

namespace {

// A drive with a turning light: eight frames of 32 by 32 pixels.
QIcon drawFrame(int step) {
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(30, 50, 90), 1.5));
    p.setBrush(QColor(70, 110, 180));
    p.drawRoundedRect(QRectF(3, 8, 26, 18), 3, 3);
    p.setBrush(QColor(200, 215, 240));
    p.drawRect(QRectF(7, 12, 14, 3));
    p.drawRect(QRectF(7, 18, 14, 3));
    const int angle = step * 45 * 16;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(120, 230, 120));
    p.drawPie(QRectF(21, 13, 7, 7), angle, 120 * 16);
    return QIcon(pm);
}

} // namespace

ProgramIcon::ProgramIcon(QWidget* window) : QObject(window), m_window(window), m_timer(new QTimer(this)) {
    for (int i = 0; i < 8; ++i)
        m_frames.append(drawFrame(i));
    m_timer->setInterval(100);
    connect(m_timer, &QTimer::timeout, this, &ProgramIcon::advance);
    m_window->setWindowIcon(m_frames.first());
}

void ProgramIcon::setAnimated(bool on) {
    if (on == m_timer->isActive())
        return;
    if (on) {
        m_timer->start();
    } else {
        m_timer->stop();
        m_index = 0;
        m_window->setWindowIcon(m_frames.first());
    }
}

bool ProgramIcon::animated() const { return m_timer->isActive(); }

void ProgramIcon::advance() {
    m_index = (m_index + 1) % m_frames.size();
    m_window->setWindowIcon(m_frames[m_index]);
}

void ScreenSaverInhibitor::setInhibited(bool on) {
    if (on == inhibited())
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QDBusInterface saver("org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver",
                         "org.freedesktop.ScreenSaver", bus);
    if (!saver.isValid())
        return;
    if (on) {
        const QDBusReply<uint> reply = saver.call("Inhibit", "Zentrix", "Disabled in Zentrix");
        if (reply.isValid())
            m_cookie = reply.value();
    } else {
        saver.call("UnInhibit", m_cookie);
        m_cookie = 0;
    }
}

} // namespace zentrix
