#include "core/contentmatcher.h"

#include <algorithm>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define ZENTRIX_X86 1
#endif

namespace zentrix {
namespace {

bool isLetter(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

unsigned char other(unsigned char c) {
    return isLetter(c) ? static_cast<unsigned char>(c ^ 0x20) : c;
}

/// How common a byte is in the files people search: text first, then source
/// code and binaries. Only the order matters; the rarest bytes of a text make
/// the fewest false candidates.
int commonness(unsigned char c) {
    static const char* const kByFrequency = " etaoinsrhldcumfpgwybv,.k\n0-1x2_=/\"();:'39TSAEIRNOC";
    if (const char* at = std::strchr(kByFrequency, c); at && c != 0)
        return 400 - static_cast<int>(at - kByFrequency);
    if (c == 0)
        return 390; // padding in binaries
    if (c >= '0' && c <= '9')
        return 300;
    if (isLetter(c))
        return c >= 'a' ? 280 : 250; // the rare letters: j, q, z, upper case
    if (c == '\t' || c == '\r')
        return 290;
    if (c < 32 || c == 127)
        return 100;
    if (c >= 0x80)
        return 200;
    return 240; // other signs
}

bool haveAvx2() {
#if defined(ZENTRIX_X86)
    static const bool avx2 = __builtin_cpu_supports("avx2");
    return avx2;
#else
    return false;
#endif
}

} // namespace

ContentMatcher::ContentMatcher(std::string_view text, bool caseSensitive)
    : m_text(text), m_fold(!caseSensitive) {
    if (m_fold)
        for (char& c : m_text)
            c = AsciiUpper(c);
    m_carry.reserve(m_text.size());
    const size_t m = m_text.size();
    if (m == 0)
        return;
    auto score = [&](size_t i) {
        const auto c = static_cast<unsigned char>(m_text[i]);
        return m_fold && isLetter(c) ? std::max(commonness(c), commonness(other(c))) + 1
                                     : commonness(c);
    };
    for (size_t i = 1; i < m; ++i)
        if (score(i) < score(m_rare1))
            m_rare1 = i;
    // The second position holds another byte where the text has one.
    m_rare2 = m_rare1 == 0 ? m - 1 : 0;
    for (size_t i = 0; i < m; ++i) {
        if (i == m_rare1)
            continue;
        const bool differs = m_text[i] != m_text[m_rare1];
        const bool bestDiffers = m_text[m_rare2] != m_text[m_rare1];
        if ((differs && !bestDiffers) || (differs == bestDiffers && score(i) < score(m_rare2)))
            m_rare2 = i;
    }
    m_b1 = static_cast<unsigned char>(m_text[m_rare1]);
    m_b2 = static_cast<unsigned char>(m_text[m_rare2]);
    m_b1Alt = m_fold ? other(m_b1) : m_b1;
    m_b2Alt = m_fold ? other(m_b2) : m_b2;
}

void ContentMatcher::Reset() {
    m_carry.clear();
    m_found = false;
}

bool ContentMatcher::equalAt(const unsigned char* p) const {
    const size_t m = m_text.size();
    const auto* t = reinterpret_cast<const unsigned char*>(m_text.data());
    if (!m_fold)
        return std::memcmp(p, t, m) == 0;
    for (size_t k = 0; k < m; ++k) {
        const unsigned char c = p[k];
        if ((c >= 'a' && c <= 'z' ? c - 32 : c) != t[k])
            return false;
    }
    return true;
}

#if defined(ZENTRIX_X86)

// Sixteen start positions at a time: a position is a candidate when both
// chosen bytes of the text are where they belong.
size_t ContentMatcher::findSse2(const unsigned char* p, size_t end, size_t& next) const {
    const __m128i a1 = _mm_set1_epi8(static_cast<char>(m_b1));
    const __m128i a2 = _mm_set1_epi8(static_cast<char>(m_b1Alt));
    const __m128i c1 = _mm_set1_epi8(static_cast<char>(m_b2));
    const __m128i c2 = _mm_set1_epi8(static_cast<char>(m_b2Alt));
    size_t i = 0;
    for (; i + 15 <= end; i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + m_rare1));
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + m_rare2));
        const __m128i ea = _mm_or_si128(_mm_cmpeq_epi8(a, a1), _mm_cmpeq_epi8(a, a2));
        const __m128i ec = _mm_or_si128(_mm_cmpeq_epi8(c, c1), _mm_cmpeq_epi8(c, c2));
        auto mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(ea, ec)));
        while (mask) {
            const auto bit = static_cast<unsigned>(__builtin_ctz(mask));
            if (equalAt(p + i + bit))
                return i + bit;
            mask &= mask - 1;
        }
    }
    next = i;
    return npos;
}

__attribute__((target("avx2"))) size_t ContentMatcher::findAvx2(const unsigned char* p, size_t end,
                                                                size_t& next) const {
    const __m256i a1 = _mm256_set1_epi8(static_cast<char>(m_b1));
    const __m256i a2 = _mm256_set1_epi8(static_cast<char>(m_b1Alt));
    const __m256i c1 = _mm256_set1_epi8(static_cast<char>(m_b2));
    const __m256i c2 = _mm256_set1_epi8(static_cast<char>(m_b2Alt));
    size_t i = 0;
    for (; i + 31 <= end; i += 32) {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i + m_rare1));
        const __m256i c = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i + m_rare2));
        const __m256i ea = _mm256_or_si256(_mm256_cmpeq_epi8(a, a1), _mm256_cmpeq_epi8(a, a2));
        const __m256i ec = _mm256_or_si256(_mm256_cmpeq_epi8(c, c1), _mm256_cmpeq_epi8(c, c2));
        auto mask = static_cast<unsigned>(_mm256_movemask_epi8(_mm256_and_si256(ea, ec)));
        while (mask) {
            const auto bit = static_cast<unsigned>(__builtin_ctz(mask));
            if (equalAt(p + i + bit))
                return i + bit;
            mask &= mask - 1;
        }
    }
    next = i;
    return npos;
}

#else

size_t ContentMatcher::findSse2(const unsigned char*, size_t, size_t& next) const {
    next = 0;
    return npos;
}
size_t ContentMatcher::findAvx2(const unsigned char*, size_t, size_t& next) const {
    next = 0;
    return npos;
}

#endif

size_t ContentMatcher::Find(const char* data, size_t n) const {
    const size_t m = m_text.size();
    if (m == 0)
        return 0;
    if (n < m)
        return npos;
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    if (m == 1 && m_b1 == m_b1Alt) {
        const void* hit = std::memchr(p, m_b1, n);
        return hit ? static_cast<size_t>(static_cast<const unsigned char*>(hit) - p) : npos;
    }
    const size_t end = n - m; // the last start position
    // The vector loop leaves the last few positions to the byte loop.
    size_t i = 0;
    const size_t hit = haveAvx2() ? findAvx2(p, end, i) : findSse2(p, end, i);
    if (hit != npos)
        return hit;
    for (; i <= end; ++i) {
        const unsigned char a = p[i + m_rare1];
        if ((a == m_b1 || a == m_b1Alt) && equalAt(p + i))
            return i;
    }
    return npos;
}

bool ContentMatcher::Feed(const char* data, size_t size) {
    if (m_found || size == 0)
        return m_found;
    const size_t m = m_text.size();
    if (m == 0)
        return m_found = true;
    const size_t keep = m - 1;
    // A text that begins in the earlier pieces ends within the first m - 1
    // bytes of this one: look at the carry joined with them first.
    if (!m_carry.empty()) {
        m_junction.assign(m_carry);
        m_junction.append(data, size < keep ? size : keep);
        if (Find(m_junction.data(), m_junction.size()) != npos)
            return m_found = true;
    }
    if (Find(data, size) != npos)
        return m_found = true;
    // The stream's last m - 1 bytes go on to the next piece.
    if (keep == 0)
        return false;
    if (size >= keep) {
        m_carry.assign(data + size - keep, keep);
    } else {
        m_carry.append(data, size);
        if (m_carry.size() > keep)
            m_carry.erase(0, m_carry.size() - keep);
    }
    return false;
}

} // namespace zentrix
