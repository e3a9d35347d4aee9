#include "platform/hostname.h"

#include <cstdint>
#include <cstring>

namespace zentrix::platform {
namespace {

constexpr unsigned kEscapeBase = 0xF700;

// Length of the valid UTF-8 sequence at s[i], or 0 when the bytes there are not one.
size_t validSequenceLength(std::string_view s, size_t i, unsigned& codePoint) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    size_t len;
    unsigned cp;
    if (b0 < 0x80) {
        codePoint = b0;
        return 1;
    } else if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2;
        cp = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3;
        cp = b0 & 0x0F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4;
        cp = b0 & 0x07;
    } else {
        return 0;
    }
    if (i + len > s.size())
        return 0;
    for (size_t k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not valid UTF-8.
    if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
        (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    codePoint = cp;
    return len;
}

void appendEscape(std::string& out, unsigned char byte) {
    const unsigned cp = kEscapeBase + byte; // always a three-byte sequence
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
}

bool isEscapeRange(unsigned cp) {
    return cp >= kEscapeBase && cp <= kEscapeBase + 0xFF;
}

} // namespace

bool IsPlainHostName(std::string_view hostName) {
    // Eight bytes at a time while they are ASCII with no backslash: the run of
    // plain letters that most names are.
    constexpr uint64_t kOnes = 0x0101010101010101ULL;
    constexpr uint64_t kHighBits = 0x8080808080808080ULL;
    constexpr uint64_t kBackslashes = kOnes * '\\';
    size_t i = 0;
    for (; i + 8 <= hostName.size(); i += 8) {
        uint64_t word;
        std::memcpy(&word, hostName.data() + i, 8);
        const uint64_t x = word ^ kBackslashes; // a zero byte where a backslash was
        if ((word & kHighBits) || ((x - kOnes) & ~x & kHighBits))
            break;
    }
    // Names with letters beyond ASCII are common: they are plain too when they
    // are valid UTF-8 outside the escape range, and are then used as they are.
    while (i < hostName.size()) {
        const auto b = static_cast<unsigned char>(hostName[i]);
        if (b < 0x80) {
            if (b == '\\')
                return false;
            ++i;
            continue;
        }
        unsigned cp = 0;
        const size_t len = validSequenceLength(hostName, i, cp);
        if (len == 0 || isEscapeRange(cp))
            return false;
        i += len;
    }
    return true;
}

std::string_view NamePrefix(std::string_view hostName, size_t maxBytes) {
    if (hostName.size() <= maxBytes)
        return hostName;
    // The first byte left out continues a sequence: the cut goes before the
    // sequence's lead byte, when there is one within a character's length.
    size_t cut = maxBytes;
    const auto continues = [&](size_t i) {
        return (static_cast<unsigned char>(hostName[i]) & 0xC0) == 0x80;
    };
    if (continues(cut))
        for (size_t back = 1; back <= 3 && back <= cut; ++back) {
            const auto b = static_cast<unsigned char>(hostName[cut - back]);
            if (b >= 0xC0) {
                cut -= back;
                break;
            }
            if (!continues(cut - back))
                break;
        }
    return hostName.substr(0, cut);
}

std::string EscapeHostName(std::string_view hostName) {
    if (IsPlainHostName(hostName))
        return std::string(hostName);
    std::string out;
    out.reserve(hostName.size() + 8);
    size_t i = 0;
    while (i < hostName.size()) {
        unsigned cp = 0;
        const size_t len = validSequenceLength(hostName, i, cp);
        if (len == 0 || cp == '\\' || isEscapeRange(cp)) {
            const size_t n = len == 0 ? 1 : len;
            for (size_t k = 0; k < n; ++k)
                appendEscape(out, static_cast<unsigned char>(hostName[i + k]));
            i += n;
        } else {
            out.append(hostName.substr(i, len));
            i += len;
        }
    }
    return out;
}

std::string UnescapeName(std::string_view name) {
    // Escapes begin with 0xEF 0x9C..0x9F; a name without 0xEF bytes is returned as is.
    if (name.find('\xEF') == std::string_view::npos)
        return std::string(name);
    std::string out;
    out.reserve(name.size());
    size_t i = 0;
    while (i < name.size()) {
        unsigned cp = 0;
        const size_t len = validSequenceLength(name, i, cp);
        if (len == 3 && isEscapeRange(cp)) {
            out.push_back(static_cast<char>(cp - kEscapeBase));
            i += 3;
        } else {
            const size_t n = len == 0 ? 1 : len;
            out.append(name.substr(i, n));
            i += n;
        }
    }
    return out;
}

} // namespace zentrix::platform
