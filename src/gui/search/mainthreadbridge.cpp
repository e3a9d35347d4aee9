#include "gui/search/mainthreadbridge.h"

#include <QMetaObject>
#include <QThread>

#include <memory>

namespace zentrix {

MainThreadBridge::MainThreadBridge(QObject* parent) : QObject(parent) {}

MainThreadBridge::~MainThreadBridge() {
    Close();
}

void MainThreadBridge::Close() {
    std::lock_guard lock(m_mutex);
    m_closed = true;
    m_done.notify_all();
}

bool MainThreadBridge::Closed() const {
    std::lock_guard lock(m_mutex);
    return m_closed;
}

bool MainThreadBridge::Call(const std::function<void()>& call) {
    if (QThread::currentThread() == thread()) {
        // On the main thread itself a queued call would wait for ever.
        if (Closed())
            return false;
        call();
        return true;
    }
    struct Pending {
        const std::function<void()>* call;
        bool started = false; // the main thread runs it: the worker waits for its end
        bool done = false;
        bool dropped = false; // the worker stopped waiting: the call must not run
    };
    auto pending = std::make_shared<Pending>();
    pending->call = &call;
    {
        std::lock_guard lock(m_mutex);
        if (m_closed)
            return false;
    }
    QMetaObject::invokeMethod(
        this,
        [this, pending] {
            {
                std::lock_guard lock(m_mutex);
                if (m_closed || pending->dropped)
                    return;
                pending->started = true;
            }
            (*pending->call)();
            std::lock_guard lock(m_mutex);
            pending->done = true;
            m_done.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock lock(m_mutex);
    // A call the main thread has begun refers to the worker's data: the worker
    // waits for its end even after Close().
    m_done.wait(lock, [&] { return pending->done || (m_closed && !pending->started); });
    if (!pending->done) {
        pending->dropped = true;
        return false;
    }
    return true;
}

void MainThreadBridge::Post(std::function<void()> call) {
    if (Closed())
        return;
    QMetaObject::invokeMethod(
        this,
        [this, call = std::move(call)] {
            if (!Closed())
                call();
        },
        Qt::QueuedConnection);
}

} // namespace zentrix
