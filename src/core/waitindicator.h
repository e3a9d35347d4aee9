#pragma once

#include <string>

namespace zentrix {

/// What the user sees while the main thread waits for work on a worker that
/// may take long (a server that does not answer): a line of text and "Cancel",
/// shown after a moment. Main thread only.
class WaitIndicator {
public:
    virtual ~WaitIndicator() = default;

    virtual void Begin(const std::string& title, const std::string& text) = 0;
    /// Lets the user interface run for about `ms` milliseconds.
    virtual void Pump(int ms) = 0;
    /// True once the user asked to stop.
    virtual bool Cancelled() const = 0;
    virtual void End() = 0;
};

} // namespace zentrix
