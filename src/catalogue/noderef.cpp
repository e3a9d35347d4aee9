#include "catalogue/noderef.h"

#include "catalogue/tree.h"
#include "catalogue/treenoderoot.h"

namespace zentrix {

void TNodeRef::reset(TTreeNode* node) {
    if (node == m_node)
        return;
    if (m_tree)
        m_tree->forget(this);
    m_node = node;
    m_tree = node ? node->rootBlock()->tree : nullptr;
    if (m_tree)
        m_tree->m_refs.push_back(this);
}

} // namespace zentrix
