#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <cstdlib>
#include <dlfcn.h>
#include <functional>
#include <optional>
#include <string>

namespace zentrix::test {

/// The host directory of drive C: in these tests (its label is "DATA").
const std::string& DriveRoot();

/// Sets an environment variable for the lifetime of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : m_name(name) {
        if (const char* old = std::getenv(name))
            m_old = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (m_old)
            ::setenv(m_name, m_old->c_str(), 1);
        else
            ::unsetenv(m_name);
    }

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

/// Runs `action` on the first modal window that shows up (the library's dialog
/// running its own loop), then stops watching.
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

/// True while the library file is loaded into the process.
inline bool IsLoaded(const std::string& path) {
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (!handle)
        return false;
    ::dlclose(handle);
    return true;
}

} // namespace zentrix::test
