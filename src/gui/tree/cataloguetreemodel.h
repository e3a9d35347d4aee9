#pragma once

#include "catalogue/treeobserver.h"

#include <QAbstractItemModel>
#include <QIcon>
#include <QVector>

namespace zentrix {

class TTree;
class TTreeNode;

/// The directory tree as an item model over core's own nodes: nothing is
/// copied, each index points at its TTreeNode, and every change of the tree
/// arrives as the matching model signal.
class CatalogueTreeModel : public QAbstractItemModel, private TreeObserver {
    Q_OBJECT
public:
    explicit CatalogueTreeModel(TTree& tree, QObject* parent = nullptr);
    ~CatalogueTreeModel() override;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QModelIndex indexOf(const TTreeNode* node) const;
    TTree& tree() const { return m_tree; }
    static TTreeNode* nodeOf(const QModelIndex& index);

    /// Shows folder pictures (off: no icons in the tree).
    void setShowIcons(bool show);

    /// What a node's mark says ("may be stale", "not followed"); empty for
    /// none. Its tooltip says more; assistive tools hear it with the row.
    static constexpr int FollowNoteRole = Qt::UserRole + 1;
    /// The mark's text for a node, empty when it carries none.
    static QString followNote(const TTreeNode* node);

signals:
    /// Core opened or closed a node; the view follows.
    void expansionChanged(const QModelIndex& index, bool expanded);
    /// Core moved the selection.
    void selectionMoved(const QModelIndex& index);
    /// The model was rebuilt after a batch; the view re-applies expansion.
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

    TTree& m_tree;
    bool m_showIcons = true;
    QIcon m_images[8];
    QIcon m_marked[8]; // the same pictures with the follow mark
    QIcon m_markOnly;  // the mark alone, when folder pictures are off
    QVector<QPair<QPersistentModelIndex, TTreeNode*>> m_reordering;
    TTreeNode* m_reorderParent = nullptr;
};

} // namespace zentrix
