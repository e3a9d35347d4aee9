#pragma once

#include <cstdint>
#include <string>

namespace zentrix::platform {

/// What the system tells about its memory, swap, uptime and load.
struct SystemFigures {
    uint64_t memTotal = 0;     // bytes
    uint64_t memAvailable = 0; // bytes
    uint64_t swapTotal = 0;
    uint64_t swapFree = 0;
    double uptimeSeconds = 0;
    double load[3] = {0, 0, 0};
    std::string kernel;        // "Linux 6.1.0-18-amd64"
};

/// Reads /proc/meminfo, /proc/uptime, /proc/loadavg and uname; missing parts stay 0.
SystemFigures ReadSystemFigures();

/// Hands the free memory of the heap back to the system, after work that
/// left much of it behind (the read-ahead of a large branch, say).
void ReturnFreeMemory();

/// The name of the logged-on user (at most 255 characters), or empty.
std::string CurrentUserName();

} // namespace zentrix::platform
