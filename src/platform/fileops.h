#pragma once

#include <string>

namespace zentrix::platform {

/// Renames a file or directory; never replaces an existing entry. On failure
/// returns false and, when given, the system's reason in `error`.
bool RenameNoReplace(const std::string& from, const std::string& to, std::string* error = nullptr);

} // namespace zentrix::platform
