#include "catalogue/treenode.h"

#include "platform/attributes.h"

#include <cctype>

namespace zentrix {

TTreeNode::TTreeNode(TTree* tree, TTreeNode* parent, std::string text)
    : m_tree(tree), m_parent(parent), m_text(std::move(text)) {}

TTreeNode::~TTreeNode() {
    // The children's own destructors find nothing left to do: each subtree is
    // taken apart here, one node at a time.
    std::vector<std::unique_ptr<TTreeNode>> pending = std::move(m_children);
    while (!pending.empty()) {
        std::unique_ptr<TTreeNode> n = std::move(pending.back());
        pending.pop_back();
        for (auto& c : n->m_children)
            pending.push_back(std::move(c));
        n->m_children.clear();
    }
}

uint16_t TTreeNode::Attributes() const {
    uint32_t attributes = platform::kAttrDirectory;
    if (m_parent && !m_text.empty() && m_text[0] == '.')
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
        length += n->m_text.size() + 1;
    }
    std::string path;
    path.reserve(length);
    for (size_t i = depth; i-- > 0;) {
        const TTreeNode* n = i < 512 ? chain[i] : deep[i - 512];
        path += n->m_text;
        if (path.empty() || path.back() != '\\')
            path.push_back('\\');
    }
    return path;
}

char TTreeNode::DriveLetter() const {
    const std::string& t = Root()->m_text;
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
