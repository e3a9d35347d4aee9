#pragma once

#include <string>

namespace zentrix {

/// Commands that the file window's keys and gestures start but that belong to
/// other windows or later subsystems; the main window runs them.
enum class FileCommand {
    Delete,            // the file menu's "Delete"
    Execute,           // the file menu's "Execute"
    LogDisk,           // the "log disk" command
    ToggleFileTags,    // numeric-pad *
    TagFilesSpecial,   // numeric-pad +
    UnTagFilesSpecial, // numeric-pad -
    SortFileWindow,    // Alt+S: the file popup at (5, 5) of the window
    PopupAtCurrent,    // the menu key: a right click beside the current entry
    ExtendedFileSpec,  // F2 in the specification box
    StopMedia,         // leaving the file window stops any media playback
};

/// What the file window's rules make the windows do. Every call has a harmless
/// default, so the rules run (and are tested) without windows; the file
/// window's controller overrides them.
class FileWindowUi {
public:
    virtual ~FileWindowUi() = default;

    /// The current-directory path label, repainted at once.
    virtual void setCurrDirLabel(const std::string&) {}
    virtual void setFileWindowEnabled(bool) {}
    /// The entry list enters (true) or leaves (false) update mode.
    virtual void setUpdating(bool) {}
    /// The number of entries changed (or the entries were rebuilt).
    virtual void entriesChanged() {}
    /// One entry must be repainted (InvalidateListboxItem).
    virtual void entryChanged(int /*index*/) {}
    /// The current entry moved (the list shows it).
    virtual void currentChanged(int /*index*/) {}
    /// The first row shown, and making a row the first shown (the scroll
    /// position kept while rows come and go above it).
    virtual int topIndex() const { return 0; }
    virtual void setTopIndex(int) {}
    virtual void repaintFileWindow() {}

    virtual bool fileWindowHasFocus() const { return false; }
    virtual bool treeHasFocus() const { return false; }
    virtual void focusFileWindow() {}
    virtual void focusTree() {}
    /// The focus goes back to the control that last had it.
    virtual void restoreFocus() {}
    virtual void scrollTreeSelectionIntoView() {}
    /// Tree window updates locked (true) or released (false).
    virtual void lockTreeUpdates(bool) {}

    /// The maximised state: the tree panel hidden and the drives box disabled
    /// (true), or shown and enabled (false); the drive tools re-laid out.
    virtual void setMaximized(bool) {}
    /// True while the current-file panel is visible.
    virtual bool currentFilePanelVisible() const { return true; }

    /// The model's texts changed; the panels read them from the model.
    virtual void statisticsChanged() {}
    virtual void currentFileChanged() {}
    virtual void fileSpecChanged() {}
    virtual void sortStateChanged() {}
    /// The column count or item height changed.
    virtual void formatChanged() {}

    virtual void focusFileSpecBox() {}
    /// Absolute height of the window's font, in pixels.
    virtual int fontHeight() const { return 13; }
    /// True when a cursor file was being tried out and the normal cursor is now back.
    virtual bool restoreTriedCursor() { return false; }

    virtual void runCommand(FileCommand) {}
};

} // namespace zentrix
