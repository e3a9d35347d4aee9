#include "search/contentmatcher.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zentrix {
namespace {

bool isLetter(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

unsigned char other(unsigned char c) {
    return isLetter(c) ? static_cast<unsigned char>(c ^ 0x20) : c;
}

} // namespace

ContentMatcher::ContentMatcher(std::string_view text, bool caseSensitive)
    : m_text(text), m_fold(!caseSensitive) {
    if (m_fold)
        for (char& c : m_text)
            c = AsciiUpper(c);
    m_carry.reserve(m_text.size());
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

size_t ContentMatcher::Find(const char* data, size_t n) const {
    const size_t m = m_text.size();
    if (m == 0)
        return 0;
    if (n < m)
        return npos;
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    const auto first = static_cast<unsigned char>(m_text[0]);
    const auto last = static_cast<unsigned char>(m_text[m - 1]);
    const unsigned char firstAlt = m_fold ? other(first) : first;
    const unsigned char lastAlt = m_fold ? other(last) : last;
    const size_t end = n - m; // the last start position
    size_t i = 0;

    if (!m_fold && m == 1) {
        const void* hit = std::memchr(p, first, n);
        return hit ? static_cast<size_t>(static_cast<const unsigned char*>(hit) - p) : npos;
    }

#if defined(__SSE2__)
    const __m128i f1 = _mm_set1_epi8(static_cast<char>(first));
    const __m128i f2 = _mm_set1_epi8(static_cast<char>(firstAlt));
    const __m128i l1 = _mm_set1_epi8(static_cast<char>(last));
    const __m128i l2 = _mm_set1_epi8(static_cast<char>(lastAlt));
    // Sixteen start positions at a time: a position is a candidate when the
    // first and the last byte of the text are where they belong.
    for (; i + 15 <= end; i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + m - 1));
        const __m128i ea = _mm_or_si128(_mm_cmpeq_epi8(a, f1), _mm_cmpeq_epi8(a, f2));
        const __m128i eb = _mm_or_si128(_mm_cmpeq_epi8(b, l1), _mm_cmpeq_epi8(b, l2));
        unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(ea, eb)));
        while (mask) {
            const unsigned bit = static_cast<unsigned>(__builtin_ctz(mask));
            if (equalAt(p + i + bit))
                return i + bit;
            mask &= mask - 1;
        }
    }
#endif
    for (; i <= end; ++i) {
        const unsigned char a = p[i];
        if ((a == first || a == firstAlt) && equalAt(p + i))
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
