// File contents searched for a text: the streamed search must find exactly
// what a plain search of the whole contents finds, wherever the reads cut the
// stream, with and without case.
//
// Input: a flags byte (bit 0: case sensitive; the rest pick the piece sizes),
// the text's length (mod 40), the text, then the contents.
#include "core/contentmatcher.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

std::string folded(std::string_view s, bool caseSensitive) {
    std::string out(s);
    if (!caseSensitive)
        for (char& c : out)
            c = zentrix::AsciiUpper(c);
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2)
        return 0;
    const uint8_t flags = data[0];
    const size_t textLength = std::min<size_t>(data[1] % 40, size - 2);
    const std::string_view text(reinterpret_cast<const char*>(data) + 2, textLength);
    const std::string_view contents(reinterpret_cast<const char*>(data) + 2 + textLength,
                                    size - 2 - textLength);
    const bool caseSensitive = flags & 1;

    const bool expected =
        folded(contents, caseSensitive).find(folded(text, caseSensitive)) != std::string::npos;
    zentrix::ContentMatcher matcher(text, caseSensitive);
    // One block.
    const size_t at = matcher.Find(contents.data(), contents.size());
    if ((at != zentrix::ContentMatcher::npos) != expected)
        std::abort();
    if (at != zentrix::ContentMatcher::npos &&
        folded(contents.substr(at, text.size()), caseSensitive) != folded(text, caseSensitive))
        std::abort();
    // Pieces of 1 to 64 bytes, as reads may cut them.
    size_t piece = 1 + (flags >> 1) % 64;
    size_t pos = 0;
    while (pos < contents.size()) {
        const size_t n = std::min(piece, contents.size() - pos);
        matcher.Feed(contents.data() + pos, n);
        pos += n;
        piece = 1 + (piece * 7 + 3) % 64;
    }
    if (!contents.empty() && matcher.Found() != expected)
        std::abort();
    return 0;
}
