// File specifications as the user types them, against names as the disk gives
// them (any bytes). The filter, with its fast path for words like "*.TXT",
// decides as the rule does when written out over whole characters.
#include "core/text.h"
#include "filewindow/filespec.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

using namespace zentrix;

namespace {

void check(bool ok) {
    if (!ok)
        std::abort();
}

// The text cut into characters: valid UTF-8 sequences whole (decoded and
// checked for overlong forms, surrogates and the upper limit), any other byte
// alone.
std::vector<std::string> characters(const std::string& s) {
    std::vector<std::string> out;
    for (size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        size_t n = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
        uint32_t cp = n == 4 ? b & 0x07 : n == 3 ? b & 0x0F : n == 2 ? b & 0x1F : b;
        bool valid = n > 1 && i + n <= s.size();
        for (size_t k = 1; valid && k < n; ++k) {
            const auto c = static_cast<unsigned char>(s[i + k]);
            valid = (c & 0xC0) == 0x80;
            cp = cp << 6 | (c & 0x3F);
        }
        const uint32_t least = n == 2 ? 0x80 : n == 3 ? 0x800 : 0x10000;
        valid = valid && cp >= least && cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF);
        if (!valid)
            n = 1;
        out.push_back(s.substr(i, n));
        i += n;
    }
    return out;
}

// The rule, as it reads: "*" any run of characters, "?" one character,
// anything else itself; a used-up name matches only a used-up word or a word
// that is a lone "*". Worked out for every pair of rests, from the ends, a row
// of the name at a time (a run of "*" is one "*").
bool matches(const std::vector<std::string>& rawWord, const std::vector<std::string>& name) {
    std::vector<std::string> word;
    for (const std::string& c : rawWord)
        if (c != "*" || word.empty() || word.back() != "*")
            word.push_back(c);
    const size_t W = word.size(), N = name.size();
    // next[n]: the rest of the word from w + 1 against the name from n.
    std::vector<char> next(N + 1, 0), row(N + 1, 0);
    for (size_t w = W + 1; w-- > 0;) {
        for (size_t n = N + 1; n-- > 0;) {
            if (w + 1 == W && word[w] == "*")
                row[n] = 1;
            else if (n == N)
                row[n] = w == W;
            else if (w == W)
                row[n] = 0;
            else if (word[w] == "*")
                row[n] = next[n] || row[n + 1];
            else
                row[n] = (word[w] == "?" || word[w] == name[n]) && next[n + 1];
        }
        std::swap(next, row);
    }
    return next[0] != 0;
}

bool ruleMatches(const std::string& spec, const std::string& fileName) {
    if (spec == "*.*")
        return true;
    std::string name = UpperCase(fileName);
    const size_t cut = name.find_last_of(".\\:");
    if (cut == std::string::npos || name[cut] != '.')
        name += '.';
    const auto nameChars = characters(name);
    const std::string upper = UpperCase(spec);
    size_t pos = 0;
    while (pos <= upper.size()) {
        const size_t end = std::min(upper.find(' ', pos), upper.size());
        const std::string word = Trim(std::string_view(upper).substr(pos, end - pos));
        if (!word.empty() && matches(characters(word), nameChars))
            return true;
        pos = end + 1;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const size_t cut = 1 + data[0] * (size - 1) / 256;
    const std::string spec(reinterpret_cast<const char*>(data) + 1, cut - 1);
    const std::string name(reinterpret_cast<const char*>(data) + cut, size - cut);
    const bool expected = ruleMatches(spec, name);
    check(MatchesFileSpec(spec, name) == expected);
    check(FileSpecFilter(spec, true).Passes(name) == !expected);
    return 0;
}
