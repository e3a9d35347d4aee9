#pragma once

#include "platform/hexdigit.h"

#include <string>
#include <string_view>
#include <vector>

namespace zentrix {

/// Upper case of UTF-8 text: ASCII directly, other letters by the Unicode case
/// mapping (independent of the process locale). Invalid bytes stay as they are.
std::string UpperCase(std::string_view text);
/// Lower case, likewise.
std::string LowerCase(std::string_view text);
/// True when both texts are equal after UpperCase.
bool EqualsIgnoreCase(std::string_view a, std::string_view b);
/// The extension of a name from its last full stop on, in upper case (ASCII
/// letters); empty without a full stop.
std::string ExtensionOf(std::string_view fileName);
/// Without leading and trailing blanks and control characters.
std::string Trim(std::string_view text);
/// The text for one line of a log: every control character shown by its
/// Unicode picture (a line break as U+240A, DEL as U+2421), and the C1
/// controls and the line and paragraph separators as U+FFFD, so that a name
/// can never start a line of its own. Everything else stays byte for byte.
std::string OneLineText(std::string_view text);
/// The lines of a text, without their "\n" (a "\r" before it stays); no
/// empty last line for a text that ends with "\n".
std::vector<std::string_view> SplitLines(std::string_view text);

} // namespace zentrix
