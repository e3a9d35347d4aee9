#pragma once

#include <atomic>
#include <functional>
#include <string>

namespace zentrix {

/// Program-wide state that the catalogue operations change and the windows
/// follow. One instance lives for the whole run; only the main thread touches it.
class AppState {
public:
    // Current disk: upper-case letter, its number (A = 1), kind name and label.
    char currentDisk = 'C';
    int driveNumber() const { return currentDisk - 64; }
    std::string driveTypeName;
    std::string volumeLabel = "???";

    /// File window scope: 1 directory, 2 global, 3 disk, 4 branch, 5..7 their
    /// tagged variants, 8 result list.
    int scope = 1;

    bool refillRequested = false;
    bool treeSelectionChanged = false;
    bool abortFlag = false;
    bool driveSwitch = false;      // the program itself is switching the disk tabs
    bool fileOperationRunning = false;
    bool started = false;          // set by the first idle pass
    std::string lastDir;           // "LastDir"
    std::string appTitle = "Zentrix";

    void requestRefill() {
        refillRequested = true;
        if (onRefillRequested)
            onRefillRequested();
    }
    /// Tells the windows that the idle pass has work (the refill itself runs only
    /// there).
    std::function<void()> onRefillRequested;

    /// State bytes of the two worker threads (finder, directory statistics):
    /// 0 idle, 1 starting, 2 running, 3 asked to stop. Workers change them.
    enum WorkerState : int { kIdle = 0, kStarting = 1, kRunning = 2, kStopping = 3 };
    std::atomic<int> finderState{kIdle};
    std::atomic<int> statisticsState{kIdle};
    bool workersIdle() const { return finderState == kIdle && statisticsState == kIdle; }

    /// Busy state: nested on/off pairs; the observer hears the outermost change.
    void busyOn() {
        if (m_busy++ == 0 && onBusyChanged)
            onBusyChanged(true);
    }
    void busyOff() {
        if (m_busy > 0 && --m_busy == 0 && onBusyChanged)
            onBusyChanged(false);
    }
    bool busy() const { return m_busy > 0; }

    std::function<void(bool)> onBusyChanged;

private:
    int m_busy = 0;
};

/// Busy state for the lifetime of a scope.
class BusyGuard {
public:
    explicit BusyGuard(AppState& state) : m_state(state) { m_state.busyOn(); }
    ~BusyGuard() { m_state.busyOff(); }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;

private:
    AppState& m_state;
};

} // namespace zentrix
