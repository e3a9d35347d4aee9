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

void TFileClass::SetDescText(std::string text) {
    TTreeNode* node = m_dirNode;
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

std::string TFileClass::FileDirName() const { return m_dirNode ? m_dirNode->Path() : std::string(); }

std::string TFileClass::FullName() const {
    std::string full = FileDirName();
    full += FileName();
    return full;
}

std::string TFileClass::FileExt() const { return ExtensionOf(FileName()); }


} // namespace zentrix
