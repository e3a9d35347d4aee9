#include "catalogue/diskarena.h"

#include <cstdlib>
#include <new>

namespace zentrix {

DiskArena::DiskArena() = default;

DiskArena::~DiskArena() {
    releaseChunks();
}

void DiskArena::releaseChunks() {
    for (char* chunk : m_chunks)
        std::free(chunk);
    m_reserved -= m_chunks.size() * kChunk;
    m_chunks.clear();
    m_cursor = m_end = nullptr;
    for (FreeBlock*& head : m_free)
        head = nullptr;
}

void DiskArena::pushFree(void* block, size_t rounded) {
    auto* b = static_cast<FreeBlock*>(block);
    b->next = m_free[rounded / kAlign];
    m_free[rounded / kAlign] = b;
}

// A free block of a larger size, split: the rest goes on the list of its own
// size. Tried before a new chunk is taken, so that blocks freed by one size do
// not lie idle while the arena grows for another.
void* DiskArena::fromLargerBlock(size_t rounded) {
    for (size_t cls = rounded / kAlign + 1; cls < kClasses; ++cls) {
        FreeBlock* b = m_free[cls];
        if (!b)
            continue;
        m_free[cls] = b->next;
        const size_t rest = cls * kAlign - rounded;
        if (rest > 0)
            pushFree(reinterpret_cast<char*>(b) + rounded, rest);
        return b;
    }
    return nullptr;
}

void* DiskArena::Allocate(size_t bytes) {
    const size_t rounded = roundUp(bytes < kAlign ? kAlign : bytes);
    void* block;
    if (rounded > kLargeBlock) {
        block = std::malloc(rounded);
        if (!block)
            throw std::bad_alloc();
        m_reserved += rounded;
    } else if (FreeBlock* b = m_free[rounded / kAlign]) {
        m_free[rounded / kAlign] = b->next;
        block = b;
    } else if (static_cast<size_t>(m_end - m_cursor) >= rounded) {
        block = m_cursor;
        m_cursor += rounded;
    } else if (void* reused = fromLargerBlock(rounded)) {
        block = reused;
    } else {
        char* chunk = static_cast<char*>(std::malloc(kChunk));
        if (!chunk)
            throw std::bad_alloc();
        m_chunks.push_back(chunk);
        m_reserved += kChunk;
        // The tail of the old chunk stays usable for smaller blocks.
        if (m_end != m_cursor)
            pushFree(m_cursor, static_cast<size_t>(m_end - m_cursor));
        m_cursor = chunk + rounded;
        m_end = chunk + kChunk;
        block = chunk;
    }
    m_live += rounded;
    ++m_blocks;
    return block;
}

void DiskArena::Free(void* block, size_t bytes) {
    if (!block)
        return;
    const size_t rounded = roundUp(bytes < kAlign ? kAlign : bytes);
    if (rounded > kLargeBlock) {
        std::free(block);
        m_reserved -= rounded;
    } else {
        pushFree(block, rounded);
    }
    m_live -= rounded;
    if (--m_blocks > 0)
        return;
    // Nothing of the disk is left here: the chunks go back to the system.
    if (m_retired)
        delete this;
    else
        releaseChunks();
}

void DiskArena::Retire() {
    m_retired = true;
    if (m_blocks == 0)
        delete this;
}

} // namespace zentrix
