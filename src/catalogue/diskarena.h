#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zentrix {

/// The memory of one logged disk's tree nodes, child arrays and directory
/// records. Blocks are cut from large chunks without a header each, so a
/// directory costs its bytes and nothing beside them. A freed block goes on a
/// free list of its size and is handed out again for a block of that size (or
/// split for a smaller one), so a branch that is unlogged and logged again
/// reuses its own memory. Blocks larger than a few KiB come from the system
/// heap directly.
///
/// Lifetime: the disk's root node owns the arena, but blocks may outlive the
/// root (a record still held elsewhere when the node goes). The root calls
/// Retire() instead of deleting it; the arena then goes with its last block.
/// Main thread only, like the rest of the catalogue.
class DiskArena {
public:
    DiskArena();
    ~DiskArena();
    DiskArena(const DiskArena&) = delete;
    DiskArena& operator=(const DiskArena&) = delete;

    /// A block of at least `bytes`, aligned for any pointer. Throws
    /// std::bad_alloc when the system has no memory left.
    void* Allocate(size_t bytes);
    /// Returns a block of this arena; `bytes` is the size it was asked for.
    /// A retired arena whose last block this was is deleted.
    void Free(void* block, size_t bytes);

    /// The owner is gone: the arena deletes itself now if no block lives,
    /// otherwise when the last one is freed.
    void Retire();

    /// Bytes taken from the system (chunks and large blocks).
    size_t ReservedBytes() const { return m_reserved; }
    /// Bytes of the blocks that are handed out.
    size_t LiveBytes() const { return m_live; }

    /// Blocks of more than this many bytes come from the system heap.
    static constexpr size_t kLargeBlock = 4096;

private:
    struct FreeBlock {
        FreeBlock* next;
    };
    static constexpr size_t kAlign = alignof(void*);
    // A little under 256 KiB, so that the system heap maps each chunk in 64
    // pages and not 65.
    static constexpr size_t kChunk = 256 * 1024 - 64;
    static constexpr size_t kClasses = kLargeBlock / kAlign + 1;

    static size_t roundUp(size_t bytes) { return (bytes + kAlign - 1) & ~(kAlign - 1); }
    void* fromLargerBlock(size_t rounded);
    void pushFree(void* block, size_t rounded);
    void releaseChunks();

    FreeBlock* m_free[kClasses] = {}; // by size in units of kAlign
    std::vector<char*> m_chunks;
    char* m_cursor = nullptr;
    char* m_end = nullptr;
    size_t m_reserved = 0;
    size_t m_live = 0;
    size_t m_blocks = 0;
    bool m_retired = false;
};

} // namespace zentrix
