#pragma once

#include <chrono>
#include <cstdint>

namespace zentrix {

/// Progress of long work on the main thread: the status line's bar, its "STOP"
/// panel and the abort flag it sets. pump() is cheap enough to call per item:
/// the real event processing runs at most every few tens of milliseconds.
class Progress {
public:
    virtual ~Progress() = default;

    virtual void setTotal(int64_t total) = 0;     // at least 1; resets the position
    virtual void setPosition(int64_t position) = 0;
    virtual void showStop(bool shown) = 0;        // both ways clear the abort flag
    virtual bool aborted() const = 0;

    /// Lets the user interface handle pending events (so that "STOP" can be
    /// clicked), at most once per pump interval however often it is called: by
    /// time, not by count, so that a loop of slow items pumps as often as one of
    /// fast items. Whatever the events do may change the catalogue.
    void pump() {
        const auto now = std::chrono::steady_clock::now();
        if (now - m_lastPump < m_interval)
            return;
        m_lastPump = now;
        processEvents();
    }
    /// Processes events now, whatever the throttle says.
    void pumpNow() {
        m_lastPump = std::chrono::steady_clock::now();
        processEvents();
    }

    /// How often pump() processes events.
    static constexpr std::chrono::milliseconds kPumpInterval{30};

protected:
    virtual void processEvents() = 0;
    /// Tests that must see events between every two items set 0.
    void setPumpInterval(std::chrono::steady_clock::duration interval) { m_interval = interval; }

private:
    std::chrono::steady_clock::duration m_interval = kPumpInterval;
    std::chrono::steady_clock::time_point m_lastPump{};
};

/// Progress that shows nothing and never aborts.
class NullProgress : public Progress {
public:
    void setTotal(int64_t) override {}
    void setPosition(int64_t) override {}
    void showStop(bool) override {}
    bool aborted() const override { return false; }

protected:
    void processEvents() override {}
};

} // namespace zentrix
