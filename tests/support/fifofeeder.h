#pragma once

#include <atomic>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <string>
#include <thread>
#include <unistd.h>

namespace zentrix::test {

/// Writes `bytes` into whoever opens the FIFO at `path` for reading, again and
/// again until the feeder goes. Code that opens the FIFO and waits on it, as it
/// never should, is let go with something to read, so that a test shows what it
/// made of it instead of hanging.
class FifoFeeder {
public:
    FifoFeeder(std::string path, std::string bytes) {
        std::signal(SIGPIPE, SIG_IGN); // a reader that gives up must not end the test
        m_thread = std::thread([this, path = std::move(path), bytes = std::move(bytes)] {
            while (!m_stop) {
                const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
                if (fd < 0) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(5));
                    continue;
                }
                ::fcntl(fd, F_SETFL, 0);
                [[maybe_unused]] const ssize_t n = ::write(fd, bytes.data(), bytes.size());
                ::close(fd);
            }
        });
    }
    ~FifoFeeder() {
        m_stop = true;
        m_thread.join();
    }
    FifoFeeder(const FifoFeeder&) = delete;
    FifoFeeder& operator=(const FifoFeeder&) = delete;

private:
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

} // namespace zentrix::test
