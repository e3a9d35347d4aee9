#pragma once

class QModelIndex;

namespace zentrix {

class THETreeView;

/// Makes the directory tree visible to assistive tools in the program's own
/// terms: the tree reports the rows it shows (every node of an open branch, in
/// display order) as children, each with its name, whether it is the selected
/// directory, whether it can be opened and is open, and with actions that
/// select it and open or close it. The tree itself accepts focus requests.
/// Qt's own interface for tree views takes no focus request and reports its
/// hidden header as an extra cell. Installs the factory once.
///
/// A row's description is its level, followed by the mark shown beside the
/// node (when there is one), and the model's dataChanged for the node tells
/// assistive tools that it changed.
///
/// Changes are told once the event loop is back, as one batch: the list of
/// shown rows is built at most once for it, and a batch that opens, closes or
/// changes many rows at once (logging a branch re-opens every node) is told
/// as a single change of the tree's children rather than row by row.
void InstallTreeAccessibility();

/// Tells assistive tools that the tree's current row moved (or that the tree
/// gained the focus with a current row).
void NotifyTreeCurrentChanged(THETreeView* view);
/// Tells them that a row was opened or closed.
void NotifyTreeExpansionChanged(THETreeView* view, const QModelIndex& index);

} // namespace zentrix
