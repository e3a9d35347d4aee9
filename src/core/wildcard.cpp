#include "core/wildcard.h"

namespace zentrix {
namespace {

// Bytes of the character that starts at `i`: a whole UTF-8 sequence, or one
// byte where the text is not valid UTF-8 there (a stray, overlong or
// surrogate sequence, or one beyond U+10FFFF).
size_t characterLength(std::string_view s, size_t i) {
    const auto b = static_cast<unsigned char>(s[i]);
    const size_t length = b < 0xC2 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : b < 0xF5 ? 4 : 1;
    if (length == 1 || i + length > s.size())
        return 1;
    const auto second = static_cast<unsigned char>(s[i + 1]);
    const unsigned char low = b == 0xE0 ? 0xA0 : b == 0xF0 ? 0x90 : 0x80;
    const unsigned char high = b == 0xED ? 0x9F : b == 0xF4 ? 0x8F : 0xBF;
    if (second < low || second > high)
        return 1;
    for (size_t k = 2; k < length; ++k)
        if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
            return 1;
    return length;
}

} // namespace

bool WildcardMatch(std::string_view word, std::string_view name) {
    // Iterative form of the recursive rule, with one backtrack point: a later
    // "*" supersedes an earlier one, so this stays linear in practice. Every
    // step, "?", a retried "*" or a plain character, takes a whole character
    // of the name, so that none ends inside one.
    size_t w = 0, n = 0;
    size_t starW = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (w < word.size() && word[w] == '*') {
            starW = w++;
            starN = n;
            continue;
        }
        if (w < word.size()) {
            const size_t length = characterLength(name, n);
            if (word[w] == '?') {
                ++w;
                n += length;
                continue;
            }
            if (characterLength(word, w) == length &&
                word.substr(w, length) == name.substr(n, length)) {
                w += length;
                n += length;
                continue;
            }
        }
        if (starW == std::string_view::npos)
            return false;
        w = starW + 1;
        starN += characterLength(name, starN);
        n = starN;
    }
    // A used-up name matches only a used-up word or a word that is exactly "*"
    // ("A**" does not match "A"). Leftmost matching reaches the end of the name
    // at the earliest word position, so no other way through ends better.
    const std::string_view rest = word.substr(w);
    return rest.empty() || rest == "*";
}

} // namespace zentrix
