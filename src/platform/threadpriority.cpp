#include "platform/threadpriority.h"

#include <cerrno>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace zentrix::platform {

bool RaiseCurrentThreadPriority() {
    // On Linux the nice value belongs to each thread (its id names it).
    const auto tid = static_cast<id_t>(::syscall(SYS_gettid));
    errno = 0;
    const int current = ::getpriority(PRIO_PROCESS, tid);
    if (errno != 0)
        return false;
    return ::setpriority(PRIO_PROCESS, tid, current - 1) == 0;
}

} // namespace zentrix::platform
