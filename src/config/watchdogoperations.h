#pragma once

#include <array>

namespace zentrix {

/// The WatchDog's operation kinds, indexed by operation code, with the names the
/// options dialog lists them under.
constexpr int kWatchDogOperationCount = 15;
constexpr std::array<const char*, kWatchDogOperationCount> kWatchDogOperationNames{
    "Delete file(s)",
    "Move file(s)",
    "Copy file(s)",
    "Rename file(s)",
    "Change file(s) attributes",
    "Change file(s) date/time",
    "Edit file",
    "Execute file",
    "Print file",
    "View file",
    "Delete directory",
    "New directory",
    "Rename directory",
    "Prune directory",
    "Search file for text",
};

} // namespace zentrix
