#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zentrix {

/// CRC-32 of a volume label put into 14 bytes (zero-padded, longer labels cut):
/// the reflected table of polynomial 0xEDB88320, starting from 0, no final
/// inversion.
uint32_t DiscLabelCrc(std::string_view label);

/// The identification value of a disc: the label's CRC, plus (32-bit
/// wrap-around) for every entry of the root directory the low 32 bits of its
/// last-write file time and each byte of its name. The sum does not depend on
/// the order of the listing, so two copies of a disc agree wherever they are
/// mounted. None when the root cannot be listed.
std::optional<uint32_t> DiscIdentificationValue(std::string_view label,
                                                const std::string& hostRoot);

/// Eight upper-case hexadecimal digits, most significant first.
std::string DiscIdentificationText(uint32_t value);

} // namespace zentrix
