#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace zentrix::platform {

/// Bytes in a sector of a CD-ROM's data track.
inline constexpr size_t kDiscSectorBytes = 2048;

/// One 2,048-byte sector of a disc, read from its block device or from an image
/// file. None when the path is neither (FIFOs and other devices are never
/// opened) or the sector cannot be read whole.
std::optional<std::string> ReadDiscSector(const std::string& deviceOrImage, uint64_t sector);

} // namespace zentrix::platform
