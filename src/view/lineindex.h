#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

namespace zentrix {

class ViewerFile;

/// How a line feed is written in the file: one byte, or a UTF-16 code unit.
enum class LineFeedUnit { Byte, Utf16LE, Utf16BE };

/// The text-mode line index of a file: line 0 starts at offset 0, every line
/// feed starts another line (so a final line feed is followed by an empty last
/// line, and an empty file has one empty line).
///
/// Only every few kilobytes a line's start is kept (a checkpoint: offset and
/// line number); a line between two checkpoints is found by reading forward
/// from the one before it, never more than `kStride` bytes. So the index costs
/// at most 16 bytes per 4 KiB of file (0.4%), whatever the lines look like.
///
/// One thread builds (Build), others may ask meanwhile: what was indexed so far
/// answers at once, which is how the first screen shows before the end of a
/// large file has been read.
class LineIndex {
public:
    static constexpr int64_t kStride = 4096;

    explicit LineIndex(LineFeedUnit unit = LineFeedUnit::Byte);

    /// Reads the whole file and records its lines. Stops early (incomplete) when
    /// `cancel` becomes true. The file may shrink meanwhile: the index then ends
    /// where the data ended.
    void Build(const ViewerFile& file, const std::atomic<bool>& cancel);

    /// Lines known so far; all of them once Complete().
    int64_t LineCount() const { return m_lines.load(std::memory_order_acquire); }
    bool Complete() const { return m_complete.load(std::memory_order_acquire); }
    /// Bytes read by the builder so far, and the size it set out to read.
    int64_t BytesScanned() const { return m_scanned.load(std::memory_order_acquire); }
    int64_t TotalBytes() const { return m_total.load(std::memory_order_acquire); }

    /// The offset at which a line starts; none for a line not (yet) known
    /// (a line the builder has not reached is still found when it starts
    /// within a megabyte of what was indexed).
    std::optional<int64_t> LineStart(const ViewerFile& file, int64_t line) const;
    /// The line holding the byte at `offset` (among the lines known so far).
    int64_t LineAt(const ViewerFile& file, int64_t offset) const;

    /// Bytes the index itself takes.
    size_t MemoryBytes() const;

    /// Line feeds in `count` bytes (the builder's inner loop; public for tests).
    static int64_t CountLineFeeds(const char* data, size_t count);

private:
    struct Checkpoint {
        int64_t offset;
        int64_t line;
    };
    Checkpoint checkpointAtOrBefore(int64_t line, bool byOffset, int64_t offset) const;
    /// Finds line feeds in [data, data + count) that start lines; calls
    /// `found(start offset)` for each, `base` being the offset of data[0].
    template <class F>
    void scanUnits(const char* data, size_t count, int64_t base, F&& found) const;

    LineFeedUnit m_unit;
    mutable std::mutex m_mutex;
    std::vector<Checkpoint> m_checkpoints; // guarded by m_mutex
    std::atomic<int64_t> m_lines{1};
    std::atomic<int64_t> m_scanned{0};
    std::atomic<int64_t> m_total{0};
    std::atomic<bool> m_complete{false};
};

} // namespace zentrix
