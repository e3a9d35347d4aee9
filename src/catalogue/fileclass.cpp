#include "catalogue/fileclass.h"

#include "catalogue/filelist.h"
#include "catalogue/loggedclass.h"
#include "catalogue/treenode.h"

#include <cctype>

namespace zentrix {
namespace {

const std::string kEmpty;

const TFileList* listOf(const TFileClass* record) {
    const TTreeNode* node = record->DirNode();
    return node && node->Data() ? &node->Data()->FileList() : nullptr;
}

} // namespace

std::string_view TFileClass::FileName() const {
    if (m_flags & kNameElsewhere) {
        if (const TFileList* list = listOf(this))
            if (const auto* side = list->findSide(this))
                return side->name;
    }
    return std::string_view(inlineName(), m_nameLen);
}

const std::string& TFileClass::DescText() const {
    if (m_flags & kHasDescText) {
        if (const TFileList* list = listOf(this))
            if (const auto* side = list->findSide(this))
                return side->descText;
    }
    return kEmpty;
}

TTreeNode* TFileClass::DirNode() const {
    return TFileList::runOf(this)->dir;
}

void TFileClass::SetDescText(std::string text) {
    TTreeNode* node = DirNode();
    if (!node || !node->Data())
        return;
    node->Data()->FileList().side(this).descText = std::move(text);
    m_flags |= kHasDescText;
}

TIcon* TFileClass::FileIcon() const {
    if (m_flags & kHasIcon) {
        if (const TFileList* list = listOf(this))
            if (const auto* side = list->findSide(this))
                return side->icon.get();
    }
    return nullptr;
}

bool TFileClass::setSizeInPlace(int64_t size) {
    if (size < 0)
        size = 0; // no file is smaller than empty
    if (size >= kSizeInPlaceLimit)
        return false;
    m_size = static_cast<uint32_t>(size);
    m_flags &= ~kSizeElsewhere;
    return true;
}

int64_t TFileClass::sizeKeptAside() const {
    if (const TFileList* list = listOf(this))
        if (const auto* side = list->findSide(this))
            return side->size;
    return m_size;
}

uint16_t TFileClass::attributesKeptAside() const {
    if (const TFileList* list = listOf(this))
        if (const auto* side = list->findSide(this))
            return side->attributes;
    return m_attributes;
}

void TFileClass::SetAttributes(uint16_t attributes) {
    m_attributes = static_cast<uint8_t>(attributes);
    if (attributes <= 0xFF) {
        m_flags &= ~kAttributesElsewhere;
        return;
    }
    TTreeNode* node = DirNode();
    if (!node || !node->Data())
        return;
    node->Data()->FileList().side(this).attributes = attributes;
    m_flags |= kAttributesElsewhere;
}

void TFileClass::SetFileSize(int64_t size) {
    if (setSizeInPlace(size))
        return;
    TTreeNode* node = DirNode();
    if (!node || !node->Data())
        return;
    node->Data()->FileList().side(this).size = size;
    // What the record holds itself is the largest size it can hold.
    m_size = 0xFFFFFFFFu;
    m_flags |= kSizeElsewhere;
}

std::string TFileClass::FileDirName() const {
    const TTreeNode* node = DirNode();
    return node ? node->Path() : std::string();
}

std::string TFileClass::FullName() const {
    std::string full = FileDirName();
    full += FileName();
    return full;
}

std::string TFileClass::FileExt() const {
    return ExtensionOf(FileName());
}

} // namespace zentrix
