#pragma once

#include <string_view>

namespace zentrix {

/// Matches one word with "*" and "?" against a name, character by character:
/// "*" matches any run (also an empty one), "?" any one character (a whole UTF-8
/// sequence, or one byte where the name is not UTF-8 there), anything else
/// itself. Once the name is used up only an empty rest of the word or a lone "*"
/// matches. Both are compared as given (callers upper-case them).
bool WildcardMatch(std::string_view word, std::string_view name);

} // namespace zentrix
