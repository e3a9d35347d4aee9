#pragma once

#include "core/progress.h"
#include "filewindow/filewindow.h"
#include "filewindow/filewindowui.h"

#include <algorithm>
#include <cstdint>

namespace zentrix {

/// Sets a flag for the lifetime of a scope.
class FlagGuard {
public:
    explicit FlagGuard(bool& flag) : m_flag(flag) { m_flag = true; }
    ~FlagGuard() { m_flag = false; }
    FlagGuard(const FlagGuard&) = delete;
    FlagGuard& operator=(const FlagGuard&) = delete;

private:
    bool& m_flag;
};

/// The "STOP" panel for the lifetime of a scope.
class StopPanel {
public:
    StopPanel(Progress& progress, int64_t total) : m_progress(progress) {
        m_progress.showStop(true);
        m_progress.setTotal(std::max<int64_t>(1, total));
    }
    ~StopPanel() {
        m_progress.setPosition(0);
        m_progress.showStop(false);
    }
    StopPanel(const StopPanel&) = delete;
    StopPanel& operator=(const StopPanel&) = delete;

private:
    Progress& m_progress;
};

/// File-window updates suspended for the lifetime of a scope.
class UpdatesSuspended {
public:
    explicit UpdatesSuspended(FileWindow& fw) : m_fw(fw) { m_fw.Ui().setUpdating(true); }
    ~UpdatesSuspended() { m_fw.Ui().setUpdating(false); }
    UpdatesSuspended(const UpdatesSuspended&) = delete;
    UpdatesSuspended& operator=(const UpdatesSuspended&) = delete;

private:
    FileWindow& m_fw;
};

} // namespace zentrix
