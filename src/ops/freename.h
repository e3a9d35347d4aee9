#pragma once

#include "platform/filetransfer.h"

#include <atomic>
#include <cstdint>
#include <string>

namespace zentrix {

/// "name (2).ext", "name (3).ext" ...: the first that does not exist in `dir`,
/// the stem shortened where the name would not fit the file system (never
/// inside a UTF-8 sequence). Empty when none is free, a name cannot be looked
/// up, or `stop` is set meanwhile.
std::string FreeNumberedName(const platform::DirHandle& dir, const std::string& name,
                             const std::atomic<bool>* stop = nullptr);
/// The same for the name of a host path, in its directory.
std::string FreeNumberedName(const std::string& path);

/// How a question about a taken name describes a file: "12 bytes", or
/// "directory".
std::string EntrySizeText(const platform::EntryStat& st);
/// A modification time in such a question: "2026-01-31 12:00:00", local time.
std::string EntryDateText(int64_t seconds);

} // namespace zentrix
