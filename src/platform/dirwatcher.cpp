#include "platform/dirwatcher.h"

#include "platform/watchevents.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

namespace zentrix::platform {

namespace {

// Entries made, deleted, moved, written and changed; the directory itself going.
constexpr uint32_t kMask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_CLOSE_WRITE |
                           IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;

using Clock = std::chrono::steady_clock;

} // namespace

// What the worker gathers until the changes settle. Only the worker touches it.
struct DirWatcher::Impl {
    WatchEvents events;
    bool pending = false;
    Clock::time_point deadline;

    void touched(Clock::time_point now, std::chrono::milliseconds settle) {
        if (!pending) {
            pending = true;
            deadline = now + settle;
        }
    }
};

DirWatcher::DirWatcher(std::function<void()> ready, std::chrono::milliseconds settle)
    : m_ready(std::move(ready)), m_settle(settle), m_impl(std::make_unique<Impl>()) {
    m_fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_fd < 0)
        return;
    m_wake = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (m_wake < 0) {
        ::close(m_fd);
        m_fd = -1;
        return;
    }
    m_thread = std::thread([this] { run(); });
}

namespace {

void wake(int fd) {
    const uint64_t one = 1;
    while (::write(fd, &one, sizeof one) < 0 && errno == EINTR) {
    }
}

} // namespace

DirWatcher::~DirWatcher() {
    if (m_thread.joinable()) {
        m_stop = true;
        wake(m_wake);
        m_thread.join();
    }
    if (m_wake >= 0)
        ::close(m_wake);
    if (m_fd >= 0)
        ::close(m_fd);
}

DirWatcher::AddResult DirWatcher::Add(const std::string& hostPath, int& watch, bool followLink) {
    watch = -1;
    if (m_fd < 0)
        return AddResult::Failed;
    const uint32_t mask = kMask | (followLink ? 0 : IN_DONT_FOLLOW);
    const int wd = ::inotify_add_watch(m_fd, hostPath.c_str(), mask);
    if (wd >= 0) {
        watch = wd;
        return AddResult::Added;
    }
    switch (errno) {
    case ENOSPC:
        return AddResult::NoRoom;
    case ENOENT:
    case ENOTDIR:
    case ELOOP:
        return AddResult::Gone;
    default:
        return AddResult::Failed;
    }
}

void DirWatcher::Hold(bool on) {
    m_held = on;
    if (m_wake >= 0)
        wake(m_wake);
}

void DirWatcher::Remove(int watch) {
    if (m_fd >= 0 && watch >= 0)
        ::inotify_rm_watch(m_fd, watch);
}

WatchBatch DirWatcher::Take() {
    std::lock_guard<std::mutex> lock(m_mutex);
    WatchBatch out = std::move(m_batch);
    m_batch = WatchBatch();
    m_signalled = false;
    return out;
}

bool DirWatcher::HasReady() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return !m_batch.Empty();
}

size_t DirWatcher::SystemLimit() {
    size_t limit = 0;
    if (FILE* f = std::fopen("/proc/sys/fs/inotify/max_user_watches", "r")) {
        unsigned long long n = 0;
        if (std::fscanf(f, "%llu", &n) == 1)
            limit = static_cast<size_t>(n);
        std::fclose(f);
    }
    return limit;
}

void DirWatcher::run() {
    alignas(inotify_event) char buffer[64 * 1024];
    Impl& impl = *m_impl;
    for (;;) {
        int timeout = -1;
        if (impl.pending) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(impl.deadline - Clock::now());
            timeout = static_cast<int>(std::max<int64_t>(0, left.count()));
        }
        const bool held = m_held;
        pollfd fds[2] = {{m_wake, POLLIN, 0}, {m_fd, POLLIN, 0}};
        const int n = ::poll(fds, held ? 1 : 2, held ? -1 : timeout);
        if (n < 0 && errno != EINTR)
            return;
        if (fds[0].revents & POLLIN) {
            uint64_t count = 0;
            while (::read(m_wake, &count, sizeof count) < 0 && errno == EINTR) {
            }
            if (m_stop)
                return;
            continue; // held or let go: look again
        }
        // Read whatever is there, also at the deadline: both halves of a move
        // are then in hand before it is handed over.
        for (;;) {
            const ssize_t got = ::read(m_fd, buffer, sizeof buffer);
            if (got <= 0)
                break;
            if (impl.events.Read(buffer, static_cast<size_t>(got)))
                impl.touched(Clock::now(), m_settle);
        }
        if (!impl.pending || Clock::now() < impl.deadline)
            continue;
        bool tell = false;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            impl.events.Deliver(m_batch);
            impl.pending = false;
            if (!m_signalled && !m_batch.Empty()) {
                m_signalled = true;
                tell = true;
            }
        }
        if (tell && m_ready)
            m_ready();
    }
}

} // namespace zentrix::platform
