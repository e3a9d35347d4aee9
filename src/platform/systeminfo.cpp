#include "platform/systeminfo.h"

#include <cstdlib>
#include <fstream>
#include <malloc.h>
#include <pwd.h>
#include <sstream>
#include <sys/utsname.h>
#include <unistd.h>

namespace zentrix::platform {

void ReturnFreeMemory() {
    // The heap of every thread: the branch reader's workers allocate listings
    // that the main thread frees, and their pages stay with the worker's heap.
    ::malloc_trim(0);
}

SystemFigures ReadSystemFigures() {
    SystemFigures f;
    std::ifstream mem("/proc/meminfo");
    std::string key;
    uint64_t value = 0;
    std::string unit;
    std::string line;
    while (std::getline(mem, line)) {
        std::istringstream in(line);
        if (!(in >> key >> value))
            continue;
        const uint64_t bytes = value * 1024; // the file counts kilobytes
        if (key == "MemTotal:")
            f.memTotal = bytes;
        else if (key == "MemAvailable:")
            f.memAvailable = bytes;
        else if (key == "SwapTotal:")
            f.swapTotal = bytes;
        else if (key == "SwapFree:")
            f.swapFree = bytes;
    }
    std::ifstream up("/proc/uptime");
    up >> f.uptimeSeconds;
    std::ifstream load("/proc/loadavg");
    load >> f.load[0] >> f.load[1] >> f.load[2];
    utsname u{};
    if (::uname(&u) == 0)
        f.kernel = std::string(u.sysname) + " " + u.release;
    return f;
}

std::string CurrentUserName() {
    std::string name;
    if (const passwd* pw = ::getpwuid(::geteuid()); pw && pw->pw_name)
        name = pw->pw_name;
    else if (const char* env = std::getenv("USER"))
        name = env;
    if (name.size() > 255)
        name.resize(255);
    return name;
}

} // namespace zentrix::platform
