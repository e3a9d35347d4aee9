#include "catalogue/tree.h"

#include "catalogue/treeobserver.h"
#include "platform/collation.h"

#include <algorithm>

namespace zentrix {

TTree::TTree() = default;

TTree::~TTree() {
    m_selected = nullptr;
    m_observers.clear();
    while (!m_roots.empty()) {
        destroying(m_roots.back().get());
        m_roots.pop_back();
    }
    for (TNodeRef* ref : m_refs) {
        ref->m_node = nullptr;
        ref->m_tree = nullptr;
    }
}

void TTree::forget(TNodeRef* ref) {
    // Handles live on the stack and go in reverse order: look from the back.
    for (size_t i = m_refs.size(); i-- > 0;)
        if (m_refs[i] == ref) {
            m_refs.erase(m_refs.begin() + static_cast<std::ptrdiff_t>(i));
            return;
        }
}

void TTree::renumber(std::vector<std::unique_ptr<TTreeNode>>& list, size_t from) {
    for (size_t i = from; i < list.size(); ++i)
        list[i]->m_index = static_cast<int>(i);
}

std::vector<std::unique_ptr<TTreeNode>>& TTree::siblingsOf(TTreeNode* node) {
    return node->m_parent ? node->m_parent->m_children : m_roots;
}

void TTree::destroying(TTreeNode* node) {
    PreOrder(node, [this](TTreeNode* n) {
        if (n == m_selected)
            m_selected = nullptr;
        for (size_t i = 0; i < m_refs.size();) {
            TNodeRef* ref = m_refs[i];
            if (ref->m_node != n) {
                ++i;
                continue;
            }
            ref->m_node = nullptr;
            ref->m_tree = nullptr;
            m_refs.erase(m_refs.begin() + static_cast<std::ptrdiff_t>(i));
        }
        if (OnNodeDestroying)
            OnNodeDestroying(n);
        return true;
    });
}

TTreeNode* TTree::NextInPreOrder(const TTreeNode* node) const {
    if (!node)
        return nullptr;
    return node->Count() > 0 ? node->Item(0) : NextAfterBranch(node);
}

TTreeNode* TTree::NextAfterBranch(const TTreeNode* node) const {
    for (const TTreeNode* n = node; n; n = n->Parent()) {
        if (n->Parent()) {
            if (TTreeNode* next = n->NextSibling())
                return next;
        } else if (n->Index() + 1 < TopCount()) {
            return Top(n->Index() + 1);
        }
    }
    return nullptr;
}

TTreeNode* TTree::NextOutside(const TTreeNode* node, const TTreeNode* start) {
    for (const TTreeNode* n = node; n && n != start; n = n->Parent())
        if (TTreeNode* next = n->NextSibling())
            return next;
    return nullptr;
}

TTreeNode* TTree::LastNode() const {
    if (m_roots.empty())
        return nullptr;
    TTreeNode* n = m_roots.back().get();
    while (n->Count() > 0)
        n = n->Item(n->Count() - 1);
    return n;
}

TTreeNode* TTree::InsertTopLevel(int index, std::string text) {
    index = std::clamp(index, 0, TopCount());
    notify([&](TreeObserver* o) { o->nodesAboutToBeInserted(nullptr, index, index); });
    auto node = std::unique_ptr<TTreeNode>(new TTreeNode(this, nullptr, std::move(text)));
    TTreeNode* raw = node.get();
    m_roots.insert(m_roots.begin() + index, std::move(node));
    renumber(m_roots, static_cast<size_t>(index));
    notify([&](TreeObserver* o) { o->nodesInserted(nullptr, index, index); });
    return raw;
}

TTreeNode* TTree::AddChild(TTreeNode* parent, std::string text) {
    const int row = parent->Count();
    notify([&](TreeObserver* o) { o->nodesAboutToBeInserted(parent, row, row); });
    auto node = std::unique_ptr<TTreeNode>(new TTreeNode(this, parent, std::move(text)));
    node->m_index = row;
    TTreeNode* raw = node.get();
    parent->m_children.push_back(std::move(node));
    notify([&](TreeObserver* o) { o->nodesInserted(parent, row, row); });
    return raw;
}

void TTree::DeleteChildren(TTreeNode* node) {
    if (!node->m_children.empty()) {
        const int last = node->Count() - 1;
        if (m_selected && m_selected != node && m_selected->IsInBranchOf(node))
            moveSelectionQuietly(node);
        notify([&](TreeObserver* o) { o->nodesAboutToBeRemoved(node, 0, last); });
        for (auto& c : node->m_children)
            destroying(c.get());
        node->m_children.clear();
        notify([&](TreeObserver* o) { o->nodesRemoved(node, 0, last); });
    }
    if (node->m_hasChildrenMark) {
        node->m_hasChildrenMark = false;
        notify([&](TreeObserver* o) { o->nodeChanged(node); });
    }
}

void TTree::DeleteNode(TTreeNode* node) {
    auto& list = siblingsOf(node);
    const int row = node->m_index;
    TTreeNode* parent = node->m_parent;
    if (m_selected && m_selected->IsInBranchOf(node)) {
        // The selection moves to a neighbour, as a tree control does on deletion.
        TTreeNode* next = nullptr;
        if (row + 1 < static_cast<int>(list.size()))
            next = list[static_cast<size_t>(row) + 1].get();
        else if (row > 0)
            next = list[static_cast<size_t>(row) - 1].get();
        else
            next = parent;
        moveSelectionQuietly(next);
    }
    notify([&](TreeObserver* o) { o->nodesAboutToBeRemoved(parent, row, row); });
    destroying(node);
    list.erase(list.begin() + row);
    renumber(list, static_cast<size_t>(row));
    notify([&](TreeObserver* o) { o->nodesRemoved(parent, row, row); });
}

void TTree::SortChildren(TTreeNode* node) {
    auto& list = node ? node->m_children : m_roots;
    if (list.size() < 2)
        return;
    const bool sorted = std::is_sorted(list.begin(), list.end(), [](const auto& a, const auto& b) {
        return platform::CompareNodeText(a->m_text, b->m_text) < 0;
    });
    if (sorted)
        return;
    notify([&](TreeObserver* o) { o->childrenAboutToBeReordered(node); });
    std::stable_sort(list.begin(), list.end(), [](const auto& a, const auto& b) {
        return platform::CompareNodeText(a->m_text, b->m_text) < 0;
    });
    renumber(list);
    notify([&](TreeObserver* o) { o->childrenReordered(node); });
}

void TTree::FullSort() {
    SortChildren(nullptr);
    ForEachNode([this](TTreeNode* n) {
        if (n->Count() > 1)
            SortChildren(n);
        return true;
    });
}

void TTree::SetText(TTreeNode* node, std::string text) {
    node->m_text = std::move(text);
    notify([&](TreeObserver* o) { o->nodeChanged(node); });
}

void TTree::SetData(TTreeNode* node, TLoggedClass* data) {
    if (node->m_data == data)
        return;
    node->m_data = data;
    notify([&](TreeObserver* o) { o->nodeChanged(node); });
    if (OnDataChanged)
        OnDataChanged(node);
}

void TTree::SetHasChildren(TTreeNode* node, bool mark) {
    if (node->m_hasChildrenMark == mark)
        return;
    node->m_hasChildrenMark = mark;
    notify([&](TreeObserver* o) { o->nodeChanged(node); });
}

void TTree::SetImages(TTreeNode* node, int normal, int selected) {
    if (node->m_imageIndex == normal && node->m_selectedIndex == selected)
        return;
    node->m_imageIndex = static_cast<int8_t>(normal);
    node->m_selectedIndex = static_cast<int8_t>(selected);
    notify([&](TreeObserver* o) { o->nodeChanged(node); });
}

void TTree::SetFollow(TTreeNode* node, FollowState state) {
    if (node->m_follow == state)
        return;
    node->m_follow = state;
    notify([&](TreeObserver* o) { o->nodeChanged(node); });
}

void TTree::SetBold(TTreeNode* node, bool bold) {
    if (node->m_bold == bold)
        return;
    node->m_bold = bold;
    notify([&](TreeObserver* o) { o->nodeChanged(node); });
}

void TTree::SetExpanded(TTreeNode* node, bool expanded) {
    // A node without children cannot stay open.
    if (expanded && node->m_children.empty())
        expanded = false;
    if (node->m_expanded == expanded)
        return;
    node->m_expanded = expanded;
    notify([&](TreeObserver* o) { o->nodeExpansionChanged(node, expanded); });
}

void TTree::ExpandAll(TTreeNode* node) {
    PreOrder(node, [this](TTreeNode* n) {
        SetExpanded(n, true);
        return true;
    });
}

// A selection moved because its node goes away is not a choice of the user's:
// the view follows, but the selection-change handler does not run (the disk's
// last directory keeps naming the node that went).
void TTree::moveSelectionQuietly(TTreeNode* node) {
    m_selected = node;
    notify([&](TreeObserver* o) { o->selectionChanged(node); });
}

bool TTree::Select(TTreeNode* node) {
    if (node == m_selected)
        return true;
    if (CanChangeSelection && !CanChangeSelection(node))
        return false;
    m_selected = node;
    notify([&](TreeObserver* o) { o->selectionChanged(node); });
    if (node && OnSelectionChange)
        OnSelectionChange(node);
    return true;
}

void TTree::BeginUpdate() {
    if (m_updating++ == 0)
        for (auto* o : m_observers)
            o->treeAboutToBeReset();
}

void TTree::EndUpdate() {
    if (m_updating > 0 && --m_updating == 0)
        for (auto* o : m_observers)
            o->treeReset();
}

void TTree::AddObserver(TreeObserver* observer) { m_observers.push_back(observer); }

void TTree::RemoveObserver(TreeObserver* observer) {
    m_observers.erase(std::remove(m_observers.begin(), m_observers.end(), observer),
                      m_observers.end());
}

} // namespace zentrix
