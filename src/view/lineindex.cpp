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

// What the builder reads at a time: small enough to stay in the core's own
// cache from the system's copy to the count. Blocks of 1 MiB made the index of
// a file in the page cache four times slower.
constexpr size_t kBlock = size_t{128} << 10;
constexpr size_t kScanBlock = 16384; // what a lookup reads at a time

} // namespace

LineIndex::LineIndex(LineFeedUnit unit) : m_unit(unit) {
    m_checkpoints.push_back({0, 0});
}

#if defined(__x86_64__)
// Byte lanes count matches (a compare gives -1 per hit, subtracted), and are
// summed into 64-bit lanes before any of them can overflow.
__attribute__((target("avx2"))) static int64_t countFeedsAvx2(const char* data, size_t count,
                                                              size_t& done) {
    const __m256i lf = _mm256_set1_epi8('\n');
    const __m256i zero = _mm256_setzero_si256();
    __m256i total = zero;
    size_t i = 0;
    while (i + 32 <= count) {
        __m256i lanes = zero;
        for (int k = 0; k < 255 && i + 32 <= count; ++k, i += 32) {
            const __m256i chunk = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + i));
            lanes = _mm256_sub_epi8(lanes, _mm256_cmpeq_epi8(chunk, lf));
        }
        total = _mm256_add_epi64(total, _mm256_sad_epu8(lanes, zero));
    }
    done = i;
    alignas(32) int64_t parts[4];
    _mm256_store_si256(reinterpret_cast<__m256i*>(parts), total);
    return parts[0] + parts[1] + parts[2] + parts[3];
}
#endif

int64_t LineIndex::CountLineFeeds(const char* data, size_t count) {
    int64_t lines = 0;
    size_t i = 0;
#if defined(__x86_64__)
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2)
        lines = countFeedsAvx2(data, count, i);
#endif
#if defined(__SSE2__)
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i zero = _mm_setzero_si128();
    while (i + 16 <= count) {
        __m128i lanes = zero;
        for (int k = 0; k < 255 && i + 16 <= count; ++k, i += 16) {
            const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
            lanes = _mm_sub_epi8(lanes, _mm_cmpeq_epi8(chunk, lf));
        }
        const __m128i sums = _mm_sad_epu8(lanes, zero);
        lines += _mm_cvtsi128_si64(sums) + _mm_cvtsi128_si64(_mm_unpackhi_epi64(sums, sums));
    }
#endif
    for (; i < count; ++i)
        lines += data[i] == '\n';
    return lines;
}

template <class F>
void LineIndex::scanUnits(const char* data, size_t count, int64_t base, F&& found) const {
    const char* p = data;
    const char* end = data + count;
    while (p < end) {
        const auto* q =
            static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
        if (!q)
            return;
        const int64_t pos = base + (q - data);
        switch (m_unit) {
        case LineFeedUnit::Byte:
            found(pos + 1);
            break;
        case LineFeedUnit::Utf16LE:
            // 0A 00 at an even offset.
            if (pos % 2 == 0 && q + 1 < end && q[1] == 0)
                found(pos + 2);
            break;
        case LineFeedUnit::Utf16BE:
            // 00 0A: the line feed byte at an odd offset.
            if (pos % 2 == 1 && q > data && q[-1] == 0)
                found(pos + 1);
            break;
        }
        p = q + 1;
    }
}

void LineIndex::Build(const ViewerFile& file, const std::atomic<bool>& cancel) {
    const int64_t size = file.Size();
    m_total.store(size, std::memory_order_release);
    auto buffer = std::make_unique<char[]>(kBlock);
    int64_t lines = m_lines.load();
    int64_t lastCheckpoint = 0;
    {
        std::lock_guard lock(m_mutex);
        lastCheckpoint = m_checkpoints.back().offset;
    }
    std::vector<Checkpoint> added;
    int64_t offset = m_scanned.load();
    while (offset < size && !cancel.load(std::memory_order_relaxed)) {
        // Blocks start at even offsets and have even sizes, so a UTF-16 unit
        // never straddles two of them.
        const size_t want = static_cast<size_t>(std::min<int64_t>(kBlock, size - offset));
        const size_t got = file.Read(offset, buffer.get(), want);
        if (got == 0)
            break; // truncated meanwhile: the index ends here
        const char* data = buffer.get();
        added.clear();
        if (m_unit == LineFeedUnit::Byte) {
            // Count in bulk up to the next checkpoint's earliest place, then
            // look for the line feed that starts it.
            size_t pos = 0;
            while (pos < got) {
                const int64_t target = lastCheckpoint + kStride; // a line starting here or later
                const int64_t countUntil = target - 1;           // feeds before it only count
                if (countUntil > offset + static_cast<int64_t>(pos)) {
                    const size_t span =
                        static_cast<size_t>(std::min<int64_t>(countUntil - offset, got) - pos);
                    lines += CountLineFeeds(data + pos, span);
                    pos += span;
                    continue;
                }
                const auto* q = static_cast<const char*>(std::memchr(data + pos, '\n', got - pos));
                if (!q) {
                    pos = got;
                    break;
                }
                ++lines;
                const int64_t start = offset + (q - data) + 1;
                added.push_back({start, lines - 1});
                lastCheckpoint = start;
                pos = static_cast<size_t>(q - data) + 1;
            }
        } else {
            scanUnits(data, got, offset, [&](int64_t start) {
                ++lines;
                if (start - lastCheckpoint >= kStride) {
                    added.push_back({start, lines - 1});
                    lastCheckpoint = start;
                }
            });
        }
        {
            std::lock_guard lock(m_mutex);
            m_checkpoints.insert(m_checkpoints.end(), added.begin(), added.end());
        }
        offset += static_cast<int64_t>(got);
        m_lines.store(lines, std::memory_order_release);
        m_scanned.store(offset, std::memory_order_release);
        if (got < want)
            break;
    }
    if (offset >= size || !cancel.load())
        m_complete.store(true, std::memory_order_release);
}

LineIndex::Checkpoint LineIndex::checkpointAtOrBefore(int64_t line, bool byOffset,
                                                      int64_t offset) const {
    std::lock_guard lock(m_mutex);
    auto it = byOffset
                  ? std::upper_bound(m_checkpoints.begin(), m_checkpoints.end(), offset,
                                     [](int64_t o, const Checkpoint& c) { return o < c.offset; })
                  : std::upper_bound(m_checkpoints.begin(), m_checkpoints.end(), line,
                                     [](int64_t l, const Checkpoint& c) { return l < c.line; });
    return *std::prev(it); // the first checkpoint is line 0 at offset 0
}

std::optional<int64_t> LineIndex::LineStart(const ViewerFile& file, int64_t line) const {
    // A line the builder has not reached yet is looked for a little way past
    // its last checkpoint: so the first screen shows before the index grows.
    const bool known = line < LineCount();
    if (line < 0 || (!known && Complete()))
        return std::nullopt;
    const Checkpoint cp = checkpointAtOrBefore(line, false, 0);
    int64_t current = cp.line;
    int64_t found = cp.offset;
    if (current == line)
        return found;
    char buffer[kScanBlock];
    int64_t offset = cp.offset;
    while (true) {
        if (!known && offset - cp.offset > (int64_t{1} << 20))
            return std::nullopt;
        const size_t got = file.Read(offset, buffer, sizeof buffer);
        if (got == 0) {
            if (!known)
                return std::nullopt;
            return offset; // the file shrank: the line is empty now
        }
        bool done = false;
        scanUnits(buffer, got, offset, [&](int64_t start) {
            if (done)
                return;
            if (++current == line) {
                found = start;
                done = true;
            }
        });
        if (done)
            return found;
        offset += static_cast<int64_t>(got);
    }
}

int64_t LineIndex::LineAt(const ViewerFile& file, int64_t offset) const {
    const Checkpoint cp = checkpointAtOrBefore(0, true, offset);
    int64_t line = cp.line;
    int64_t pos = cp.offset;
    char buffer[kScanBlock];
    while (pos <= offset) {
        const size_t got = file.Read(pos, buffer, sizeof buffer);
        if (got == 0)
            break;
        bool past = false;
        scanUnits(buffer, got, pos, [&](int64_t start) {
            if (past || start > offset) {
                past = true;
                return;
            }
            ++line;
        });
        if (past)
            break;
        pos += static_cast<int64_t>(got);
    }
    return std::min(line, LineCount() - 1);
}

size_t LineIndex::MemoryBytes() const {
    std::lock_guard lock(m_mutex);
    return m_checkpoints.capacity() * sizeof(Checkpoint);
}

} // namespace zentrix
