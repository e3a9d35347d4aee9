#pragma once

#include <functional>
#include <utility>

namespace zentrix {

/// Undoes a piece of state when the scope ends, whichever way it ends (an early
/// return, an exception). run() undoes it earlier, at the point the normal path
/// wants it; it then does nothing at the end.
class ScopeExit {
public:
    explicit ScopeExit(std::function<void()> undo) : m_undo(std::move(undo)) {}
    ~ScopeExit() { run(); }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;

    void run() {
        if (!m_undo)
            return;
        auto undo = std::move(m_undo);
        m_undo = nullptr;
        undo();
    }

private:
    std::function<void()> m_undo;
};

} // namespace zentrix
