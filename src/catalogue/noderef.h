#pragma once

namespace zentrix {

class TTree;
class TTreeNode;

/// A reference to a tree node that knows when its node died: it reads none once
/// the node (or a branch holding it) has been deleted. Anything that asks the
/// user, pumps events or runs a selection change may delete nodes, so a node
/// that is needed afterwards is held by one of these, never by a raw pointer.
/// Registered with the tree while it points at a node; the tree clears it when
/// the node goes and when the tree itself goes. Main thread only.
class TNodeRef {
public:
    TNodeRef() = default;
    explicit TNodeRef(TTreeNode* node) { reset(node); }
    TNodeRef(const TNodeRef& other) { reset(other.m_node); }
    TNodeRef& operator=(const TNodeRef& other) {
        if (this != &other)
            reset(other.m_node);
        return *this;
    }
    TNodeRef& operator=(TTreeNode* node) {
        reset(node);
        return *this;
    }
    ~TNodeRef() { reset(nullptr); }

    /// The node, or none when it was never set or has died.
    TTreeNode* get() const { return m_node; }
    TTreeNode* operator->() const { return m_node; }
    explicit operator bool() const { return m_node != nullptr; }

    void reset(TTreeNode* node);

private:
    friend class TTree;
    TTree* m_tree = nullptr;
    TTreeNode* m_node = nullptr;
};

} // namespace zentrix
