#pragma once

#include "catalogue/treeobserver.h"
#include "search/spacemap.h"

#include <QWidget>

#include <functional>

namespace zentrix {

class TTree;
class TTreeNode;

/// The space map of the directory selected in the tree: drawn from the
/// catalogue whenever it is shown and whenever the tree changed since. A
/// click asks for that directory to be selected, a double click for its files
/// to be opened. Accessible: each rectangle is a child that reports its path
/// and size, with the press action of a click.
class TSpaceMapView : public QWidget, private TreeObserver {
    Q_OBJECT
public:
    /// `tree` must outlive the view.
    explicit TSpaceMapView(TTree& tree, QWidget* parent = nullptr);
    ~TSpaceMapView() override;

    /// The branch shown; null: the tree's selected directory.
    void setBranch(const TTreeNode* node);
    /// Lays the map out anew (the next paint does it when visible).
    void invalidate();
    const SpaceMap& map();

    /// The text a cell reports: its path and size, and what it stands for.
    QString cellName(int index);
    QString cellDescription(int index);
    /// The cell's rectangle in the view's coordinates.
    QRect cellRect(int index);
    /// Acts as a click on the cell.
    void clickCell(int index);

    std::function<void(const std::string& path)> onDirectoryClicked;
    std::function<void(const std::string& path)> onDirectoryOpened;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void layout();
    QColor colorOf(const SpaceMap::Cell& cell) const;

    // TreeObserver: any change of the tree makes the map stale.
    void nodesAboutToBeInserted(TTreeNode*, int, int) override {}
    void nodesInserted(TTreeNode*, int, int) override { invalidate(); }
    void nodesAboutToBeRemoved(TTreeNode*, int, int) override {}
    void nodesRemoved(TTreeNode*, int, int) override { invalidate(); }
    void childrenAboutToBeReordered(TTreeNode*) override {}
    void childrenReordered(TTreeNode*) override {}
    void nodeChanged(TTreeNode*) override { invalidate(); }
    void nodeExpansionChanged(TTreeNode*, bool) override {}
    void selectionChanged(TTreeNode*) override { invalidate(); }
    void treeAboutToBeReset() override {}
    void treeReset() override { invalidate(); }

    TTree& m_tree;
    SpaceMap m_map;
    std::string m_branchPath; // set by setBranch; empty: the selected directory
    bool m_stale = true;
    int m_hover = -1;
};

} // namespace zentrix
