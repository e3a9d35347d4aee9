#include "catalogue/filelist.h"

#include "catalogue/icon.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

namespace zentrix {

namespace {

// A run of a directory that grows one file at a time (a file that appears
// later) starts this small.
constexpr size_t kGrowRun = 1024;
constexpr size_t kMaxRun = TFileList::kMaxRunBytes;
// The longest name held in the record itself.
constexpr size_t kMaxInlineName = 0xFF;

size_t bytesFor(std::string_view name) {
    return sizeof(TFileClass) + (name.size() <= kMaxInlineName ? name.size() : 0);
}

} // namespace

// Records are packed one after another; the size of one follows from the
// number of name bytes it holds in place.
size_t TFileList::recordSize(const TFileClass* r) {
    return sizeof(TFileClass) + r->m_nameLen;
}
bool TFileList::isRemoved(const TFileClass* r) {
    return r->m_flags & TFileClass::kRemoved;
}

void TFileList::const_iterator::settle() {
    while (m_run) {
        const char* end = m_run->data() + m_run->used;
        if (m_pos < end) {
            const auto* r = reinterpret_cast<const TFileClass*>(m_pos);
            if (!isRemoved(r))
                return;
            m_pos += recordSize(r);
            continue;
        }
        m_run = m_run->next;
        m_pos = m_run ? const_cast<char*>(m_run->data()) : nullptr;
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
    Run* r = m_first;
    while (r) {
        Run* next = r->next;
        if (!r->borrowed)
            std::free(r);
        r = next;
    }
}

void TFileList::UseBorrowedRun(Run* run, size_t capacity, TTreeNode* dir) {
    run->next = nullptr;
    run->dir = dir;
    run->used = 0;
    run->capacity = static_cast<uint32_t>(std::min(capacity, kMaxRun));
    run->borrowed = 1;
    if (m_first || run->capacity == 0)
        return; // only an empty list starts in borrowed memory, and only with room
    m_first = m_last = run;
}

TFileList::const_iterator TFileList::begin() const {
    return m_first ? const_iterator(m_first, m_first->data()) : const_iterator();
}

TFileClass* TFileList::First() const {
    return m_count ? *begin() : nullptr;
}

TFileList::Run* TFileList::newRun(size_t capacity, TTreeNode* dir) {
    auto* run = static_cast<Run*>(std::malloc(sizeof(Run) + capacity));
    if (!run)
        throw std::bad_alloc();
    run->next = nullptr;
    run->dir = dir;
    run->used = 0;
    run->capacity = static_cast<uint32_t>(capacity);
    run->borrowed = 0;
    if (m_last)
        m_last->next = run;
    else
        m_first = run;
    m_last = run;
    return run;
}

// Room for one record of `bytes` in the last run, or in a new one: as large as
// what Reserve still expects, else small, never over the 64 KiB of a run.
char* TFileList::allocate(size_t bytes, TTreeNode* dir) {
    if (!m_last || m_last->dir != dir || m_last->capacity - m_last->used < bytes) {
        size_t capacity = m_reserved >= bytes ? m_reserved : std::max(bytes, kGrowRun);
        newRun(std::min(capacity, kMaxRun), dir);
    }
    char* p = m_last->data() + m_last->used;
    m_last->used += static_cast<uint32_t>(bytes);
    m_reserved = m_reserved > bytes ? m_reserved - static_cast<uint32_t>(bytes) : 0;
    return p;
}

void TFileList::Reserve(size_t count, size_t nameBytes) {
    // Names too long for the record are not held in the run; the estimate may
    // then be a little large, which costs at most the slack of one run. Every
    // record added counts against it, also one that still fits the room of the
    // last run, so that a run started later holds just what is left to come.
    const size_t bytes = count * sizeof(TFileClass) + nameBytes;
    m_reserved = static_cast<uint32_t>(std::min<size_t>(bytes, UINT32_MAX));
}

TFileClass* TFileList::Add(std::string_view name, int64_t size, uint16_t attributes,
                           int64_t lastWriteTime, TTreeNode* dirNode) {
    // Names longer than the length field (escaped names can grow) live aside.
    const bool fits = name.size() <= kMaxInlineName;
    char* mem = allocate(bytesFor(name), dirNode);
    auto* r = new (mem) TFileClass();
    r->m_runOffset = static_cast<uint16_t>(mem - reinterpret_cast<char*>(m_last));
    if (!r->setSizeInPlace(size)) {
        side(r).size = size;
        r->m_size = 0xFFFFFFFFu;
        r->m_flags |= TFileClass::kSizeElsewhere;
    }
    r->m_attributes = static_cast<uint8_t>(attributes);
    if (attributes > 0xFF) {
        side(r).attributes = attributes;
        r->m_flags |= TFileClass::kAttributesElsewhere;
    }
    r->m_lastWriteTime = lastWriteTime;
    if (fits) {
        r->m_nameLen = static_cast<uint8_t>(name.size());
        std::memcpy(r->inlineName(), name.data(), name.size());
    } else {
        side(r).name.assign(name);
        r->m_flags |= TFileClass::kNameElsewhere;
    }
    ++m_count;
    return r;
}

TFileClass* TFileList::AdoptCopy(TFileList& from, TFileClass* record) {
    TFileClass* copy = Add(record->FileName(), record->FileSize(), record->Attributes(),
                           record->m_lastWriteTime, record->DirNode());
    copy->SetTagged(record->Tagged());
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
    for (const Run* r = m_first; r; r = r->next)
        if (p >= r->data() && p < r->data() + r->used)
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
    std::swap(m_reserved, other.m_reserved);
    m_side.swap(other.m_side);
}

size_t TFileList::ArenaBytes() const {
    size_t n = 0;
    for (const Run* r = m_first; r; r = r->next)
        n += sizeof(Run) + r->capacity;
    return n;
}

} // namespace zentrix
