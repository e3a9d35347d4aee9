#include "view/viewertextfinder.h"

#include "view/lineindex.h"
#include "view/viewerfile.h"

#include <algorithm>
#include <cstring>
#include <memory>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace zentrix {

namespace {

// The longest run of printable ASCII characters other than the blank: a blank
// on the screen may come from a tab, so it cannot be looked for on disk.
std::string_view anchorOf(std::string_view text) {
    std::string_view best;
    size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c <= ' ' || c >= 0x7F) {
            ++i;
            continue;
        }
        size_t j = i;
        while (j < text.size() && static_cast<unsigned char>(text[j]) > ' ' &&
               static_cast<unsigned char>(text[j]) < 0x7F)
            ++j;
        if (j - i > best.size())
            best = text.substr(i, j - i);
        i = j;
    }
    return best;
}

bool dropped(unsigned char c, int next) {
    if (c == '\r')
        return next != '\n';
    return (c < 0x20 && c != '\t' && c != '\n') || c == 0x7F;
}

#if defined(__x86_64__)
// 32 bytes at a time: bytes up to 0x1F other than tab and line feed, DEL, and a
// carriage return whose next byte is no line feed.
__attribute__((target("avx2"))) size_t droppedAvx2(const char* data, size_t size) {
    const __m256i top = _mm256_set1_epi8(0x1F);
    const __m256i tab = _mm256_set1_epi8('\t');
    const __m256i lf = _mm256_set1_epi8('\n');
    const __m256i cr = _mm256_set1_epi8('\r');
    const __m256i del = _mm256_set1_epi8(0x7F);
    size_t i = 0;
    for (; i + 33 <= size; i += 32) {
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + i));
        const __m256i next = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + i + 1));
        const __m256i low = _mm256_cmpeq_epi8(_mm256_min_epu8(b, top), b);
        const __m256i allowed = _mm256_or_si256(
            _mm256_or_si256(_mm256_cmpeq_epi8(b, tab), _mm256_cmpeq_epi8(b, lf)),
            _mm256_and_si256(_mm256_cmpeq_epi8(b, cr), _mm256_cmpeq_epi8(next, lf)));
        const __m256i bad =
            _mm256_or_si256(_mm256_andnot_si256(allowed, low), _mm256_cmpeq_epi8(b, del));
        if (const auto mask = static_cast<unsigned>(_mm256_movemask_epi8(bad)))
            return i + static_cast<size_t>(__builtin_ctz(mask));
    }
    return i; // the rest is looked at byte by byte
}
#endif

} // namespace

size_t ViewerTextFinder::FirstDroppedControl(const char* data, size_t size) {
    size_t i = 0;
#if defined(__x86_64__)
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2) {
        i = droppedAvx2(data, size);
        if (i + 33 <= size)
            return i;
    }
#endif
    for (; i < size; ++i) {
        const int next = i + 1 < size ? static_cast<unsigned char>(data[i + 1]) : -1;
        if (dropped(static_cast<unsigned char>(data[i]), next))
            return i;
    }
    return size;
}

ViewerTextFinder::ViewerTextFinder(const ViewerFile& file, TextEncoding encoding,
                                   std::string_view text, bool matchCase)
    : m_file(file), m_encoding(encoding), m_text(text), m_matchCase(matchCase),
      m_anchor(anchorOf(text), matchCase) {
    const bool bytes = encoding == TextEncoding::Utf8 || encoding == TextEncoding::Latin1;
    // An anchor longer than a block could lie across two of them.
    m_usable = bytes && !m_anchor.Text().empty() && m_anchor.Text().size() < kBlock / 4;
}

bool ViewerTextFinder::lineShowsText(int64_t lineStart) {
    m_line.resize(kLineReadLimit);
    m_line.resize(m_file.Read(lineStart, m_line.data(), m_line.size()));
    return LineContains(FormTextLine(m_line, m_encoding, lineStart == 0), m_text, m_matchCase);
}

std::optional<ViewerTextFinder::Hit>
ViewerTextFinder::Find(int64_t from, bool countFeeds,
                       const std::function<bool(int64_t)>& keepGoing) {
    if (!m_usable)
        return std::nullopt;
    const size_t m = m_anchor.Text().size();
    // A control character between two characters of the anchor is left out on
    // the screen and so joins them; a one-character anchor cannot be split.
    const bool watchControls = m > 1;
    // The next block repeats the last m - 1 bytes, so that an anchor across the
    // edge lies whole in it (and a carriage return at the edge meets its next byte).
    const size_t overlap = m - 1;
    const int64_t size = m_file.Size();
    auto buffer = std::make_unique<char[]>(kBlock);
    int64_t blockStart = from;
    int64_t lineStartAtBlock = from; // the line holding the block's first byte
    int64_t feedsAtBlock = 0;        // line feeds from `from` to the block's start
    int64_t judgedLine = -1;         // the start of the line formed and compared last
    while (blockStart < size) {
        if (keepGoing && !keepGoing(blockStart))
            return std::nullopt;
        const size_t want = static_cast<size_t>(std::min<int64_t>(kBlock, size - blockStart));
        const size_t n = m_file.Read(blockStart, buffer.get(), want);
        if (n == 0)
            break; // truncated meanwhile
        const char* data = buffer.get();
        const bool last = n < want || blockStart + static_cast<int64_t>(n) >= size;
        auto lineStartOf = [&](size_t i) {
            const void* lf = i ? ::memrchr(data, '\n', i) : nullptr;
            return lf ? blockStart + (static_cast<const char*>(lf) - data) + 1 : lineStartAtBlock;
        };
        size_t pos = 0;
        while (pos < n) {
            size_t hit = m_anchor.Find(data + pos, n - pos);
            hit = hit == ContentMatcher::npos ? n : pos + hit;
            if (watchControls) {
                // Up to the hit and its byte, so that a carriage return just
                // before it sees what follows.
                const size_t odd =
                    pos + FirstDroppedControl(data + pos, std::min(hit + 1, n) - pos);
                const bool edgeReturn = odd + 1 == n && !last && data[odd] == '\r';
                if (odd < hit && !edgeReturn)
                    hit = odd;
            }
            if (hit >= n)
                break;
            const int64_t lineStart = lineStartOf(hit);
            if (lineStart != judgedLine) {
                judgedLine = lineStart;
                if (lineShowsText(lineStart)) {
                    Hit found{lineStart, -1};
                    if (countFeeds)
                        found.feeds =
                            feedsAtBlock +
                            LineIndex::CountLineFeeds(data, static_cast<size_t>(std::max<int64_t>(
                                                                0, lineStart - blockStart)));
                    return found;
                }
            }
            // The line is judged: on after its line feed.
            const void* lf = std::memchr(data + hit, '\n', n - hit);
            if (!lf)
                break;
            pos = static_cast<size_t>(static_cast<const char*>(lf) - data) + 1;
        }
        if (last)
            break;
        const size_t advance = n - overlap; // n is a whole block, far longer than the anchor
        lineStartAtBlock = lineStartOf(advance);
        if (countFeeds)
            feedsAtBlock += LineIndex::CountLineFeeds(data, advance);
        blockStart += static_cast<int64_t>(advance);
    }
    return std::nullopt;
}

} // namespace zentrix
