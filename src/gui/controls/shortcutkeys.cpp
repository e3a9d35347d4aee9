#include "gui/controls/shortcutkeys.h"

#include <array>

namespace zentrix {
namespace {

struct KeyPair {
    std::uint8_t vk;
    Qt::Key key;
};

// Keys whose virtual-key code is not their Qt key code.
constexpr std::array<KeyPair, 27> kKeys{{
    {vk::Back, Qt::Key_Backspace},
    {vk::Tab, Qt::Key_Tab},
    {vk::Return, Qt::Key_Enter},
    {vk::Pause, Qt::Key_Pause},
    {vk::Escape, Qt::Key_Escape},
    {vk::Space, Qt::Key_Space},
    {vk::Prior, Qt::Key_PageUp},
    {vk::Next, Qt::Key_PageDown},
    {vk::End, Qt::Key_End},
    {vk::Home, Qt::Key_Home},
    {vk::Left, Qt::Key_Left},
    {vk::Up, Qt::Key_Up},
    {vk::Right, Qt::Key_Right},
    {vk::Down, Qt::Key_Down},
    {vk::Insert, Qt::Key_Insert},
    {vk::Delete, Qt::Key_Delete},
    {vk::OemSemicolon, Qt::Key_Semicolon},
    {vk::OemPlus, Qt::Key_Plus},
    {vk::OemComma, Qt::Key_Comma},
    {vk::OemMinus, Qt::Key_Minus},
    {vk::OemPeriod, Qt::Key_Period},
    {vk::OemSlash, Qt::Key_Slash},
    {vk::OemBackquote, Qt::Key_QuoteLeft},
    {vk::OemOpenBracket, Qt::Key_BracketLeft},
    {vk::OemBackslash, Qt::Key_Backslash},
    {vk::OemCloseBracket, Qt::Key_BracketRight},
    {vk::OemQuote, Qt::Key_Apostrophe},
}};

// The keypad keys: a Qt key with the keypad modifier.
constexpr std::array<KeyPair, 5> kKeypad{{
    {vk::Multiply, Qt::Key_Asterisk},
    {vk::Add, Qt::Key_Plus},
    {vk::Subtract, Qt::Key_Minus},
    {vk::Decimal, Qt::Key_Period},
    {vk::Divide, Qt::Key_Slash},
}};

} // namespace

QList<QKeySequence> KeySequencesOf(TShortCut shortCut) {
    const auto vkCode = static_cast<std::uint8_t>(shortCut & 0xFF);
    Qt::KeyboardModifiers modifiers;
    if (shortCut & scCtrl)
        modifiers |= Qt::ControlModifier;
    if (shortCut & scAlt)
        modifiers |= Qt::AltModifier;
    if (shortCut & scShift)
        modifiers |= Qt::ShiftModifier;

    Qt::Key key = Qt::Key_unknown;
    if ((vkCode >= 'A' && vkCode <= 'Z') || (vkCode >= '0' && vkCode <= '9')) {
        key = static_cast<Qt::Key>(vkCode); // Qt's codes for these are ASCII too
    } else if (vkCode >= vk::F1 && vkCode < vk::F1 + 24) {
        key = static_cast<Qt::Key>(Qt::Key_F1 + (vkCode - vk::F1));
    } else if (vkCode >= vk::Numpad0 && vkCode <= vk::Numpad0 + 9) {
        key = static_cast<Qt::Key>(Qt::Key_0 + (vkCode - vk::Numpad0));
        modifiers |= Qt::KeypadModifier;
    } else {
        for (const auto& k : kKeys)
            if (k.vk == vkCode)
                key = k.key;
        for (const auto& k : kKeypad)
            if (k.vk == vkCode) {
                key = k.key;
                modifiers |= Qt::KeypadModifier;
            }
    }
    if (key == Qt::Key_unknown)
        return {};
    QList<QKeySequence> sequences{QKeySequence(QKeyCombination(modifiers, key))};
    // The main Enter key reports itself as Return.
    if (key == Qt::Key_Enter)
        sequences.append(QKeySequence(QKeyCombination(modifiers, Qt::Key_Return)));
    return sequences;
}

TShortCut ShortCutOf(QKeyCombination combination) {
    const Qt::KeyboardModifiers modifiers = combination.keyboardModifiers();
    if (modifiers & Qt::MetaModifier)
        return 0;
    TShortCut bits = 0;
    if (modifiers & Qt::ControlModifier)
        bits |= scCtrl;
    if (modifiers & Qt::AltModifier)
        bits |= scAlt;
    if (modifiers & Qt::ShiftModifier)
        bits |= scShift;

    Qt::Key key = combination.key();
    if (key == Qt::Key_Return)
        key = Qt::Key_Enter;
    if (key == Qt::Key_Backtab) {
        key = Qt::Key_Tab;
        bits |= scShift;
    }
    std::uint8_t vkCode = 0;
    if (modifiers & Qt::KeypadModifier) {
        if (key >= Qt::Key_0 && key <= Qt::Key_9)
            vkCode = static_cast<std::uint8_t>(vk::Numpad0 + (key - Qt::Key_0));
        for (const auto& k : kKeypad)
            if (k.key == key)
                vkCode = k.vk;
        if (key == Qt::Key_Enter)
            vkCode = vk::Return;
        // Keypad navigation keys (NumLock off) are the ordinary ones.
        if (!vkCode)
            for (const auto& k : kKeys)
                if (k.key == key)
                    vkCode = k.vk;
    } else if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) {
        vkCode = static_cast<std::uint8_t>(key);
    } else if (key >= Qt::Key_F1 && key <= Qt::Key_F24) {
        vkCode = static_cast<std::uint8_t>(vk::F1 + (key - Qt::Key_F1));
    } else {
        for (const auto& k : kKeys)
            if (k.key == key)
                vkCode = k.vk;
    }
    return vkCode ? static_cast<TShortCut>(bits | vkCode) : 0;
}

} // namespace zentrix
