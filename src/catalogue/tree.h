#pragma once

#include "catalogue/noderef.h"
#include "catalogue/treenode.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zentrix {

class TreeObserver;

/// The directory tree of the logged disks. It owns every node; all changes go
/// through it so that observers (the tree window) can follow them.
class TTree {
public:
    TTree();
    ~TTree();
    TTree(const TTree&) = delete;
    TTree& operator=(const TTree&) = delete;

    int TopCount() const { return static_cast<int>(m_roots.size()); }
    TTreeNode* Top(int index) const { return m_roots[static_cast<size_t>(index)]; }
    TTreeNode* FirstTop() const { return m_roots.empty() ? nullptr : m_roots.front(); }
    /// The last node of the tree in display order (the deepest last descendant).
    TTreeNode* LastNode() const;

    /// Inserts a top-level node at `index` (0..TopCount()).
    TTreeNode* InsertTopLevel(int index, std::string text);
    /// Appends a child; the caller sorts when it has added all (sorting also
    /// gives back the spare room that adding one by one left).
    TTreeNode* AddChild(TTreeNode* parent, std::string_view text);
    /// Makes room for `count` children in all, so that a node whose children are
    /// known ahead holds no spare room.
    void ReserveChildren(TTreeNode* parent, size_t count);
    /// Deletes every child (with its subtree) and clears the has-children mark. A
    /// selection inside moves to the node, without the selection-change handler.
    void DeleteChildren(TTreeNode* node);
    /// Deletes a node with its subtree. A selection inside moves to a neighbour
    /// first, without the selection-change handler.
    void DeleteNode(TTreeNode* node);
    /// Sorts a node's children by CompareNodeText (top level when node is none).
    void SortChildren(TTreeNode* node);
    /// Full sort: the top level, then the children of every node that has children.
    void FullSort();

    void SetText(TTreeNode* node, std::string_view text);
    void SetData(TTreeNode* node, TLoggedClass* data);
    void SetHasChildren(TTreeNode* node, bool mark);
    void SetImages(TTreeNode* node, int normal, int selected);
    void SetBold(TTreeNode* node, bool bold);
    void SetLink(TTreeNode* node, bool link) { node->setFlag(TTreeNode::kIsLink, link); }
    void SetExpanded(TTreeNode* node, bool expanded);
    /// The follow state shows in the tree (a node that may be stale is marked).
    void SetFollow(TTreeNode* node, FollowState state);
    /// The watch id is the follower's own: observers are not told.
    void SetWatchId(TTreeNode* node, int watch) { node->m_watchId = watch; }
    /// Expands the node and every descendant, as one batch (observers are
    /// told of a reset, not of each node).
    void ExpandAll(TTreeNode* node);

    TTreeNode* Selected() const { return m_selected; }
    /// Makes a node the selected one. Asks CanChangeSelection first (a refused
    /// change leaves the selection as it is), then tells OnSelectionChange.
    bool Select(TTreeNode* node);

    /// Veto on selection changes (none while a file operation runs).
    std::function<bool(TTreeNode* to)> CanChangeSelection;
    /// Runs after the selection moved to a node.
    std::function<void(TTreeNode* node)> OnSelectionChange;

    /// Batches changes: observers hear treeAboutToBeReset at the outermost
    /// BeginUpdate and treeReset at its EndUpdate, nothing in between.
    void BeginUpdate();
    void EndUpdate();

    void AddObserver(TreeObserver* observer);
    void RemoveObserver(TreeObserver* observer);

    /// Pre-order walk (node, then its children in order); stop by returning false.
    /// Iterative, so that any depth works. The visit may change the children of
    /// the node it is given (the walk looks at them afterwards), nothing else.
    template <typename F> static bool PreOrder(TTreeNode* node, F&& visit) {
        TTreeNode* n = node;
        for (;;) {
            if (!visit(n))
                return false;
            if (n->Count() > 0) {
                n = n->Item(0);
                continue;
            }
            for (;;) {
                if (n == node)
                    return true;
                if (TTreeNode* next = n->NextSibling()) {
                    n = next;
                    break;
                }
                n = n->Parent();
            }
        }
    }
    /// The node after `node` in pre-order over the whole tree (top level
    /// included), or none at the end.
    TTreeNode* NextInPreOrder(const TTreeNode* node) const;
    /// The first node in pre-order after the branch of `node` (its children
    /// skipped), over the whole tree; none at the end.
    TTreeNode* NextAfterBranch(const TTreeNode* node) const;
    /// The same within the branch of `start`: none once the walk would leave it.
    static TTreeNode* NextOutside(const TTreeNode* node, const TTreeNode* start);
    template <typename F> void ForEachNode(F&& visit) {
        for (TTreeNode* r : m_roots)
            if (!PreOrder(r, visit))
                return;
    }

    /// Runs whenever a node's data slot changes (logged or unlogged), also
    /// inside an update batch.
    std::function<void(TTreeNode* node)> OnDataChanged;

    /// Runs when nodes are about to be destroyed (each node of a subtree), so that
    /// owners of data attached to them can let go.
    std::function<void(TTreeNode* node)> OnNodeDestroying;

private:
    friend class TNodeRef;
    void forget(TNodeRef* ref);
    static void renumber(TTreeNode** list, size_t count, size_t from = 0);
    void setChildCapacity(TTreeNode* node, uint32_t capacity);
    void destroying(TTreeNode* node);
    /// Frees a node and its branch (nothing is told: destroying ran before).
    void destroyBranch(TTreeNode* node);
    void moveSelectionQuietly(TTreeNode* node);
    template <typename F> void notify(F&& f) {
        if (m_updating > 0)
            return;
        for (auto* o : m_observers)
            f(o);
    }

    // The top-level nodes, owned here (each is a TTreeNode::Root, made and
    // destroyed only by this class); every other node lies in its disk's arena.
    std::vector<TTreeNode*> m_roots;
    TTreeNode* m_selected = nullptr;
    std::vector<TreeObserver*> m_observers;
    std::vector<TNodeRef*> m_refs; // handles to clear when their node goes
    int m_updating = 0;
};

} // namespace zentrix
