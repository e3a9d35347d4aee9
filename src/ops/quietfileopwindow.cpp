#include "ops/quietfileopwindow.h"

#include <chrono>

namespace zentrix {

void QuietFileOpWindow::Show(const FileOpStatus& status) {
    ++m_shown;
    if (onShow && onShow(status))
        m_cancel = true;
}

void QuietFileOpWindow::Wait(int ms) {
    std::unique_lock lock(m_mutex);
    m_cv.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_woken; });
    m_woken = false;
}

void QuietFileOpWindow::Wake() {
    {
        std::lock_guard lock(m_mutex);
        m_woken = true;
    }
    m_cv.notify_all();
}

} // namespace zentrix
