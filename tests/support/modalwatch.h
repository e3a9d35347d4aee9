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

/// Runs `action` on the first modal window that `match` accepts, then stops
/// watching (a modal window already open meanwhile is passed over).
inline void OnModalWhere(std::function<bool(QWidget*)> match,
                         std::function<void(QWidget*)> action) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, match, action] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && match(modal)) {
            timer->stop();
            timer->deleteLater();
            action(modal);
        }
    });
    timer->start();
}

/// Runs `action` on the first modal window of that object name that shows up,
/// then stops watching.
inline void OnModalNamed(const QString& name, std::function<void(QWidget*)> action) {
    OnModalWhere([name](QWidget* modal) { return modal->objectName() == name; }, std::move(action));
}

/// Runs `action` on the first modal window of type T that shows up.
template <class T> void OnModalOf(std::function<void(T*)> action) {
    OnModalWhere([](QWidget* modal) { return qobject_cast<T*>(modal) != nullptr; },
                 [action](QWidget* modal) { action(qobject_cast<T*>(modal)); });
}

} // namespace zentrix::test
