#pragma once

#include <string>

namespace zentrix {

/// What the tag commands need from the windows beyond the file window's own
/// side (FileWindowUi). Every call has a harmless default, so the commands run
/// (and are tested) without windows; the tagging controller overrides them.
class TaggingUi {
public:
    virtual ~TaggingUi() = default;

    /// A Down key press and release sent to the file window: the next entry
    /// becomes current (the last entry stays current).
    virtual void moveToNextEntry() {}
    /// A Down key press and release sent to the tree: the next directory is
    /// selected and, through the key release, the file window refilled with it.
    virtual void moveToNextDirectory() {}

    /// Runs the special-tag dialog (TSpecTagForm) with its caption, modally.
    /// The dialog sets `selectionSpec` to "*.*" when it is created and to its
    /// box's text whenever that is committed. True for "&OK".
    virtual bool runSpecTagForm(const std::string& /*caption*/, std::string& /*selectionSpec*/) {
        return false;
    }

    /// Shows the attributes page of the command strip (ts_FC_FileAttr) with its
    /// panel caption and puts the focus into hbFilesAttrHistory.
    virtual void showAttributePage(const std::string& /*caption*/) {}
    /// The attributes page is done with (after its "&OK" or "&Cancel").
    virtual void closeAttributePage() {}
    /// Adds a text to hbFilesAttrHistory's history.
    virtual void addAttributeHistory(const std::string&) {}

    /// True while the file window is enabled (the focus cannot go to it otherwise).
    virtual bool fileWindowEnabled() const { return true; }
};

} // namespace zentrix
