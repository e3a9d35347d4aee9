#pragma once

namespace zentrix {

class TVirtualListBox;

/// Makes the file list visible to assistive tools: the list reports its
/// visible rows as children, each with its text, whether it is the current
/// row and whether it is tagged. Installs the factory once.
void InstallFileListAccessibility();

/// Tells assistive tools that the current row of the list moved.
void NotifyCurrentRowChanged(TVirtualListBox* list);

} // namespace zentrix
