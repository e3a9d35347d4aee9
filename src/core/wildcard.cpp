#include "core/wildcard.h"

namespace zentrix {

bool WildcardMatch(std::string_view word, std::string_view name) {
    // Iterative form of the recursive rule, with one backtrack point: a later
    // "*" supersedes an earlier one, so this stays linear in practice.
    size_t w = 0, n = 0;
    size_t starW = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (w < word.size() && word[w] == '*') {
            starW = w++;
            starN = n;
        } else if (w < word.size() && (word[w] == '?' || word[w] == name[n])) {
            ++w;
            ++n;
        } else if (starW != std::string_view::npos) {
            w = starW + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    // A used-up name matches only a used-up word or a word that is exactly "*"
    // ("A**" does not match "A"). Leftmost matching reaches the end of the name
    // at the earliest word position, so no other way through ends better.
    const std::string_view rest = word.substr(w);
    return rest.empty() || rest == "*";
}

} // namespace zentrix
