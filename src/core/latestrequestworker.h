#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

namespace zentrix {

/// Runs jobs one at a time on a thread of its own, for requests of which only
/// the latest matters (what the quick view shows for the current file). A new
/// request replaces one still waiting; the result of a request that a newer one
/// (or Cancel) overtook is dropped instead of delivered.
///
/// `work` runs on the worker thread and must not touch the caller's objects.
/// `deliver` runs on the worker thread too, with the request's ticket; it hands
/// the result over to the caller's thread, where IsCurrent() tells whether it is
/// still wanted. Once the destructor has begun, `deliver` is never called again.
template <class Request, class Result> class LatestRequestWorker {
public:
    using Work = std::function<Result(const Request&)>;
    using Deliver = std::function<void(uint64_t ticket, Result&& result)>;

    LatestRequestWorker(Work work, Deliver deliver,
                        std::chrono::milliseconds patience = std::chrono::seconds(2))
        : m_state(std::make_shared<State>(std::move(work), std::move(deliver))),
          m_patience(patience) {
        m_thread = std::thread([state = m_state] { state->run(); });
    }

    /// Asks the job to be forgotten and waits for it at most `patience`: a job
    /// stuck in a file system that does not answer is left to end on its own.
    ~LatestRequestWorker() {
        std::unique_lock lock(m_state->mutex);
        m_state->stop = true;
        m_state->deliver = nullptr;
        m_state->pending.reset();
        m_state->wake.notify_all();
        const bool ended =
            m_state->wake.wait_for(lock, m_patience, [this] { return m_state->exited; });
        lock.unlock();
        if (ended)
            m_thread.join();
        else
            m_thread.detach(); // it holds the state it needs
    }

    LatestRequestWorker(const LatestRequestWorker&) = delete;
    LatestRequestWorker& operator=(const LatestRequestWorker&) = delete;

    /// Queues a request in place of any still waiting; returns its ticket.
    uint64_t Post(Request request) {
        std::lock_guard lock(m_state->mutex);
        const uint64_t ticket = ++m_state->latest;
        m_state->pending = std::move(request);
        m_state->pendingTicket = ticket;
        m_state->wake.notify_all();
        return ticket;
    }

    /// Drops the waiting request and the result of the running one.
    void Cancel() {
        std::lock_guard lock(m_state->mutex);
        ++m_state->latest;
        m_state->pending.reset();
    }

    /// True while the ticket is that of the latest request.
    bool IsCurrent(uint64_t ticket) const {
        std::lock_guard lock(m_state->mutex);
        return ticket == m_state->latest;
    }

    /// True while a job runs or waits.
    bool Busy() const {
        std::lock_guard lock(m_state->mutex);
        return m_state->running || m_state->pending.has_value();
    }

private:
    struct State {
        State(Work w, Deliver d) : work(std::move(w)), deliver(std::move(d)) {}

        void run() {
            std::unique_lock lock(mutex);
            for (;;) {
                wake.wait(lock, [this] { return stop || pending.has_value(); });
                if (stop)
                    break;
                Request request = std::move(*pending);
                pending.reset();
                const uint64_t ticket = pendingTicket;
                running = true;
                lock.unlock();
                std::optional<Result> result;
                try {
                    result.emplace(work(request));
                } catch (...) {
                    // A job that fails has nothing to show.
                }
                lock.lock();
                running = false;
                // Delivered under the lock, so that the destructor, which takes
                // it to clear `deliver`, never races a delivery.
                if (result && !stop && ticket == latest && deliver)
                    deliver(ticket, std::move(*result));
            }
            exited = true;
            wake.notify_all();
        }

        mutable std::mutex mutex;
        std::condition_variable wake;
        Work work;
        Deliver deliver;
        std::optional<Request> pending;
        uint64_t pendingTicket = 0;
        uint64_t latest = 0;
        bool running = false;
        bool stop = false;
        bool exited = false;
    };

    std::shared_ptr<State> m_state;
    std::chrono::milliseconds m_patience;
    std::thread m_thread;
};

} // namespace zentrix
