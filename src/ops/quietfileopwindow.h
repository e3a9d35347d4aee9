#pragma once

#include "ops/fileopwindow.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>

namespace zentrix {

/// A progress window that shows nothing: it only waits. `onShow`, when set,
/// sees every status drawn and may ask to cancel (tests, helper programs).
class QuietFileOpWindow : public FileOpWindow {
public:
    void Open(const std::string&, bool, bool) override {}
    void Show(const FileOpStatus& status) override;
    void Wait(int ms) override;
    void Wake() override;
    bool CancelRequested() const override { return m_cancel; }
    void Close() override {}

    void RequestCancel() { m_cancel = true; }
    /// Sees each status drawn; true asks to cancel.
    std::function<bool(const FileOpStatus&)> onShow;
    int shown() const { return m_shown; }

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_woken = false;
    std::atomic<bool> m_cancel{false};
    int m_shown = 0;
};

} // namespace zentrix
