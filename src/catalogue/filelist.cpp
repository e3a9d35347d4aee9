#include "catalogue/filelist.h"

#include "catalogue/icon.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace zentrix {
namespace {

constexpr size_t kRecordAlign = 2;
constexpr size_t kGrowBlock = 4096;

size_t recordBytes(size_t nameLen) {
    return (sizeof(TFileClass) + nameLen + kRecordAlign - 1) & ~(kRecordAlign - 1);
}

} // namespace

TFileList::TFileList() = default;

TFileList::~TFileList() = default; // records are trivially destructible; side data frees itself

char* TFileList::allocate(size_t bytes) {
    if (bytes > m_left) {
        const size_t size = std::max(bytes, kGrowBlock);
        m_blocks.emplace_back(new char[size]);
        m_cursor = m_blocks.back().get();
        m_left = size;
        m_arenaBytes += size;
    }
    char* p = m_cursor;
    m_cursor += bytes;
    m_left -= bytes;
    return p;
}

void TFileList::Reserve(size_t count, size_t nameBytes) {
    m_items.reserve(m_items.size() + count);
    const size_t bytes = count * (sizeof(TFileClass) + kRecordAlign) + nameBytes;
    if (bytes <= m_left || bytes == 0)
        return;
    m_blocks.emplace_back(new char[bytes]);
    m_cursor = m_blocks.back().get();
    m_left = bytes;
    m_arenaBytes += bytes;
}

TFileClass* TFileList::Add(std::string_view name, int32_t size, uint16_t attributes,
                           int64_t lastWriteTime, TTreeNode* dirNode) {
    // Names longer than the length field (escaped names can grow) live aside.
    const bool fits = name.size() <= 0xFFFF;
    char* mem = allocate(recordBytes(fits ? name.size() : 0));
    auto* r = new (mem) TFileClass();
    r->m_dirNode = dirNode;
    r->m_fileSize = size;
    r->m_attributes = attributes;
    r->m_lastWriteTime = lastWriteTime;
    if (fits) {
        r->m_nameLen = static_cast<uint16_t>(name.size());
        std::memcpy(r->inlineName(), name.data(), name.size());
    } else {
        side(r).name.assign(name);
        r->m_flags |= TFileClass::kNameElsewhere;
    }
    m_items.push_back(r);
    return r;
}

TFileClass* TFileList::AdoptCopy(TFileList& from, TFileClass* record) {
    TFileClass* copy = Add(record->FileName(), record->m_fileSize, record->m_attributes,
                           record->m_lastWriteTime, record->m_dirNode);
    copy->m_tagged = record->m_tagged;
    copy->m_descIndex = record->m_descIndex;
    if (from.m_side) {
        auto it = from.m_side->find(record);
        if (it != from.m_side->end()) {
            SideData& mine = side(copy);
            if (record->m_flags & TFileClass::kHasDescText) {
                mine.descText = std::move(it->second.descText);
                copy->m_flags |= TFileClass::kHasDescText;
            }
            if (record->m_flags & TFileClass::kHasIcon) {
                mine.icon = std::move(it->second.icon);
                copy->m_flags |= TFileClass::kHasIcon;
            }
            from.m_side->erase(it);
        }
    }
    record->m_flags = 0;
    return copy;
}

void TFileList::forgetSideData(TFileClass* record) {
    if (record->m_flags && m_side)
        m_side->erase(record);
    record->m_flags &= ~(TFileClass::kHasDescText | TFileClass::kHasIcon);
}

void TFileList::Delete(int index) {
    TFileClass* r = m_items[static_cast<size_t>(index)];
    forgetSideData(r);
    m_items.erase(m_items.begin() + index);
}

void TFileList::Swap(TFileList& other) noexcept {
    m_items.swap(other.m_items);
    m_blocks.swap(other.m_blocks);
    std::swap(m_cursor, other.m_cursor);
    std::swap(m_left, other.m_left);
    std::swap(m_arenaBytes, other.m_arenaBytes);
    m_side.swap(other.m_side);
}

int TFileList::IndexOf(const TFileClass* record) const {
    auto it = std::find(m_items.begin(), m_items.end(), record);
    return it == m_items.end() ? -1 : static_cast<int>(it - m_items.begin());
}

void TFileList::Rename(TFileClass* record, std::string_view newName) {
    if (!(record->m_flags & TFileClass::kNameElsewhere) && newName.size() <= record->m_nameLen) {
        std::memcpy(record->inlineName(), newName.data(), newName.size());
        record->m_nameLen = static_cast<uint16_t>(newName.size());
        return;
    }
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
        if (auto* s = m_side ? &side(record) : nullptr)
            s->icon.reset();
        record->m_flags &= ~TFileClass::kHasIcon;
        return;
    }
    side(record).icon = std::move(icon);
    record->m_flags |= TFileClass::kHasIcon;
}

} // namespace zentrix
