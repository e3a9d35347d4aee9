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

} // namespace zentrix::platform
