#pragma once

namespace zentrix::platform {

/// Runs the calling thread one step above normal priority (a nice value one
/// lower than the process's). Raising needs the privilege to; without it the
/// thread stays as it is and the answer is false.
bool RaiseCurrentThreadPriority();

} // namespace zentrix::platform
