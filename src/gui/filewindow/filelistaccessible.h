#pragma once

namespace zentrix {

class TVirtualListBox;

/// Makes the file list visible to assistive tools: the list reports its
/// visible rows as children, each with its text as name, what its other
/// columns show as description, whether it is the current row, and its tag as
/// its checked state. Installs the factory once.
void InstallFileListAccessibility();

/// Tells assistive tools of the shown rows whose tag changed since the list
/// last looked (a state change of each); `entriesReplaced` after a fill or a
/// sort, when the rows shown are other entries than before and nothing is
/// told. The list looks after every repaint of an entry or of the window and
/// whenever its current row moves.
void NotifyRowTagsChanged(TVirtualListBox* list, bool entriesReplaced = false);

/// Tells assistive tools that the current row of the list moved.
void NotifyCurrentRowChanged(TVirtualListBox* list);

} // namespace zentrix
