#pragma once

#include <string>
#include <vector>

namespace zentrix::platform {

/// Starts a program from the PATH with its input and output on /dev/null and
/// returns at once; the child is reaped in the background. False when it could
/// not be started.
bool StartDetached(const std::string& program, const std::vector<std::string>& args);

} // namespace zentrix::platform
