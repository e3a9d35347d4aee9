#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zentrix {

/// Finds a text in a stream of bytes that arrives in pieces of any size: a text
/// that straddles two pieces, or is longer than several of them, is found as
/// well as one inside a piece. The text is compared literally (no character is
/// a wildcard). Without case sensitivity the ASCII letters a to z compare equal
/// to A to Z; every other byte compares only with itself.
///
/// Candidates are found 32 (or 16) positions at a time by two of the text's
/// bytes, those least common in files, so scanning runs at the speed of
/// memory rather than per byte.
/// Each matcher owns its state; matchers on different threads never meet.
class ContentMatcher {
public:
    ContentMatcher(std::string_view text, bool caseSensitive);

    /// Starts a new stream (a new file).
    void Reset();
    /// The next piece of the stream; true once the text has been seen.
    bool Feed(const char* data, size_t size);
    bool Found() const { return m_found; }

    /// The text as compared (upper-cased without case sensitivity).
    const std::string& Text() const { return m_text; }
    bool CaseSensitive() const { return !m_fold; }

    /// The position of the first occurrence inside one block, or npos. An
    /// empty text is found at 0.
    size_t Find(const char* data, size_t size) const;

    static constexpr size_t npos = static_cast<size_t>(-1);

    /// The two positions of the text that pick the candidates.
    size_t RarePosition(int which) const { return which == 0 ? m_rare1 : m_rare2; }

private:
    bool equalAt(const unsigned char* p) const;
    /// The first hit among the start positions the vector loop covers, or
    /// npos; `next` is the first position it left unchecked.
    size_t findSse2(const unsigned char* p, size_t end, size_t& next) const;
    size_t findAvx2(const unsigned char* p, size_t end, size_t& next) const;

    std::string m_text;
    bool m_fold;
    size_t m_rare1 = 0;
    size_t m_rare2 = 0;
    unsigned char m_b1 = 0, m_b1Alt = 0; // the byte at m_rare1 in both cases
    unsigned char m_b2 = 0, m_b2Alt = 0;
    std::string m_carry;    // the stream's last bytes, up to the text's length - 1
    std::string m_junction; // the carry and the start of the next piece
    bool m_found = false;
};

/// Upper case of the ASCII letters a to z; every other byte unchanged.
inline char AsciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

} // namespace zentrix
