#pragma once

#include "core/mainthreadcaller.h"

#include <QObject>

#include <condition_variable>
#include <mutex>

namespace zentrix {

/// Worker threads' calls into the main thread, as queued events of this
/// object. A synchronous call waits until the main thread has run it, or until
/// Close(): from then on no call runs and every waiting worker goes on at once
/// (with false), so that a window that goes while a worker waits on it never
/// deadlocks. Close() before joining a worker from the main thread.
class MainThreadBridge : public QObject, public MainThreadCaller {
    Q_OBJECT
public:
    explicit MainThreadBridge(QObject* parent = nullptr);
    ~MainThreadBridge() override;

    bool Call(const std::function<void()>& call) override;
    void Post(std::function<void()> call) override;

    /// No more calls run; waiting workers are let go.
    void Close();
    bool Closed() const;

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_closed = false;
};

} // namespace zentrix
