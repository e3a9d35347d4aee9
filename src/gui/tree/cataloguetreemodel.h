#pragma once

#include "catalogue/treeobserver.h"

#include <QAbstractItemModel>
#include <QIcon>

#include <vector>

namespace zentrix {

class TTree;
class TTreeNode;

/// The directory tree as the list of rows it shows: every node whose
/// ancestors are all open, in display order (each node before its children,
/// siblings in their order). Whether a node is open is core's own flag, so the
/// view keeps no state per row and its memory follows the rows on screen, not
/// the open directories: a whole disk logged and opened costs one pointer per
/// directory here. Each index points at its TTreeNode; every change of the
/// tree arrives as the matching rows inserted, removed or moved.
class CatalogueTreeModel : public QAbstractItemModel, private TreeObserver {
    Q_OBJECT
public:
    explicit CatalogueTreeModel(TTree& tree, QObject* parent = nullptr);
    ~CatalogueTreeModel() override;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    Qt::ItemFlags flags(const QModelIndex& index) const override;
    /// The row of a node, or none while a closed ancestor hides it.
    QModelIndex indexOf(const TTreeNode* node) const;
    TTree& tree() const { return m_tree; }
    static TTreeNode* nodeOf(const QModelIndex& index);
    /// How many ancestors a node has (0 for a disk's root): its indentation.
    static int depthOf(const TTreeNode* node);

    /// Shows folder pictures (off: no icons in the tree).
    void setShowIcons(bool show);

    /// What a node's mark says ("may be stale", "not followed"); empty for
    /// none. Its tooltip says more; assistive tools hear it with the row.
    static constexpr int FollowNoteRole = Qt::UserRole + 1;
    /// The mark's text for a node, empty when it carries none.
    static QString followNote(const TTreeNode* node);

signals:
    /// Core opened or closed a node; its rows below are already in or out.
    void expansionChanged(const QModelIndex& index, bool expanded);
    /// Core moved the selection.
    void selectionMoved(const QModelIndex& index);
    /// The rows were rebuilt after a batch; the view finds its selection again.
    void rebuilt();

private:
    void nodesAboutToBeInserted(TTreeNode* parent, int first, int last) override;
    void nodesInserted(TTreeNode* parent, int first, int last) override;
    void nodesAboutToBeRemoved(TTreeNode* parent, int first, int last) override;
    void nodesRemoved(TTreeNode* parent, int first, int last) override;
    void childrenAboutToBeReordered(TTreeNode* parent) override;
    void childrenReordered(TTreeNode* parent) override;
    void nodeChanged(TTreeNode* node) override;
    void nodeExpansionChanged(TTreeNode* node, bool expanded) override;
    void selectionChanged(TTreeNode* node) override;
    void treeAboutToBeReset() override;
    void treeReset() override;

    // The row of a shown node (binary search over the display order), or -1.
    int rowOf(const TTreeNode* node) const;
    // The node that follows a node's branch in display order, or none.
    TTreeNode* nextAfterBranch(const TTreeNode* node) const;
    // The row where a shown node's branch ends (one past its last shown descendant).
    int branchEnd(const TTreeNode* node) const;
    // Appends the shown descendants of an open node, in display order.
    static void appendShownBelow(TTreeNode* node, std::vector<TTreeNode*>& out);
    // Appends every shown node, in display order.
    void appendAllShown(std::vector<TTreeNode*>& out) const;
    bool childrenShown(const TTreeNode* parent) const;
    void insertShown(int row, std::vector<TTreeNode*> nodes);
    void removeRows(int first, int end);
    void rebuildRows();

    TTree& m_tree;
    std::vector<TTreeNode*> m_rows; // the shown nodes, in display order
    int m_reorderFirst = 0;         // the rows a reorder rearranges: [first, end)
    int m_reorderEnd = 0;
    bool m_showIcons = true;
    QIcon m_images[8];
    QIcon m_marked[8]; // the same pictures with the follow mark
    QIcon m_markOnly;  // the mark alone, when folder pictures are off
    QModelIndexList m_reordering; // the persistent rows a reorder moves, with their nodes
    std::vector<TTreeNode*> m_reorderingNodes;
};

} // namespace zentrix
