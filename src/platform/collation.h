#pragma once

#include <string_view>

namespace zentrix::platform {

/// Takes the collation of the user's locale (LC_COLLATE from the environment).
/// Call once at start; until then, and under the C locale, names compare by the
/// built-in order below.
void InitCollation();

/// Orders directory names as the user's locale does, case-sensitively. Under the
/// C locale: letters compare without regard to case first, then a lower-case
/// letter comes before its capital, then bytes decide.
int CompareNodeText(std::string_view a, std::string_view b);

/// Orders file names as the user's locale does, without regard to case: names
/// that differ only in case compare equal. Under the C locale letters are
/// compared folded to lower case, then the bytes and the length decide.
int CompareNamesIgnoreCase(std::string_view a, std::string_view b);

/// The built-in order used under the C locale.
int CompareNamesBuiltIn(std::string_view a, std::string_view b);

} // namespace zentrix::platform
