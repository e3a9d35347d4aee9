#pragma once

#include <cstdint>
#include <string>

namespace zentrix::fileinfo {

/// Digits in groups of three separated by full stops: 12.345.678.
inline std::string GroupedNumber(uint64_t value) {
    const std::string digits = std::to_string(value);
    std::string out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out += '.';
        out += digits[i];
    }
    return out;
}

} // namespace zentrix::fileinfo
