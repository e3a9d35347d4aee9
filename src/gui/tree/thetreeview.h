#pragma once

#include <QListView>
#include <functional>

namespace zentrix {

class CatalogueTreeModel;
class TTreeNode;

/// The directory tree control. It shows the rows of a CatalogueTreeModel, a
/// flat list of the nodes whose ancestors are open, each indented by its depth
/// with an open/close button before it. Whether a node is open is the
/// catalogue's own state: the control only asks for a change (a click on the
/// button, Right, Left, + and -), and the rows follow when core has made it.
/// It has a hook that sees every event first, line scrolling, and scrolling
/// while something is dragged near its top or bottom edge.
class THETreeView : public QListView {
    Q_OBJECT
public:
    explicit THETreeView(QWidget* parent = nullptr);

    /// Sees every event before the control does; returns true to swallow it.
    std::function<bool(QEvent*)> WndProcFunction;

    void setModel(QAbstractItemModel* model) override;

    void ScrollLineUp();
    void ScrollLineDown();
    /// Makes the index the first visible row.
    void MakeTopItem(const QModelIndex& index);

    /// Whether the row shows an open/close button (its node has or may have
    /// subdirectories).
    bool showsButton(const QModelIndex& index) const;
    /// Whether the row's node is open.
    bool isExpanded(const QModelIndex& index) const;
    /// Asks for the row's node to be opened or closed (nothing when it already is).
    void setExpanded(const QModelIndex& index, bool expanded);
    void expand(const QModelIndex& index) { setExpanded(index, true); }
    void collapse(const QModelIndex& index) { setExpanded(index, false); }
    /// Asks for every shown node with child nodes to be opened, top to bottom.
    void expandAll();

    /// Pixels of indentation per level; the button sits in the last of them.
    int indentation() const { return m_indentation; }

    /// The row under a point: a row spans the tree's width, its indentation
    /// and button included.
    QModelIndex indexAt(const QPoint& point) const override;
    /// The label of a row: after its indentation and button, to the right edge.
    QRect visualRect(const QModelIndex& index) const override;
    /// The square of a row's open/close button, in viewport coordinates.
    QRect buttonRect(const QModelIndex& index) const;

signals:
    /// The user asked to open or close a row's node.
    void expandRequested(const QModelIndex& index);
    void collapseRequested(const QModelIndex& index);

protected:
    bool event(QEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void selectionChanged(const QItemSelection& selected,
                          const QItemSelection& deselected) override;
    void focusInEvent(QFocusEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    CatalogueTreeModel* m_tree = nullptr; // the model, when it is the catalogue's
    int m_indentation = 19;
};

} // namespace zentrix
