#include "view/viewertext.h"

#include "core/text.h"

#include <array>
#include <cstdio>

namespace zentrix {

namespace {

// The Windows code page's characters for 0x80..0x9F; 0 where it has none.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// Length of the valid UTF-8 sequence at s[0] (0 when invalid or cut off),
// its code point in `cp`.
size_t DecodeUtf8(std::string_view s, size_t i, char32_t& cp) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    size_t len = 0;
    char32_t min = 0;
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    }
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2;
        cp = b0 & 0x1F;
        min = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3;
        cp = b0 & 0x0F;
        min = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4;
        cp = b0 & 0x07;
        min = 0x10000;
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
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return len;
}

// Letters and digits as the system's classification of a Latin-1 byte has them.
bool Latin1LetterOrDigit(unsigned char b) {
    if ((b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z'))
        return true;
    if (b == 0xAA || b == 0xB5 || b == 0xBA || b == 0xB2 || b == 0xB3 || b == 0xB9)
        return true;
    if (b == 0x8A || b == 0x8C || b == 0x8E || b == 0x9A || b == 0x9C || b == 0x9E || b == 0x9F ||
        b == 0x83)
        return true;
    return b >= 0xC0 && b != 0xD7 && b != 0xF7;
}

// Adds one character of a text line; false once the line is full.
struct LineBuilder {
    std::string out;
    size_t chars = 0;
    bool full() const { return chars > kMaxLineChars; }
    void add(char32_t cp) {
        if (cp == '\t') {
            out.append(8, ' ');
            chars += 8;
            return;
        }
        if (cp < 32 || cp == 0x7F)
            return; // control characters (the carriage return among them) are left out
        AppendUtf8(out, cp);
        ++chars;
    }
};

} // namespace

void AppendUtf8(std::string& out, char32_t cp) {
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

char32_t Latin1Char(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0 && kCp1252High[byte - 0x80] != 0)
        return kCp1252High[byte - 0x80];
    return byte;
}

TextEncoding DetectEncoding(std::string_view start) {
    auto has = [&](std::string_view bom) {
        return start.substr(0, bom.size()) == bom;
    };
    if (has("\xEF\xBB\xBF"))
        return TextEncoding::Utf8;
    if (has("\xFF\xFE"))
        return TextEncoding::Utf16LE;
    if (has("\xFE\xFF"))
        return TextEncoding::Utf16BE;
    for (size_t i = 0; i < start.size();) {
        char32_t cp = 0;
        const size_t len = DecodeUtf8(start, i, cp);
        if (len == 0) {
            // A sequence cut off by the end of the sample does not count against it.
            if (start.size() - i < 4) {
                const auto b = static_cast<unsigned char>(start[i]);
                bool lead = b >= 0xC2 && b <= 0xF4;
                for (size_t k = i + 1; lead && k < start.size(); ++k)
                    lead = (static_cast<unsigned char>(start[k]) & 0xC0) == 0x80;
                if (lead)
                    break;
            }
            return TextEncoding::Latin1;
        }
        i += len;
    }
    return TextEncoding::Utf8;
}

size_t ByteOrderMarkLength(TextEncoding encoding, std::string_view start) {
    switch (encoding) {
    case TextEncoding::Utf8:
        return start.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
    case TextEncoding::Utf16LE:
        return start.substr(0, 2) == "\xFF\xFE" ? 2 : 0;
    case TextEncoding::Utf16BE:
        return start.substr(0, 2) == "\xFE\xFF" ? 2 : 0;
    case TextEncoding::Latin1:
        break;
    }
    return 0;
}

LineFeedUnit LineFeedUnitOf(TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::Utf16LE:
        return LineFeedUnit::Utf16LE;
    case TextEncoding::Utf16BE:
        return LineFeedUnit::Utf16BE;
    default:
        return LineFeedUnit::Byte;
    }
}

const char* EncodingName(TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::Utf8:
        return "UTF-8";
    case TextEncoding::Latin1:
        return "Latin-1";
    case TextEncoding::Utf16LE:
        return "UTF-16LE";
    case TextEncoding::Utf16BE:
        return "UTF-16BE";
    }
    return "";
}

bool LooksLikeText(std::string_view first256) {
    const std::string_view s = first256.substr(0, 256);
    if (s.substr(0, 2) == "\xFF\xFE" || s.substr(0, 2) == "\xFE\xFF")
        return true;
    int odd = 0;
    for (size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (b == '\t' || b == '\n' || b == '\r' || (b >= 32 && b <= 127)) {
            ++i;
            continue;
        }
        char32_t cp = 0;
        if (b >= 0x80) {
            if (const size_t len = DecodeUtf8(s, i, cp); len > 1) {
                i += len; // a whole UTF-8 character is text
                continue;
            }
        }
        if (!Latin1LetterOrDigit(b))
            ++odd;
        ++i;
    }
    return odd <= 9;
}

std::string FormTextLine(std::string_view bytes, TextEncoding encoding, bool atFileStart) {
    LineBuilder line;
    size_t i = atFileStart ? ByteOrderMarkLength(encoding, bytes) : 0;
    const size_t end = std::min(bytes.size(), kLineReadLimit);
    switch (encoding) {
    case TextEncoding::Utf8:
        while (i < end && !line.full()) {
            const auto b = static_cast<unsigned char>(bytes[i]);
            if (b == '\n')
                break;
            char32_t cp = 0;
            const size_t len = DecodeUtf8(bytes.substr(0, end), i, cp);
            if (len == 0) {
                line.add(Latin1Char(b)); // not valid UTF-8: the byte as it is
                ++i;
            } else {
                line.add(cp);
                i += len;
            }
        }
        break;
    case TextEncoding::Latin1:
        for (; i < end && !line.full(); ++i) {
            const auto b = static_cast<unsigned char>(bytes[i]);
            if (b == '\n')
                break;
            line.add(Latin1Char(b));
        }
        break;
    case TextEncoding::Utf16LE:
    case TextEncoding::Utf16BE: {
        const bool le = encoding == TextEncoding::Utf16LE;
        auto unit = [&](size_t k) -> char16_t {
            const auto a = static_cast<unsigned char>(bytes[k]);
            const auto b = static_cast<unsigned char>(bytes[k + 1]);
            return static_cast<char16_t>(le ? (a | b << 8) : (a << 8 | b));
        };
        while (i + 1 < end && !line.full()) {
            const char16_t u = unit(i);
            if (u == '\n')
                break;
            i += 2;
            if (u >= 0xD800 && u <= 0xDBFF && i + 1 < end) {
                const char16_t low = unit(i);
                if (low >= 0xDC00 && low <= 0xDFFF) {
                    line.add(0x10000 + ((char32_t(u) - 0xD800) << 10) + (low - 0xDC00));
                    i += 2;
                    continue;
                }
            }
            line.add(u >= 0xD800 && u <= 0xDFFF ? 0xFFFD : u);
        }
        if (i + 1 == end && !line.full() && end == bytes.size())
            line.add(Latin1Char(static_cast<unsigned char>(bytes[i]))); // an odd last byte
        break;
    }
    }
    return std::move(line.out);
}

std::string FormHexLine(int64_t offset, std::string_view bytes, int lineLength) {
    char head[32];
    std::snprintf(head, sizeof head, "%08llX : ", static_cast<unsigned long long>(offset));
    std::string out = head;
    static const char digits[] = "0123456789ABCDEF";
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        out.push_back(' ');
        out.push_back(digits[b >> 4]);
        out.push_back(digits[b & 15]);
    }
    const size_t missing = lineLength > static_cast<int>(bytes.size())
                               ? static_cast<size_t>(lineLength) - bytes.size()
                               : 0;
    out.append(3 * missing, ' ');
    out += " \"";
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b == 0)
            out.push_back(' ');
        else if (b < 32)
            AppendUtf8(out, 0xFF);
        else
            AppendUtf8(out, Latin1Char(b));
    }
    out.append(missing, ' ');
    out.push_back('"');
    return out;
}

bool LineContains(std::string_view line, std::string_view text, bool matchCase) {
    if (text.empty())
        return false;
    if (matchCase)
        return line.find(text) != std::string_view::npos;
    return LowerCase(line).find(LowerCase(text)) != std::string::npos;
}

std::vector<std::string> DumpLines(std::string_view data) {
    std::vector<std::string> lines;
    lines.reserve(128);
    static const char digits[] = "0123456789ABCDEF";
    for (int row = 0; row < 128; ++row) {
        char head[8];
        std::snprintf(head, sizeof head, "%04X:", row * 8);
        std::string line = head;
        std::string chars;
        for (int k = 0; k < 8; ++k) {
            const size_t i = static_cast<size_t>(row * 8 + k);
            const auto b = i < data.size() ? static_cast<unsigned char>(data[i]) : 0;
            line.push_back(' ');
            line.push_back(digits[b >> 4]);
            line.push_back(digits[b & 15]);
            if (b < 32)
                chars.push_back('.');
            else
                AppendUtf8(chars, Latin1Char(b));
        }
        line += "  " + chars;
        lines.push_back(std::move(line));
    }
    return lines;
}

} // namespace zentrix
