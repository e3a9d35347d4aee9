#pragma once

#include <string_view>

namespace zentrix {

/// Files whose description is their own (programs, libraries, drivers ...):
/// the upper-case extension without full stop occurs in the fixed kind list.
bool IsOwnDescriptionKind(std::string_view fileName);
/// Files whose icon is their own picture (cursors, icons, bitmaps ...).
bool IsIconKind(std::string_view fileName);
/// Either of the two: the file window fetches these icons per file.
bool IsOwnIconKind(std::string_view fileName);

} // namespace zentrix
