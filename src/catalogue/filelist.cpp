#include "catalogue/filelist.h"

#include "catalogue/icon.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace zentrix {

struct TFileList::Block {
    Block* next;
    uint32_t used;
    uint32_t capacity;
    char* data() { return reinterpret_cast<char*>(this + 1); }
    const char* data() const { return reinterpret_cast<const char*>(this + 1); }
};

namespace {

constexpr size_t kGrowBlock = 2048;

} // namespace

// Records are packed one after another; the size of one follows from the
// number of name bytes it holds in place.
size_t TFileList::recordSize(const TFileClass* r) { return sizeof(TFileClass) + r->m_nameLen; }
bool TFileList::isRemoved(const TFileClass* r) { return r->m_flags & TFileClass::kRemoved; }

void TFileList::const_iterator::settle() {
    while (m_block) {
        const char* end = m_block->data() + m_block->used;
        if (m_pos < end) {
            const auto* r = reinterpret_cast<const TFileClass*>(m_pos);
            if (!isRemoved(r))
                return;
            m_pos += recordSize(r);
            continue;
        }
        m_block = m_block->next;
        m_pos = m_block ? const_cast<char*>(m_block->data()) : nullptr;
    }
    m_pos = nullptr;
}

TFileList::const_iterator& TFileList::const_iterator::operator++() {
    m_pos += recordSize(reinterpret_cast<const TFileClass*>(m_pos));
    settle();
    return *this;
}

TFileList::TFileList() = default;

TFileList::~TFileList() {
    Block* b = m_first;
    while (b) {
        Block* next = b->next;
        std::free(b);
        b = next;
    }
}

TFileList::const_iterator TFileList::begin() const {
    return m_first ? const_iterator(m_first, m_first->data()) : const_iterator();
}

TFileClass* TFileList::First() const { return m_count ? *begin() : nullptr; }

char* TFileList::allocate(size_t bytes) {
    if (!m_last || m_last->capacity - m_last->used < bytes) {
        const size_t capacity = std::max(bytes, kGrowBlock);
        auto* b = static_cast<Block*>(std::malloc(sizeof(Block) + capacity));
        if (!b)
            throw std::bad_alloc();
        b->next = nullptr;
        b->used = 0;
        b->capacity = static_cast<uint32_t>(capacity);
        if (m_last)
            m_last->next = b;
        else
            m_first = b;
        m_last = b;
    }
    char* p = m_last->data() + m_last->used;
    m_last->used += static_cast<uint32_t>(bytes);
    return p;
}

void TFileList::Reserve(size_t count, size_t nameBytes) {
    const size_t bytes = count * sizeof(TFileClass) + nameBytes;
    if (bytes == 0 || (m_last && m_last->capacity - m_last->used >= bytes))
        return;
    auto* b = static_cast<Block*>(std::malloc(sizeof(Block) + bytes));
    if (!b)
        throw std::bad_alloc();
    b->next = nullptr;
    b->used = 0;
    b->capacity = static_cast<uint32_t>(bytes);
    if (m_last)
        m_last->next = b;
    else
        m_first = b;
    m_last = b;
}

TFileClass* TFileList::Add(std::string_view name, int64_t size, uint16_t attributes,
                           int64_t lastWriteTime, TTreeNode* dirNode) {
    // Names longer than the length field (escaped names can grow) live aside.
    const bool fits = name.size() <= 0xFFFF;
    char* mem = allocate(sizeof(TFileClass) + (fits ? name.size() : 0));
    auto* r = new (mem) TFileClass();
    r->m_dirNode = dirNode;
    if (!r->setSizeInPlace(size)) {
        side(r).size = size;
        r->m_sizeLow = 0xFFFFFFFFu;
        r->m_sizeHigh = 0xFFFF;
        r->m_flags |= TFileClass::kSizeElsewhere;
    }
    r->m_attributes = attributes;
    r->m_lastWriteTime = lastWriteTime;
    if (fits) {
        r->m_nameLen = static_cast<uint16_t>(name.size());
        std::memcpy(r->inlineName(), name.data(), name.size());
    } else {
        side(r).name.assign(name);
        r->m_flags |= TFileClass::kNameElsewhere;
    }
    ++m_count;
    return r;
}

TFileClass* TFileList::AdoptCopy(TFileList& from, TFileClass* record) {
    TFileClass* copy = Add(record->FileName(), record->FileSize(), record->m_attributes,
                           record->m_lastWriteTime, record->m_dirNode);
    copy->m_tagged = record->m_tagged;
    copy->m_descIndex = record->m_descIndex;
    if (from.m_side) {
        auto it = from.m_side->find(record);
        if (it != from.m_side->end()) {
            if (record->m_flags & TFileClass::kHasDescText) {
                side(copy).descText = std::move(it->second.descText);
                copy->m_flags |= TFileClass::kHasDescText;
            }
            if (record->m_flags & TFileClass::kHasIcon) {
                side(copy).icon = std::move(it->second.icon);
                copy->m_flags |= TFileClass::kHasIcon;
            }
        }
    }
    return copy;
}

bool TFileList::owns(const TFileClass* record) const {
    const char* p = reinterpret_cast<const char*>(record);
    for (const Block* b = m_first; b; b = b->next)
        if (p >= b->data() && p < b->data() + b->used)
            return true;
    return false;
}

bool TFileList::Remove(TFileClass* record) {
    if (!record || isRemoved(record) || !owns(record))
        return false;
    if (m_side && (record->m_flags & (TFileClass::kHasDescText | TFileClass::kHasIcon))) {
        // The name kept aside stays: the record's size in the block depends on it.
        auto it = m_side->find(record);
        if (it != m_side->end()) {
            it->second.descText.clear();
            it->second.icon.reset();
        }
    }
    record->m_flags &= ~(TFileClass::kHasDescText | TFileClass::kHasIcon);
    record->m_flags |= TFileClass::kRemoved;
    --m_count;
    return true;
}

int TFileList::IndexOf(const TFileClass* record) const {
    int i = 0;
    for (const TFileClass* r : *this) {
        if (r == record)
            return i;
        ++i;
    }
    return -1;
}

void TFileList::Rename(TFileClass* record, std::string_view newName) {
    if (!(record->m_flags & TFileClass::kNameElsewhere) && newName.size() == record->m_nameLen) {
        std::memcpy(record->inlineName(), newName.data(), newName.size());
        return;
    }
    // The record keeps its size in the block (the walk depends on it): a name of
    // another length goes aside and the bytes in place become padding.
    side(record).name.assign(newName);
    record->m_flags |= TFileClass::kNameElsewhere;
}

TFileList::SideData& TFileList::side(const TFileClass* record) {
    if (!m_side)
        m_side = std::make_unique<std::unordered_map<const TFileClass*, SideData>>();
    return (*m_side)[record];
}

const TFileList::SideData* TFileList::findSide(const TFileClass* record) const {
    if (!m_side)
        return nullptr;
    auto it = m_side->find(record);
    return it == m_side->end() ? nullptr : &it->second;
}

void TFileList::SetFileIcon(TFileClass* record, std::unique_ptr<TIcon> icon) {
    if (!icon) {
        if (m_side)
            if (auto it = m_side->find(record); it != m_side->end())
                it->second.icon.reset();
        record->m_flags &= ~TFileClass::kHasIcon;
        return;
    }
    side(record).icon = std::move(icon);
    record->m_flags |= TFileClass::kHasIcon;
}

void TFileList::Swap(TFileList& other) noexcept {
    std::swap(m_first, other.m_first);
    std::swap(m_last, other.m_last);
    std::swap(m_count, other.m_count);
    m_side.swap(other.m_side);
}

size_t TFileList::ArenaBytes() const {
    size_t n = 0;
    for (const Block* b = m_first; b; b = b->next)
        n += sizeof(Block) + b->capacity;
    return n;
}

} // namespace zentrix
