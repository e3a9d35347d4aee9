#include "filewindow/attributemask.h"

#include <string>

namespace zentrix {

AttributeMask::AttributeMask(std::string_view text) {
    std::string upper(text);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    struct Letter {
        char letter;
        uint16_t bit;
    };
    static constexpr Letter kLetters[] = {
        {'A', kArchive}, {'R', kReadOnly}, {'S', kSystem}, {'H', kHidden}};
    for (const Letter& l : kLetters) {
        const bool set = upper.find(std::string{'+', l.letter}) != std::string::npos;
        const bool clear = upper.find(std::string{'-', l.letter}) != std::string::npos;
        if (set && clear) {
            // The bit would have to be set and clear at once: nothing matches.
            m_contradictory = true;
            return;
        }
        if (set || clear)
            m_mask |= l.bit;
        if (set)
            m_wanted |= l.bit;
    }
}

std::optional<char> AttributeBoxChar(char32_t typed) {
    switch (typed) {
    case '+':
    case '-':
    case 'A':
    case 'H':
    case 'R':
    case 'S':
        return static_cast<char>(typed);
    case 'a':
    case 'h':
    case 'r':
    case 's':
        return static_cast<char>(typed - 32);
    default:
        return std::nullopt;
    }
}

} // namespace zentrix
