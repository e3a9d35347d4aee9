#pragma once

class QMainWindow;
class QWidget;

namespace zentrix {

/// Makes the main window whole for assistive tools, once its layout and menus
/// are built:
/// - a popup menu the window opens (the file list's, the tree's, the drive
///   list's) is a child of the window while it shows; Qt leaves popups out of
///   the application's windows, so tools walking down from the window never
///   met them;
/// - a focus request for the window activates it and gives the focus back to
///   the pane that had it (`fallback` when that one is gone or hidden), instead
///   of to the window itself;
/// - the parts Qt builds inside its controls get names (NameInternalParts).
void InstallMainWindowAccessibility(QMainWindow* window, QWidget* fallback);

} // namespace zentrix
