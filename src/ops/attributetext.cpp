#include "ops/attributetext.h"

#include "core/text.h"

#include <utility>

namespace zentrix {

uint16_t ApplyAttributePairs(uint16_t start, std::string_view text) {
    uint16_t attributes = start;
    for (size_t i = 0; i + 1 < text.size(); i += 2) {
        const char sign = text[i];
        uint16_t bit = 0;
        switch (text[i + 1]) {
        case 'A':
            bit = 0x20;
            break;
        case 'R':
            bit = 0x01;
            break;
        case 'H':
            bit = 0x02;
            break;
        case 'S':
            bit = 0x04;
            break;
        default:
            continue;
        }
        if (sign == '+')
            attributes |= bit;
        else if (sign == '-')
            attributes &= static_cast<uint16_t>(~bit);
    }
    return attributes;
}

std::string AttributePlusText(uint16_t attributes) {
    static constexpr struct {
        uint16_t bit;
        char letter;
    } kOrder[] = {{0x20, 'A'}, {0x01, 'R'}, {0x04, 'S'}, {0x02, 'H'}, {0x08, 'V'}, {0x10, 'D'}};
    std::string text;
    for (const auto& a : kOrder)
        if (attributes & a.bit) {
            text.push_back('+');
            text.push_back(a.letter);
        }
    return text;
}

AttributeChoice AttributeChoiceOf(std::string_view boxText, char letter) {
    const std::string text = UpperCase(boxText);
    if (text.find(std::string{'-', letter}) != std::string::npos)
        return AttributeChoice::Unset;
    if (text.find(std::string{'+', letter}) != std::string::npos)
        return AttributeChoice::Set;
    return AttributeChoice::Unchanged;
}

std::string AttributeChoicesText(AttributeChoice archive, AttributeChoice readOnly,
                                 AttributeChoice hidden, AttributeChoice system) {
    std::string text;
    const std::pair<AttributeChoice, char> groups[] = {
        {archive, 'A'}, {readOnly, 'R'}, {hidden, 'H'}, {system, 'S'}};
    for (const auto& [choice, letter] : groups) {
        if (choice == AttributeChoice::Unchanged)
            continue;
        text.push_back(choice == AttributeChoice::Set ? '+' : '-');
        text.push_back(letter);
    }
    return text;
}

} // namespace zentrix
