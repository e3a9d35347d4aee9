#pragma once

#include <string>

namespace zentrix {

class TTreeNode;

/// What the logging operations make the windows do. Every call has a harmless
/// default, so core runs (and is tested) without windows; the main window
/// overrides what it shows.
class CatalogueUi {
public:
    virtual ~CatalogueUi() = default;

    /// The application title (taskbar text), e.g. "Logging disk D: ...".
    virtual void setAppTitle(const std::string&) {}
    /// The current-directory label, repainted at once ("Please wait ...").
    virtual void setCurrDirLabel(const std::string&) {}
    /// Empties the file window at once.
    virtual void emptyFileWindow() {}
    /// True when the file window holds entries.
    virtual bool fileWindowHasEntries() const { return false; }
    /// Moves the focus to the file window / the tree.
    virtual void focusFileWindow() {}
    virtual void focusTree() {}
    virtual void repaintTree() {}
    virtual void repaintMainWindow() {}
    /// Freezes (true) or resumes (false) painting of the tree.
    virtual void freezeTree(bool) {}
    virtual void scrollIntoView(TTreeNode*) {}
    /// Makes the node the tree's top visible item.
    virtual void makeTopItem(TTreeNode*) {}
    /// The disk information panel for the current disk (after AppState changed).
    virtual void updateDiskInfo() {}
    /// The statistics beside the file window.
    virtual void updateStatistics() {}
    /// The drive list, rebuilt (after a network disk was unmapped).
    virtual void refreshDriveList() {}
    /// Adds a path to the recent-directories list.
    virtual void addRecentDir(const std::string&) {}
    /// Plays the completion sound, when the settings ask for it.
    virtual void playCompletionSound() {}
};

} // namespace zentrix
