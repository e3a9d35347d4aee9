#pragma once

#include "support/tempdir.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

namespace zentrix::test {

/// Every test of this folder gets its own settings file: ZENTRIX_HOME points at a
/// fresh temporary directory for the test's lifetime.
class FreshSettings {
public:
    FreshSettings();
    ~FreshSettings();
    const std::string& home() const { return m_dir.path(); }

private:
    TempDir m_dir;
};

/// Runs `action` on the first modal window that shows up, then stops watching.
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
