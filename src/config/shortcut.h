#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zentrix {

/// A menu shortcut in its stored form: a virtual-key code in the low byte and the
/// modifier bits Shift, Ctrl and Alt above it; 0 is "no shortcut". Shortcut
/// templates and the saved shortcut list hold exactly these values.
using TShortCut = std::uint16_t;

inline constexpr TShortCut scShift = 0x2000;
inline constexpr TShortCut scCtrl = 0x4000;
inline constexpr TShortCut scAlt = 0x8000;
inline constexpr TShortCut scModifiers = scShift | scCtrl | scAlt;

/// The virtual-key codes that have a name (letters and digits are their ASCII
/// upper-case codes).
namespace vk {
inline constexpr std::uint8_t Back = 0x08;
inline constexpr std::uint8_t Tab = 0x09;
inline constexpr std::uint8_t Return = 0x0D;
inline constexpr std::uint8_t Pause = 0x13;
inline constexpr std::uint8_t Escape = 0x1B;
inline constexpr std::uint8_t Space = 0x20;
inline constexpr std::uint8_t Prior = 0x21;
inline constexpr std::uint8_t Next = 0x22;
inline constexpr std::uint8_t End = 0x23;
inline constexpr std::uint8_t Home = 0x24;
inline constexpr std::uint8_t Left = 0x25;
inline constexpr std::uint8_t Up = 0x26;
inline constexpr std::uint8_t Right = 0x27;
inline constexpr std::uint8_t Down = 0x28;
inline constexpr std::uint8_t Insert = 0x2D;
inline constexpr std::uint8_t Delete = 0x2E;
inline constexpr std::uint8_t Numpad0 = 0x60; // to 0x69
inline constexpr std::uint8_t Multiply = 0x6A;
inline constexpr std::uint8_t Add = 0x6B;
inline constexpr std::uint8_t Subtract = 0x6D;
inline constexpr std::uint8_t Decimal = 0x6E;
inline constexpr std::uint8_t Divide = 0x6F;
inline constexpr std::uint8_t F1 = 0x70; // to F24 = 0x87
inline constexpr std::uint8_t OemSemicolon = 0xBA;
inline constexpr std::uint8_t OemPlus = 0xBB;
inline constexpr std::uint8_t OemComma = 0xBC;
inline constexpr std::uint8_t OemMinus = 0xBD;
inline constexpr std::uint8_t OemPeriod = 0xBE;
inline constexpr std::uint8_t OemSlash = 0xBF;
inline constexpr std::uint8_t OemBackquote = 0xC0;
inline constexpr std::uint8_t OemOpenBracket = 0xDB;
inline constexpr std::uint8_t OemBackslash = 0xDC;
inline constexpr std::uint8_t OemCloseBracket = 0xDD;
inline constexpr std::uint8_t OemQuote = 0xDE;
} // namespace vk

/// The shortcut's text as the menus show it: modifiers in the order Ctrl, Alt,
/// Shift, then the key's name ("Ctrl+Shift+F7", "Space", "+", "Num+*"). Empty for
/// 0 and for a key without a name.
std::string ShortCutToText(TShortCut shortCut);

/// Reads a shortcut text: modifiers "Ctrl+", "Alt+", "Shift+" in any order and case,
/// then a key name as ShortCutToText writes it (a few other spellings such as
/// "Return", "Delete" or "PgDn" are accepted too). Returns 0 for an empty or
/// unknown text.
TShortCut TextToShortCut(std::string_view text);

/// The name of a virtual key alone, empty when it has none.
std::string KeyName(std::uint8_t virtualKey);

} // namespace zentrix
