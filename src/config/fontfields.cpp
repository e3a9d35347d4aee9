#include "config/fontfields.h"

#include "core/text.h"

#include <array>
#include <cstdio>
#include <vector>

namespace zentrix {
namespace {

struct NamedColor {
    const char* name;
    TColor value;
};

constexpr TColor sys(int index) {
    return clSystemColor | index;
}

// The first entry of a value is the name written; later ones (clLtGray, clDkGray)
// are only understood when read.
constexpr std::array<NamedColor, 45> kColors{{
    {"clBlack", 0x000000},        {"clMaroon", 0x000080},
    {"clGreen", 0x008000},        {"clOlive", 0x008080},
    {"clNavy", 0x800000},         {"clPurple", 0x800080},
    {"clTeal", 0x808000},         {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},       {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},         {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},         {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},         {"clWhite", 0xFFFFFF},
    {"clMoneyGreen", 0xC0DCC0},   {"clSkyBlue", 0xF0CAA6},
    {"clCream", 0xF0FBFF},        {"clMedGray", 0xA4A0A0},
    {"clScrollBar", sys(0)},      {"clBackground", sys(1)},
    {"clActiveCaption", sys(2)},  {"clInactiveCaption", sys(3)},
    {"clMenu", sys(4)},           {"clWindow", sys(5)},
    {"clWindowFrame", sys(6)},    {"clMenuText", sys(7)},
    {"clWindowText", sys(8)},     {"clCaptionText", sys(9)},
    {"clActiveBorder", sys(10)},  {"clInactiveBorder", sys(11)},
    {"clAppWorkSpace", sys(12)},  {"clHighlight", sys(13)},
    {"clHighlightText", sys(14)}, {"clBtnFace", sys(15)},
    {"clBtnShadow", sys(16)},     {"clGrayText", sys(17)},
    {"clBtnText", sys(18)},       {"clInactiveCaptionText", sys(19)},
    {"clBtnHighlight", sys(20)},  {"cl3DDkShadow", sys(21)},
    {"cl3DLight", sys(22)},       {"clInfoText", sys(23)},
    {"clInfoBk", sys(24)},
}};

constexpr std::array<NamedColor, 4> kAliases{{
    {"clNone", clNone},
    {"clDefault", clDefault},
    {"clLtGray", 0xC0C0C0},
    {"clDkGray", 0x808080},
}};


// A 32-bit number: decimal with an optional sign, or hexadecimal after "$" or
// "0x" (at most eight digits, taken as the 32 bits of the value).
std::optional<int32_t> parseNumber(std::string_view t) {
    if (t.empty())
        return std::nullopt;
    std::string_view digits;
    if (t[0] == '$')
        digits = t.substr(1);
    else if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X'))
        digits = t.substr(2);
    if (!digits.empty() || t[0] == '$') {
        if (digits.empty() || digits.size() > 8)
            return std::nullopt;
        uint32_t v = 0;
        for (char c : digits) {
            const int d = HexDigit(c);
            if (d < 0)
                return std::nullopt;
            v = (v << 4) | static_cast<uint32_t>(d);
        }
        return static_cast<int32_t>(v);
    }
    size_t i = 0;
    bool negative = false;
    if (t[0] == '-' || t[0] == '+') {
        negative = t[0] == '-';
        i = 1;
    }
    if (i >= t.size())
        return std::nullopt;
    int64_t v = 0;
    for (; i < t.size(); ++i) {
        if (t[i] < '0' || t[i] > '9')
            return std::nullopt;
        v = v * 10 + (t[i] - '0');
        if (v > 0x80000000LL)
            return std::nullopt;
    }
    v = negative ? -v : v;
    if (v > INT32_MAX)
        return std::nullopt;
    return static_cast<int32_t>(v);
}

} // namespace

std::string ColorName(TColor color) {
    for (const auto& c : kColors)
        if (c.value == color)
            return c.name;
    if (color == clNone)
        return "clNone";
    if (color == clDefault)
        return "clDefault";
    return {};
}

std::string ColorToText(TColor color) {
    std::string name = ColorName(color);
    if (!name.empty())
        return name;
    char buf[16];
    std::snprintf(buf, sizeof buf, "$%.8X", static_cast<unsigned>(color));
    return buf;
}

std::optional<TColor> ColorFromText(std::string_view text) {
    const std::string t = Trim(text);
    for (const auto& c : kColors)
        if (EqualsIgnoreCase(t, c.name))
            return c.value;
    for (const auto& c : kAliases)
        if (EqualsIgnoreCase(t, c.name))
            return c.value;
    return parseNumber(t);
}

void ApplyFontText(std::string_view text, FontFields& font) {
    // The fields before the colour count only when a comma closes them.
    std::vector<std::string> closed;
    size_t start = 0;
    while (closed.size() < 4) {
        const size_t comma = text.find(',', start);
        if (comma == std::string_view::npos)
            break;
        closed.push_back(Trim(text.substr(start, comma - start)));
        start = comma + 1;
    }
    if (!closed.empty() && !closed[0].empty())
        font.Name = closed[0];
    if (closed.size() > 1 && !closed[1].empty())
        if (auto size = parseNumber(closed[1]))
            font.Size = *size;
    if (closed.size() > 2) {
        const std::string style = UpperCase(closed[2]);
        font.Bold = style.find('B') != std::string::npos;
        font.Italic = style.find('I') != std::string::npos;
        font.Underline = style.find('U') != std::string::npos;
        font.StrikeOut = style.find('S') != std::string::npos;
    }
    if (closed.size() > 3 && !closed[3].empty())
        if (auto pitch = parseNumber(closed[3]); pitch && *pitch >= 0 && *pitch <= 2)
            font.Pitch = *pitch;
    if (closed.size() == 4) {
        const std::string colorText = Trim(text.substr(start));
        if (!colorText.empty())
            if (auto color = ColorFromText(colorText))
                font.Color = *color;
    }
}

std::string FontToText(const FontFields& font) {
    std::string style;
    if (font.Bold)
        style += 'B';
    if (font.Italic)
        style += 'I';
    if (font.Underline)
        style += 'U';
    if (font.StrikeOut)
        style += 'S';
    return font.Name + "," + std::to_string(font.Size) + "," + style + "," +
           std::to_string(font.Pitch & 0x7F) + "," + ColorToText(font.Color);
}

} // namespace zentrix
