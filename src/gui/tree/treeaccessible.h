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
void InstallTreeAccessibility();

/// Tells assistive tools that the tree's current row moved (or that the tree
/// gained the focus with a current row).
void NotifyTreeCurrentChanged(THETreeView* view);
/// Tells them that a row was opened or closed.
void NotifyTreeExpansionChanged(THETreeView* view, const QModelIndex& index);

} // namespace zentrix
