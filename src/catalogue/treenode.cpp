#include "catalogue/treenode.h"

#include "catalogue/treenoderoot.h"
#include "platform/attributes.h"

#include <cctype>
#include <vector>

namespace zentrix {

TTreeNode::DiskRoot* TTreeNode::rootBlock() const {
    const TTreeNode* n = this;
    while (n->m_parent)
        n = n->m_parent;
    return static_cast<DiskRoot*>(const_cast<TTreeNode*>(n));
}

std::string_view TTreeNode::textAside() const {
    DiskRoot* root = rootBlock();
    if (root == this)
        return root->text;
    auto it = root->aside.find(this);
    return it == root->aside.end() ? std::string_view() : std::string_view(it->second);
}

DiskArena* TTreeNode::Arena() const {
    return rootBlock()->arena;
}

uint16_t TTreeNode::Attributes() const {
    uint32_t attributes = platform::kAttrDirectory;
    const std::string_view text = Text();
    if (m_parent && !text.empty() && text[0] == '.')
        attributes |= platform::kAttrHidden;
    return static_cast<uint16_t>(attributes);
}

int TTreeNode::Level() const {
    int level = 0;
    for (const TTreeNode* n = m_parent; n; n = n->m_parent)
        ++level;
    return level;
}

TTreeNode* TTreeNode::Root() {
    TTreeNode* n = this;
    while (n->m_parent)
        n = n->m_parent;
    return n;
}

const TTreeNode* TTreeNode::Root() const {
    const TTreeNode* n = this;
    while (n->m_parent)
        n = n->m_parent;
    return n;
}

bool TTreeNode::IsInBranchOf(const TTreeNode* ancestor) const {
    for (const TTreeNode* n = this; n; n = n->m_parent)
        if (n == ancestor)
            return true;
    return false;
}

std::string TTreeNode::Path() const {
    const TTreeNode* chain[512];
    std::vector<const TTreeNode*> deep;
    size_t depth = 0;
    size_t length = 0;
    for (const TTreeNode* n = this; n; n = n->m_parent) {
        if (depth < 512)
            chain[depth] = n;
        else
            deep.push_back(n);
        ++depth;
        length += n->Text().size() + 1;
    }
    std::string path;
    path.reserve(length);
    for (size_t i = depth; i-- > 0;) {
        const TTreeNode* n = i < 512 ? chain[i] : deep[i - 512];
        path += n->Text();
        if (path.empty() || path.back() != '\\')
            path.push_back('\\');
    }
    return path;
}

char TTreeNode::DriveLetter() const {
    const std::string_view t = Root()->Text();
    return t.empty() ? 0 : static_cast<char>(std::toupper(static_cast<unsigned char>(t[0])));
}

TTreeNode* TTreeNode::NextSibling() const {
    if (m_parent)
        return m_index + 1 < m_parent->Count() ? m_parent->Item(m_index + 1) : nullptr;
    return nullptr; // top-level siblings are reached through the tree
}

TTreeNode* TTreeNode::PrevSibling() const {
    if (m_parent)
        return m_index > 0 ? m_parent->Item(m_index - 1) : nullptr;
    return nullptr;
}

} // namespace zentrix
