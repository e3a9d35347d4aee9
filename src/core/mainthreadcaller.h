#pragma once

#include <functional>

namespace zentrix {

/// How a worker thread reaches the main thread, which alone touches windows
/// and the catalogue. The GUI implements it with queued calls; tests run the
/// calls where they like.
class MainThreadCaller {
public:
    virtual ~MainThreadCaller() = default;

    /// Runs `call` on the main thread and returns once it has run. False when
    /// the main thread takes no more calls (its windows are going): `call` did
    /// not run and will not. Never call it from the main thread.
    virtual bool Call(const std::function<void()>& call) = 0;
    /// Queues `call` for the main thread and returns at once; dropped when the
    /// main thread takes no more calls.
    virtual void Post(std::function<void()> call) = 0;
};

} // namespace zentrix
