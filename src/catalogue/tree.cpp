#include "catalogue/tree.h"

#include "catalogue/treenoderoot.h"
#include "catalogue/treeobserver.h"
#include "core/scopeexit.h"
#include "platform/collation.h"

#include <algorithm>
#include <cstring>

namespace zentrix {

namespace {

// Texts longer than this are cut (no file system has names anywhere near it).
constexpr size_t kMaxText = UINT16_MAX;

std::string_view clipped(std::string_view text) {
    return text.size() > kMaxText ? text.substr(0, kMaxText) : text;
}

} // namespace

TTree::TTree() = default;

TTree::~TTree() {
    m_selected = nullptr;
    m_observers.clear();
    while (!m_roots.empty()) {
        TTreeNode* root = m_roots.back();
        destroying(root);
        m_roots.pop_back();
        destroyBranch(root);
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

void TTree::renumber(TTreeNode** list, size_t count, size_t from) {
    for (size_t i = from; i < count; ++i)
        list[i]->m_index = static_cast<int>(i);
}

// The children array lies in the disk's arena and holds exactly `capacity`.
void TTree::setChildCapacity(TTreeNode* node, uint32_t capacity) {
    if (capacity == node->m_capacity)
        return;
    DiskArena* arena = node->rootBlock()->arena;
    TTreeNode** array = nullptr;
    if (capacity > 0) {
        array = static_cast<TTreeNode**>(arena->Allocate(capacity * sizeof(TTreeNode*)));
        if (node->m_count > 0)
            std::memcpy(array, node->m_children, node->m_count * sizeof(TTreeNode*));
    }
    // Freed after the new one is taken, so that the arena never empties in
    // between and hands its chunks back.
    arena->Free(node->m_children, node->m_capacity * sizeof(TTreeNode*));
    node->m_children = array;
    node->m_capacity = capacity;
}

void TTree::ReserveChildren(TTreeNode* parent, size_t count) {
    if (count > parent->m_capacity)
        setChildCapacity(parent, static_cast<uint32_t>(count));
}

// Iterative, so that any depth works. The disk's arena is found before any
// node goes; a top-level node goes last, and with it (once nothing else holds
// a block of it) its arena.
void TTree::destroyBranch(TTreeNode* node) {
    TTreeNode::DiskRoot* root = node->rootBlock();
    DiskArena* arena = root->arena;
    std::vector<TTreeNode*> pending{node};
    while (!pending.empty()) {
        TTreeNode* n = pending.back();
        pending.pop_back();
        for (uint32_t i = 0; i < n->m_count; ++i)
            pending.push_back(n->m_children[i]);
        arena->Free(n->m_children, n->m_capacity * sizeof(TTreeNode*));
        n->m_children = nullptr;
        n->m_count = n->m_capacity = 0;
        if (n == root)
            continue;
        if (n->m_flags & TTreeNode::kTextAside)
            root->aside.erase(n);
        const size_t bytes = sizeof(TTreeNode) + n->m_textRoom;
        n->~TTreeNode();
        arena->Free(n, bytes);
    }
    if (node == root)
        delete root;
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
    TTreeNode* n = m_roots.back();
    while (n->Count() > 0)
        n = n->Item(n->Count() - 1);
    return n;
}

TTreeNode* TTree::InsertTopLevel(int index, std::string text) {
    index = std::clamp(index, 0, TopCount());
    notify([&](TreeObserver* o) { o->nodesAboutToBeInserted(nullptr, index, index); });
    TTreeNode* raw = new TTreeNode::DiskRoot(this, std::move(text));
    m_roots.insert(m_roots.begin() + index, raw);
    renumber(m_roots.data(), m_roots.size(), static_cast<size_t>(index));
    notify([&](TreeObserver* o) { o->nodesInserted(nullptr, index, index); });
    return raw;
}

TTreeNode* TTree::AddChild(TTreeNode* parent, std::string_view text) {
    text = clipped(text);
    const int row = parent->Count();
    notify([&](TreeObserver* o) { o->nodesAboutToBeInserted(parent, row, row); });
    if (parent->m_count == parent->m_capacity)
        setChildCapacity(parent, parent->m_capacity < 4 ? 4 : parent->m_capacity * 2);
    // The name lies behind the node, with room up to the arena's alignment.
    const size_t room = (text.size() + alignof(TTreeNode) - 1) & ~(alignof(TTreeNode) - 1);
    DiskArena* arena = parent->rootBlock()->arena;
    void* block = arena->Allocate(sizeof(TTreeNode) + room);
    auto* raw = new (block) TTreeNode(parent, static_cast<uint16_t>(room));
    std::memcpy(raw->inlineText(), text.data(), text.size());
    raw->m_textLen = static_cast<uint16_t>(text.size());
    raw->m_index = row;
    parent->m_children[parent->m_count++] = raw;
    notify([&](TreeObserver* o) { o->nodesInserted(parent, row, row); });
    return raw;
}

void TTree::DeleteChildren(TTreeNode* node) {
    if (node->m_count > 0) {
        const int last = node->Count() - 1;
        if (m_selected && m_selected != node && m_selected->IsInBranchOf(node))
            moveSelectionQuietly(node);
        notify([&](TreeObserver* o) { o->nodesAboutToBeRemoved(node, 0, last); });
        for (uint32_t i = 0; i < node->m_count; ++i)
            destroying(node->m_children[i]);
        // The children go one branch at a time, from the back, so that the
        // arena never sees the disk empty while the array still lives.
        while (node->m_count > 0)
            destroyBranch(node->m_children[--node->m_count]);
        setChildCapacity(node, 0);
        notify([&](TreeObserver* o) { o->nodesRemoved(node, 0, last); });
    }
    if (node->m_flags & TTreeNode::kHasChildrenMark) {
        node->setFlag(TTreeNode::kHasChildrenMark, false);
        notify([&](TreeObserver* o) { o->nodeChanged(node); });
    }
}

void TTree::DeleteNode(TTreeNode* node) {
    const int row = node->m_index;
    TTreeNode* parent = node->m_parent;
    TTreeNode** list = parent ? parent->m_children : m_roots.data();
    const size_t count = parent ? parent->m_count : m_roots.size();
    if (m_selected && m_selected->IsInBranchOf(node)) {
        // The selection moves to a neighbour, as a tree control does on deletion.
        TTreeNode* next = nullptr;
        if (static_cast<size_t>(row) + 1 < count)
            next = list[static_cast<size_t>(row) + 1];
        else if (row > 0)
            next = list[static_cast<size_t>(row) - 1];
        else
            next = parent;
        moveSelectionQuietly(next);
    }
    notify([&](TreeObserver* o) { o->nodesAboutToBeRemoved(parent, row, row); });
    destroying(node);
    if (parent) {
        std::memmove(list + row, list + row + 1,
                     (count - static_cast<size_t>(row) - 1) * sizeof(TTreeNode*));
        --parent->m_count;
        renumber(parent->m_children, parent->m_count, static_cast<size_t>(row));
        if (parent->m_count == 0)
            setChildCapacity(parent, 0);
    } else {
        m_roots.erase(m_roots.begin() + row);
        renumber(m_roots.data(), m_roots.size(), static_cast<size_t>(row));
    }
    destroyBranch(node);
    notify([&](TreeObserver* o) { o->nodesRemoved(parent, row, row); });
}

void TTree::SortChildren(TTreeNode* node) {
    if (node)
        setChildCapacity(node, node->m_count); // the children are all there now
    TTreeNode** begin = node ? node->m_children : m_roots.data();
    TTreeNode** end = begin + (node ? node->m_count : m_roots.size());
    if (end - begin < 2)
        return;
    auto before = [](const TTreeNode* a, const TTreeNode* b) {
        return platform::CompareNodeText(a->Text(), b->Text()) < 0;
    };
    if (std::is_sorted(begin, end, before))
        return;
    notify([&](TreeObserver* o) { o->childrenAboutToBeReordered(node); });
    std::stable_sort(begin, end, before);
    renumber(begin, static_cast<size_t>(end - begin));
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

void TTree::SetText(TTreeNode* node, std::string_view text) {
    text = clipped(text);
    TTreeNode::DiskRoot* root = node->rootBlock();
    if (node == root) {
        root->text.assign(text);
    } else if (text.size() <= node->m_textRoom) {
        std::memcpy(node->inlineText(), text.data(), text.size());
        if (node->m_flags & TTreeNode::kTextAside) {
            root->aside.erase(node);
            node->setFlag(TTreeNode::kTextAside, false);
        }
    } else {
        // The node keeps its address: a name that does not fit goes aside.
        root->aside[node].assign(text);
        node->setFlag(TTreeNode::kTextAside, true);
    }
    node->m_textLen = static_cast<uint16_t>(text.size());
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
    if (static_cast<bool>(node->m_flags & TTreeNode::kHasChildrenMark) == mark)
        return;
    node->setFlag(TTreeNode::kHasChildrenMark, mark);
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
    if (node->Bold() == bold)
        return;
    node->setFlag(TTreeNode::kBold, bold);
    notify([&](TreeObserver* o) { o->nodeChanged(node); });
}

void TTree::SetExpanded(TTreeNode* node, bool expanded) {
    // A node without children cannot stay open.
    if (expanded && node->m_count == 0)
        expanded = false;
    if (node->Expanded() == expanded)
        return;
    node->setFlag(TTreeNode::kExpanded, expanded);
    notify([&](TreeObserver* o) { o->nodeExpansionChanged(node, expanded); });
}

void TTree::ExpandAll(TTreeNode* node) {
    // One batch: a whole disk's branch opens with one rebuild of each view
    // instead of one change per directory.
    BeginUpdate();
    const ScopeExit endBatch([this] { EndUpdate(); });
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

void TTree::AddObserver(TreeObserver* observer) {
    m_observers.push_back(observer);
}

void TTree::RemoveObserver(TreeObserver* observer) {
    m_observers.erase(std::remove(m_observers.begin(), m_observers.end(), observer),
                      m_observers.end());
}

} // namespace zentrix
