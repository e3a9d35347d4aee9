#pragma once

#include <functional>
#include <string>

namespace zentrix {

class AppState;
class Catalogue;
class CatalogueUi;
class DiskLogger;
class LoggedDiskTabs;
class Prompter;
struct Settings;
class TTreeNode;

/// Keys as the tree sees them: a key code plus a modifier code when exactly one
/// modifier is held (Shift 256, Alt 512, Ctrl 1024).
enum TreeKey : int {
    kKeyBackspace = 8,
    kKeyEnter = 13,
    kKeyUp = 38,
    kKeyDown = 40,
    kKeyDelete = 46,
    kKeyNumMultiply = 106,
    kKeyNumAdd = 107,
    kKeyNumSubtract = 109,
    kKeyF2 = 113,
    kKeyContextMenu = 93,
    kModShift = 256,
    kModAlt = 512,
    kModCtrl = 1024,
};

/// What the tree window's keys and characters ask for.
enum class TreeAction {
    None,          // not handled here: the tree's own handling goes on
    Discard,       // swallowed
    TypeAhead,     // a capital letter for the tree's own search
    ContextMenu,
    SelectParent,
    LogOneLevel,
    DeleteDir,     // the key is not consumed
    LogDisk,
    LogBranchAndExpand, // numeric-pad star: branch, then open one level
    LogBranch,          // the "*" character
    Unlog,
    BrowseDirectory,
    PrevSibling,
    NextSibling,
    PrevDisk,
    NextDisk,
};

/// The directory tree's events and the commands on the tree as a whole, as
/// plain rules; the tree window turns widget events into these calls.
class TreeCommands {
public:
    TreeCommands(Catalogue& catalogue, AppState& state, const Settings& settings,
                 DiskLogger& logger, LoggedDiskTabs& tabs, Prompter& prompter, CatalogueUi& ui);

    /// The modifier code of a key: exactly one of Shift, Alt, Ctrl held adds its
    /// code; none or several add nothing. Ctrl and Alt alone get none.
    static int KeyCode(int key, bool shift, bool alt, bool ctrl);
    /// The action of a key-down (a key code with its modifier code).
    static TreeAction KeyDownAction(int keyCode);
    /// The action of a typed character (after key-down did not handle it).
    static TreeAction KeyPressAction(char32_t character);
    /// Runs an action on the selected node. Returns false for None/TypeAhead/
    /// DeleteDir (the key goes on to the tree).
    bool Run(TreeAction action);

    /// Key up, mouse up or click: a finished move becomes a refill request.
    void SelectionSettled();
    /// Expansion is allowed only while no file operation runs; an unlogged node
    /// is selected and logged one level first. False also when selecting it
    /// released its disk: the node is gone then.
    bool Expanding(TTreeNode* node);
    /// Collapse is allowed only while no file operation runs; closing forgets
    /// the branch.
    bool Collapsing(TTreeNode* node);
    /// After a collapse: a node that is still logged becomes selected.
    void Collapsed(TTreeNode* node);
    void DoubleClick();

    /// "Go to parent directory ...": with the tree focused and a parent there.
    void DirUp(bool treeHasFocus);
    /// "&Collapse all disks": every disk keeps only its root, unlogged and closed.
    void CollapseAllDrives();

    /// Whether a label edit may start on the node (asks about protected
    /// directories).
    bool CanStartLabelEdit(TTreeNode* node);
    /// The label edit ended with a new text: renames the directory on disk.
    /// False (after "Cannot rename directory!     ") when that failed.
    bool FinishLabelEdit(TTreeNode* node, const std::string& newText);

    /// Next and previous logged disk.
    void NextDisk();
    void PrevDisk();
    /// A click on a tab: the disk's root.
    void TabClicked(char letter);

    /// Whether a directory (its path as the tree gives it) is one the system
    /// needs; the label edit asks before renaming those. None protects nothing.
    std::function<bool(const std::string& dirPath)> IsProtectedDirectory;
    /// A directory was renamed on disk by the label edit: its old and new path,
    /// without trailing backslash (for the operations log).
    std::function<void(const std::string& oldPath, const std::string& newPath)> DirectoryRenamed;

private:
    void selectAsTop(TTreeNode* target);

    Catalogue& m_cat;
    AppState& m_state;
    const Settings& m_settings;
    DiskLogger& m_logger;
    LoggedDiskTabs& m_tabs;
    Prompter& m_prompter;
    CatalogueUi& m_ui;
};

} // namespace zentrix
