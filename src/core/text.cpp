#include "core/text.h"

#include <clocale>
#include <cwctype>
#include <locale.h>

namespace zentrix {
namespace {

locale_t utf8Locale() {
    static locale_t loc = [] {
        locale_t l = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
        return l ? l : ::newlocale(LC_CTYPE_MASK, "C", static_cast<locale_t>(nullptr));
    }();
    return loc;
}

// Decodes one UTF-8 sequence; 0 length for an invalid byte.
size_t decode(std::string_view s, size_t i, char32_t& cp) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    size_t len = b0 < 0x80 ? 1 : (b0 >> 5) == 6 ? 2 : (b0 >> 4) == 14 ? 3 : (b0 >> 3) == 30 ? 4 : 0;
    if (len == 0 || i + len > s.size())
        return 0;
    cp = len == 1 ? b0 : (b0 & (0x7F >> len));
    for (size_t k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    return len;
}

void encode(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

template <bool Upper> std::string mapCase(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (b < 0x80) {
            if (Upper)
                out.push_back(b >= 'a' && b <= 'z' ? static_cast<char>(b - 32)
                                                   : static_cast<char>(b));
            else
                out.push_back(b >= 'A' && b <= 'Z' ? static_cast<char>(b + 32)
                                                   : static_cast<char>(b));
            ++i;
            continue;
        }
        char32_t cp = 0;
        const size_t len = decode(text, i, cp);
        if (len == 0) {
            out.push_back(static_cast<char>(b));
            ++i;
            continue;
        }
        const auto mapped = Upper ? ::towupper_l(static_cast<wint_t>(cp), utf8Locale())
                                  : ::towlower_l(static_cast<wint_t>(cp), utf8Locale());
        // Keep the byte length when the mapping would change it (a different-length
        // form would break positions other code relies on).
        std::string enc;
        encode(enc, static_cast<char32_t>(mapped));
        if (enc.size() == len)
            out += enc;
        else
            out.append(text.substr(i, len));
        i += len;
    }
    return out;
}

} // namespace

std::string UpperCase(std::string_view text) {
    return mapCase<true>(text);
}
std::string LowerCase(std::string_view text) {
    return mapCase<false>(text);
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    bool ascii = true;
    for (size_t i = 0; i < a.size(); ++i) {
        auto x = static_cast<unsigned char>(a[i]);
        auto y = static_cast<unsigned char>(b[i]);
        if (x >= 0x80 || y >= 0x80) {
            ascii = false;
            break;
        }
        if (x >= 'a' && x <= 'z')
            x -= 32;
        if (y >= 'a' && y <= 'z')
            y -= 32;
        if (x != y)
            return false;
    }
    return ascii || UpperCase(a) == UpperCase(b);
}

std::string ExtensionOf(std::string_view fileName) {
    const auto dot = fileName.rfind('.');
    if (dot == std::string_view::npos)
        return {};
    std::string ext(fileName.substr(dot));
    for (auto& c : ext)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    return ext;
}

std::string Trim(std::string_view text) {
    size_t b = 0, e = text.size();
    while (b < e && static_cast<unsigned char>(text[b]) <= ' ')
        ++b;
    while (e > b && static_cast<unsigned char>(text[e - 1]) <= ' ')
        --e;
    return std::string(text.substr(b, e - b));
}

std::string OneLineText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        const auto next = [&](size_t k) {
            return i + k < text.size() ? static_cast<unsigned char>(text[i + k]) : 0;
        };
        if (b < 0x20 || b == 0x7F) {
            // U+2400 + b, or U+2421 for DEL: E2 90 xx in UTF-8.
            out += "\xE2\x90";
            out += static_cast<char>(b == 0x7F ? 0xA1 : 0x80 + b);
        } else if (b == 0xC2 && next(1) >= 0x80 && next(1) <= 0x9F) {
            out += "\xEF\xBF\xBD"; // a C1 control
            i += 1;
        } else if (b == 0xE2 && next(1) == 0x80 && (next(2) == 0xA8 || next(2) == 0xA9)) {
            out += "\xEF\xBF\xBD"; // U+2028, U+2029
            i += 2;
        } else {
            out += static_cast<char>(b);
        }
    }
    return out;
}

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 1;
    }
    return lines;
}

} // namespace zentrix
