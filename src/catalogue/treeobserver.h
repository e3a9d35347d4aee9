#pragma once

namespace zentrix {

class TTreeNode;

/// Told of every change of the directory tree, so that a view can mirror it.
/// `parent` is none for the top level. Row numbers are positions among siblings.
class TreeObserver {
public:
    virtual ~TreeObserver() = default;
    virtual void nodesAboutToBeInserted(TTreeNode* parent, int first, int last) = 0;
    virtual void nodesInserted(TTreeNode* parent, int first, int last) = 0;
    virtual void nodesAboutToBeRemoved(TTreeNode* parent, int first, int last) = 0;
    virtual void nodesRemoved(TTreeNode* parent, int first, int last) = 0;
    virtual void childrenAboutToBeReordered(TTreeNode* parent) = 0;
    virtual void childrenReordered(TTreeNode* parent) = 0;
    /// Text, images, data slot, bold or the has-children mark changed.
    virtual void nodeChanged(TTreeNode* node) = 0;
    virtual void nodeExpansionChanged(TTreeNode* node, bool expanded) = 0;
    virtual void selectionChanged(TTreeNode* node) = 0;
    /// A batch of changes begins / ended (TTree::BeginUpdate); nothing else is
    /// told in between, so a view rebuilds itself at the end.
    virtual void treeAboutToBeReset() = 0;
    virtual void treeReset() = 0;
};

} // namespace zentrix
