#pragma once

#include <string>
#include <string_view>

namespace zentrix::platform {

/// Catalogue names are valid UTF-8 without a backslash. A host name that breaks
/// either rule keeps every byte: each offending byte b is written as the private-use
/// character U+F700 + b. Real characters from U+F700 to U+F7FF are escaped the same
/// way, so that the mapping can always be reversed.
std::string EscapeHostName(std::string_view hostName);

/// The host bytes of a catalogue name (the inverse of EscapeHostName).
std::string UnescapeName(std::string_view catalogueName);

/// True when the host name needs no escaping (the common case; cheap to test).
bool IsPlainHostName(std::string_view hostName);

/// The longest beginning of a host name with at most `maxBytes` bytes that
/// does not end inside a UTF-8 sequence (bytes that are not UTF-8 are cut
/// anywhere). For names shortened to fit a file system's limit.
std::string_view NamePrefix(std::string_view hostName, size_t maxBytes);

} // namespace zentrix::platform
