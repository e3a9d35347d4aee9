#pragma once

#include "platform/fileuris.h"

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace zentrix {

class AppState;
class Catalogue;
class CatalogueUi;
class DiskLogger;
class OperationJournal;
class OperationRecord;
class Progress;
class Prompter;
class TFileOperator;
class TTreeNode;
class TWDList;
struct Settings;

/// What the directory operations make the windows do; every call has a
/// harmless default.
class DirOpsUi {
public:
    virtual ~DirOpsUi() = default;
    /// The "Make new directory:" page with `text` selected and the caret at its end.
    virtual void showMakeDirPage(const std::string& /*text*/) {}
    /// The "Rename directory to:" page with `text` selected.
    virtual void showRenameDirPage(const std::string& /*text*/) {}
    /// The prune page with an empty box.
    virtual void showPrunePage() {}
    /// Whichever of the three pages is up goes.
    virtual void closePage() {}
    virtual void addMakeDirHistory(const std::string&) {}
    virtual void addRenameDirHistory(const std::string&) {}
    /// Starts editing a node's label in place (the tree's own editor).
    virtual void editNodeLabel(TTreeNode*) {}
    /// True while a tree label is being edited.
    virtual bool labelEditing() const { return false; }
    /// Puts files (host paths) on the desktop's clipboard for other programs;
    /// `cut`: they are to be moved when pasted.
    virtual void putFilesOnClipboard(const std::vector<std::string>& /*hostPaths*/, bool /*cut*/) {}
    /// The files on the desktop's clipboard; none when it holds none.
    virtual std::optional<platform::ClipboardFiles> filesOnClipboard() { return std::nullopt; }
    /// Pastes files of the clipboard into a directory (catalogue path) through
    /// the copy engine; true when the work ran.
    virtual bool pasteFiles(const std::string& /*targetDir*/,
                            const platform::ClipboardFiles& /*files*/) {
        return false;
    }
    virtual void clearClipboard() {}
};

/// The operations on the tree's current directory: cut, copy and paste of a
/// branch, delete of an empty directory, make, rename, prune, and dropping a
/// dragged directory on another one. Each brings the tree and the catalogue
/// into step with the disk and logs through the WatchDog. Main thread only.
///
/// Every question may run the event loop: nodes are held by TNodeRef or found
/// again by path across them.
class DirOps {
public:
    /// All references must outlive the object. `fileOperator` does the copies
    /// and moves of a paste; its flags are set for the call and given back.
    DirOps(Catalogue& catalogue, AppState& state, const Settings& settings, DiskLogger& logger,
           TWDList& watchDog, TFileOperator& fileOperator, Prompter& prompter, Progress& progress,
           CatalogueUi& ui);
    DirOps(const DirOps&) = delete;
    DirOps& operator=(const DirOps&) = delete;

    void SetUi(DirOpsUi* ui) { m_ui = ui ? ui : &m_noUi; }
    /// Where making, renaming and pasting directories are recorded for undo
    /// (not owned; none: nowhere).
    void SetJournal(OperationJournal* journal) { m_journal = journal; }

    // --- the commands -----------------------------------------------------------------
    void DirCut();
    void DirCopy();
    void DirPaste();
    void DeleteDir();
    void MakeNewDir();
    void OK_MakeNewDir(const std::string& text);
    void RenameDir();
    void OK_RenameDir(const std::string& text);
    void PruneDir();
    void bbPruneOKClick();
    /// The commands by the names the menus use.
    std::map<std::string, std::function<void()>> Commands();

    /// The tree received the focus: Delete is ignored until the program was idle.
    void TreeFocused() { m_idleSinceTreeFocus = false; }
    /// The program ran idle.
    void Idle() { m_idleSinceTreeFocus = true; }

    /// A page was left with Cancel: back to the tree, nothing touched.
    void PageCancelled();

    // --- the prune box ------------------------------------------------------------------
    /// What the box does with a typed text: the text upper-cased, whether the
    /// page stays (the text is a beginning of "PRUNE") and whether OK is enabled.
    struct PruneBox {
        std::string text;
        bool stays = true;
        bool okEnabled = false;
    };
    static PruneBox PruneText(const std::string& typed);
    /// The box changed: the page goes when the text can no longer become "PRUNE".
    PruneBox edPruneChange(const std::string& typed);

    // --- the in-place label edit -----------------------------------------------------------
    /// The label edit renamed a directory (paths without trailing backslash):
    /// logged as a new directory when the make command started the edit, as a
    /// rename otherwise.
    void LabelRenamed(const std::string& oldPath, const std::string& newPath);

    // --- dragging -----------------------------------------------------------------------
    /// A drag of a directory started: its path becomes the clipboard.
    void DragStarted(const std::string& path, bool copy);
    /// The dragged directory (its path with trailing backslash) dropped on a node.
    void DropDirectory(const std::string& source, bool copy, TTreeNode* target);

    // --- state (for the windows and tests) ----------------------------------------------
    const std::string& Clipboard() const { return m_clipboard; }
    bool ClipboardCopies() const { return m_copy; }
    bool NewDirMarker() const { return m_newDirMarker; }

    /// "New directory (n)" with the smallest n from 0 that no child of the node
    /// carries (case ignored).
    static std::string DefaultNewDirName(const TTreeNode* node);
    /// The directory shown just above a node in the tree (its previous
    /// sibling's last open descendant, or its parent); none for the first root.
    static TTreeNode* NodeAbove(TTreeNode* node);

    /// Sees every file the prune deletes and may stop it (tests pace a prune).
    std::function<void(const std::string& hostPath)> OnPruneFile;

    static constexpr const char* kNotLogged = "Directory not logged!     ";

private:
    void mark(bool copy);
    /// Done: every item went; Skipped: the user left some where they were;
    /// Failed: an item could not go, or the user cancelled.
    enum class PasteResult { Done, Skipped, Failed };
    /// Copies or moves a branch (a link as a link) through the file operator.
    PasteResult pasteBranch(const std::string& source, const std::string& target, bool copy);
    /// Prune of a link to a directory: the link goes, never what it points to.
    void pruneLink(TTreeNode* node, const std::string& host);
    /// Empties a directory of the branch (files deleted, subdirectories emptied
    /// and removed); false at the first failure or when stopped, with the path
    /// and the reason in m_pruneProblem.
    bool pruneContents(const std::string& hostDir, const std::string& cataloguePath,
                       uint64_t device, int64_t& done, bool logging);
    void pruneEnd();
    /// A node for a directory just made under `parent`, in its sorted place;
    /// the parent is opened when `expand`.
    TTreeNode* addDirNode(TTreeNode* parent, const std::string& name, bool hasChildren,
                          bool expand);
    /// An empty text on a page: the page goes, with the completion sound.
    bool closedOnEmpty(const std::string& text);
    /// Records one step of the command running: a directory made or removed
    /// (`from` empty or `to` empty) or renamed; host paths.
    void recordDirectory(const std::string& from, const std::string& to);

    Catalogue& m_cat;
    AppState& m_state;
    const Settings& m_settings;
    DiskLogger& m_logger;
    TWDList& m_wd;
    TFileOperator& m_operator;
    Prompter& m_prompter;
    Progress& m_progress;
    CatalogueUi& m_catUi;
    DirOpsUi m_noUi;
    DirOpsUi* m_ui = &m_noUi;
    OperationJournal* m_journal = nullptr;
    OperationRecord* m_record = nullptr; // of the command running

    /// True when the desktop's clipboard holds what the last cut or copy of a
    /// directory put there.
    bool clipboardIsOwnMark(const platform::ClipboardFiles& files) const;

    std::string m_clipboard;
    bool m_copy = false;
    std::string m_pruneProblem; // what ended the last prune early
    bool m_newDirMarker = false;
    bool m_idleSinceTreeFocus = true;
};

} // namespace zentrix
