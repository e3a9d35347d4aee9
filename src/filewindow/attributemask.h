#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace zentrix {

/// The attributes a file must have to be tagged or untagged by attributes: a
/// text that may hold the tokens "+A", "-A", "+R", "-R", "+S", "-S", "+H", "-H"
/// anywhere (A archive, R read-only, S system, H hidden). A file matches when
/// every letter with "+" is set in its attribute word and every letter with
/// "-" is clear; other characters are ignored, and a text without tokens
/// matches every file. Letters count in either case.
class AttributeMask {
public:
    explicit AttributeMask(std::string_view text);

    bool Matches(uint16_t attributes) const {
        return !m_contradictory && (attributes & m_mask) == m_wanted;
    }
    /// True when the text holds a token for both signs of one letter: no file
    /// can match then.
    bool Contradictory() const { return m_contradictory; }

    /// Bits of the attribute word the tokens name.
    static constexpr uint16_t kReadOnly = 0x01;
    static constexpr uint16_t kHidden = 0x02;
    static constexpr uint16_t kSystem = 0x04;
    static constexpr uint16_t kArchive = 0x20;

private:
    uint16_t m_mask = 0;   // the bits a token names
    uint16_t m_wanted = 0; // their required values
    bool m_contradictory = false;
};

/// What a typed character becomes in the attribute box: upper case for the
/// letters A, H, R and S; "+" and "-" as they are; none for anything else (the
/// box beeps and drops it).
std::optional<char> AttributeBoxChar(char32_t typed);

} // namespace zentrix
