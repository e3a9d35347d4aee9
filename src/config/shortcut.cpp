#include "config/shortcut.h"

#include "core/text.h"

#include <array>
#include <utility>

namespace zentrix {
namespace {

struct NamedKey {
    std::uint8_t key;
    const char* name;
};

// Keys whose name is not their own character. Names follow the spelling the menus
// use, so that a shortcut's text is the same everywhere it is shown.
constexpr std::array<NamedKey, 32> kNamedKeys{{
    {vk::Back, "Backspace"},    {vk::Tab, "Tab"},          {vk::Return, "Enter"},
    {vk::Pause, "Pause"},       {vk::Escape, "Esc"},       {vk::Space, "Space"},
    {vk::Prior, "PgUp"},        {vk::Next, "PgDown"},      {vk::End, "End"},
    {vk::Home, "Home"},         {vk::Left, "Left"},        {vk::Up, "Up"},
    {vk::Right, "Right"},       {vk::Down, "Down"},        {vk::Insert, "Ins"},
    {vk::Delete, "Del"},        {vk::Multiply, "Num+*"},   {vk::Add, "Num++"},
    {vk::Subtract, "Num+-"},    {vk::Decimal, "Num+."},    {vk::Divide, "Num+/"},
    {vk::OemSemicolon, ";"},    {vk::OemPlus, "+"},        {vk::OemComma, ","},
    {vk::OemMinus, "-"},        {vk::OemPeriod, "."},      {vk::OemSlash, "/"},
    {vk::OemBackquote, "`"},    {vk::OemOpenBracket, "["}, {vk::OemBackslash, "\\"},
    {vk::OemCloseBracket, "]"}, {vk::OemQuote, "'"},
}};

// Other spellings accepted when reading.
constexpr std::array<NamedKey, 9> kAliases{{
    {vk::Return, "Return"},
    {vk::Escape, "Escape"},
    {vk::Prior, "PageUp"},
    {vk::Next, "PageDown"},
    {vk::Next, "PgDn"},
    {vk::Insert, "Insert"},
    {vk::Delete, "Delete"},
    {vk::Back, "BkSp"},
    {vk::Space, " "},
}};

std::uint8_t KeyFromName(std::string_view name) {
    if (name.empty())
        return 0;
    if (name.size() == 1) {
        const char c = name[0];
        if (c >= 'a' && c <= 'z')
            return static_cast<std::uint8_t>(c - 'a' + 'A');
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
            return static_cast<std::uint8_t>(c);
    }
    for (const auto& k : kNamedKeys)
        if (EqualsIgnoreCase(name, k.name))
            return k.key;
    for (const auto& k : kAliases)
        if (EqualsIgnoreCase(name, k.name))
            return k.key;
    // "F1" .. "F24" and "Num+0" .. "Num+9".
    if ((name[0] == 'F' || name[0] == 'f') && name.size() <= 3) {
        int n = 0;
        for (char c : name.substr(1)) {
            if (c < '0' || c > '9')
                return 0;
            n = n * 10 + (c - '0');
        }
        if (n >= 1 && n <= 24)
            return static_cast<std::uint8_t>(vk::F1 + n - 1);
        return 0;
    }
    if (name.size() == 5 && EqualsIgnoreCase(name.substr(0, 4), "Num+") && name[4] >= '0' &&
        name[4] <= '9')
        return static_cast<std::uint8_t>(vk::Numpad0 + (name[4] - '0'));
    return 0;
}

bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

} // namespace

std::string KeyName(std::uint8_t key) {
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))
        return std::string(1, static_cast<char>(key));
    if (key >= vk::F1 && key < vk::F1 + 24)
        return "F" + std::to_string(key - vk::F1 + 1);
    if (key >= vk::Numpad0 && key <= vk::Numpad0 + 9)
        return "Num+" + std::string(1, static_cast<char>('0' + key - vk::Numpad0));
    for (const auto& k : kNamedKeys)
        if (k.key == key)
            return k.name;
    return {};
}

std::string ShortCutToText(TShortCut shortCut) {
    std::string key = KeyName(static_cast<std::uint8_t>(shortCut & 0xFF));
    if (key.empty())
        return {};
    std::string text;
    if (shortCut & scCtrl)
        text += "Ctrl+";
    if (shortCut & scAlt)
        text += "Alt+";
    if (shortCut & scShift)
        text += "Shift+";
    return text + key;
}

TShortCut TextToShortCut(std::string_view text) {
    static constexpr std::array<std::pair<std::string_view, TShortCut>, 3> kModifiers{{
        {"Ctrl+", scCtrl},
        {"Alt+", scAlt},
        {"Shift+", scShift},
    }};
    TShortCut modifiers = 0;
    for (bool found = true; found;) {
        found = false;
        for (const auto& [prefix, bit] : kModifiers) {
            // "Ctrl++" is Ctrl with the plus key: a prefix is taken only when a key
            // name remains after it.
            if (text.size() > prefix.size() && StartsWithIgnoreCase(text, prefix)) {
                modifiers |= bit;
                text.remove_prefix(prefix.size());
                found = true;
            }
        }
    }
    const std::uint8_t key = KeyFromName(text);
    return key ? static_cast<TShortCut>(modifiers | key) : 0;
}

} // namespace zentrix
