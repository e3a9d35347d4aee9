#pragma once

// For GUI test programs only (needs Qt Widgets).

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace zentrix::test {

/// Runs `action` on the first modal window that shows up (a dialog running its
/// own event loop), then stops watching.
inline void OnModalShown(std::function<void(QWidget*)> action) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            action(modal);
        }
    });
    timer->start();
}

} // namespace zentrix::test
