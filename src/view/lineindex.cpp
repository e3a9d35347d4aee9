#include "view/lineindex.h"

#include "view/viewerfile.h"

#include <algorithm>
#include <cstring>
#include <memory>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zentrix {

namespace {

constexpr size_t kBlock = size_t{1} << 20; // what the builder reads at a time
constexpr size_t kScanBlock = 16384;       // what a lookup reads at a time

} // namespace

LineIndex::LineIndex(LineFeedUnit unit) : m_unit(unit) {
    m_checkpoints.push_back({0, 0});
}

int64_t LineIndex::CountLineFeeds(const char* data, size_t count) {
    int64_t lines = 0;
    size_t i = 0;
#if defined(__SSE2__)
    const __m128i lf = _mm_set1_epi8('\n');
    for (; i + 16 <= count; i += 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
        lines +=
            __builtin_popcount(static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, lf))));
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
    if (line < 0 || line >= LineCount())
        return std::nullopt;
    const Checkpoint cp = checkpointAtOrBefore(line, false, 0);
    int64_t current = cp.line;
    int64_t found = cp.offset;
    if (current == line)
        return found;
    char buffer[kScanBlock];
    int64_t offset = cp.offset;
    while (true) {
        const size_t got = file.Read(offset, buffer, sizeof buffer);
        if (got == 0)
            return offset; // the file shrank: the line is empty now
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
