#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zentrix {

/// A colour as the settings store writes it: 0x00BBGGRR for a plain colour, or
/// 0x80000000 + a system colour index (window text, button face ...), or one of
/// the two special values below.
using TColor = int32_t;

constexpr TColor clSystemColor = static_cast<TColor>(0x80000000u);
constexpr TColor clWindowText = clSystemColor | 8;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

/// True for 0x80000000 + index.
inline bool IsSystemColor(TColor c) {
    return (static_cast<uint32_t>(c) & 0xFF000000u) == 0x80000000u;
}

/// The symbolic name of a colour ("clRed", "clWindowText"); empty when it has none.
std::string ColorName(TColor color);
/// "clRed" or "$000000FF"-style text, as the store writes it.
std::string ColorToText(TColor color);
/// A colour from its name (any case) or a number ("$0000FF", "0xFF", "255");
/// none for anything else.
std::optional<TColor> ColorFromText(std::string_view text);

/// A font as the windows use it, without any toolkit: the store's font text
/// "Name,Size,Style,Pitch,Color" applies to one of these, and the windows turn it
/// into their own font and colour.
struct FontFields {
    std::string Name;
    int Size = 8; // points
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    int Pitch = 0; // 0 default, 1 variable, 2 fixed
    TColor Color = clWindowText;

    bool operator==(const FontFields&) const = default;
};

/// Applies a stored font text to a font. Each comma-separated field is trimmed.
/// Name, Size, Style and Pitch are taken only when a further comma follows them;
/// an empty Name, Size or Pitch, or a Size or Pitch that is not a number, keeps
/// the font's own. Style letters B, I, U, S count anywhere in their field, in any
/// case, and an empty Style clears the style. The Color field (the rest after the
/// fourth comma) keeps the colour when it is empty or not a colour.
void ApplyFontText(std::string_view text, FontFields& font);

/// "Arial,10,BI,0,clRed".
std::string FontToText(const FontFields& font);

} // namespace zentrix
