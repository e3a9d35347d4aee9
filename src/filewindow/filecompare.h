#pragma once

#include <string_view>

namespace zentrix {

class TFileClass;

/// Sort keys of the file window (setting FileSortOption).
inline constexpr int kSortByName = 0;
inline constexpr int kSortByExtension = 1;
inline constexpr int kSortBySize = 2;
inline constexpr int kSortByDate = 3;
inline constexpr int kSortByAttributes = 4;
inline constexpr int kSortByDescription = 5;

/// The order of two file records by a key (0 to 4), ascending: the key's field
/// first, then the name for every key but the name itself. Names and
/// extensions compare without regard to case, by the locale's collation.
int CompareFileRecords(const TFileClass& a, const TFileClass& b, int key);

/// The extension of a name from its last full stop on ("" without one).
std::string_view ExtensionView(std::string_view name);

} // namespace zentrix
