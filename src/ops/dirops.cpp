#include "ops/dirops.h"

#include "catalogue/catalogue.h"
#include "catalogue/catalogueui.h"
#include "catalogue/disklogger.h"
#include "catalogue/noderef.h"
#include "catalogue/tree.h"
#include "catalogue/treenode.h"
#include "config/settings.h"
#include "core/appstate.h"
#include "core/progress.h"
#include "core/prompter.h"
#include "core/text.h"
#include "ops/operationjournal.h"
#include "ops/runguards.h"
#include "ops/tfileoperator.h"
#include "ops/twdlist.h"
#include "platform/drivetable.h"
#include "platform/filetransfer.h"
#include "platform/hostname.h"

#include <algorithm>
#include <cerrno>
#include <optional>

namespace zentrix {
namespace {

using platform::DirHandle;
using platform::EntryKind;
using platform::EntryStat;

constexpr const char* kPruneWord = "PRUNE";

std::string withoutBackslash(std::string path) {
    if (path.size() > 3 && path.back() == '\\')
        path.pop_back();
    return path;
}

std::string lastComponent(const std::string& pathWithoutBackslash) {
    const size_t sep = pathWithoutBackslash.find_last_of('\\');
    return sep == std::string::npos ? pathWithoutBackslash : pathWithoutBackslash.substr(sep + 1);
}

/// A name the user typed for a directory: one component, nothing that walks.
bool validName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of("\\/") == std::string::npos && name.find('\0') == std::string::npos;
}

std::string hostParent(const std::string& hostPath) {
    const size_t slash = hostPath.find_last_of('/');
    return slash == 0 ? "/" : hostPath.substr(0, slash);
}

std::string hostBase(const std::string& hostPath) {
    return hostPath.substr(hostPath.find_last_of('/') + 1);
}

/// "<path>: <the system's reason>" for the informative line of a message.
std::string because(const std::string& path, int error) {
    return path + ": " + platform::ErrorText(error);
}

std::string badName(const std::string& name) {
    return "\"" + name + "\" is no name a directory can have here";
}

/// Why a command that needs a read directory refused.
std::string notLoggedProblem(const TTreeNode* node, const std::string& remedy) {
    return node->Path() + ": not read yet; " + remedy;
}

/// Makes one directory (never its parents); 0 or the errno.
int makeDirectory(const std::string& hostPath) {
    DirHandle parent;
    if (int e = DirHandle::Open(hostParent(hostPath), parent))
        return e;
    return parent.MakeDir(hostBase(hostPath), 0777);
}

/// Removes one empty directory; 0 or the errno.
int removeDirectory(const std::string& hostPath) {
    DirHandle parent;
    if (int e = DirHandle::Open(hostParent(hostPath), parent))
        return e;
    return parent.RemoveDir(hostBase(hostPath));
}

/// Renames a directory, never over an existing entry; 0 or the errno (EXDEV:
/// another file system).
int renameDirectory(const std::string& from, const std::string& to) {
    DirHandle fromParent, toParent;
    if (int e = DirHandle::Open(hostParent(from), fromParent))
        return e;
    if (int e = DirHandle::Open(hostParent(to), toParent))
        return e;
    return fromParent.Rename(hostBase(from), toParent, hostBase(to), false);
}

/// The path with the links of its directories resolved, not a final link.
std::string resolvedEntry(const std::string& hostPath) {
    const std::string parent = platform::ResolvedPath(hostParent(hostPath));
    return (parent == "/" ? parent : parent + "/") + hostBase(hostPath);
}

bool insideOrSame(const std::string& path, const std::string& dir) {
    if (path == dir)
        return true;
    const std::string prefix = dir == "/" ? dir : dir + "/";
    return path.compare(0, prefix.size(), prefix) == 0;
}

} // namespace

void DirOps::recordDirectory(const std::string& from, const std::string& to) {
    if (!m_record)
        return;
    DoneStep step;
    step.kind = from.empty() ? DoneStep::Kind::MadeDir
                : to.empty() ? DoneStep::Kind::RemovedDir
                             : DoneStep::Kind::Moved;
    step.source = from;
    step.target = to;
    if (!to.empty())
        platform::StatPath(to, step.result);
    m_record->Done(step);
}

DirOps::DirOps(Catalogue& catalogue, AppState& state, const Settings& settings, DiskLogger& logger,
               TWDList& watchDog, TFileOperator& fileOperator, Prompter& prompter,
               Progress& progress, CatalogueUi& ui)
    : m_cat(catalogue), m_state(state), m_settings(settings), m_logger(logger), m_wd(watchDog),
      m_operator(fileOperator), m_prompter(prompter), m_progress(progress), m_catUi(ui) {}

std::map<std::string, std::function<void()>> DirOps::Commands() {
    return {
        {"DirCut",
         [this] {
             DirCut();
         }},
        {"DirCopy",
         [this] {
             DirCopy();
         }},
        {"DirPaste",
         [this] {
             DirPaste();
         }},
        {"DeleteDir",
         [this] {
             DeleteDir();
         }},
        {"MakeNewDir",
         [this] {
             MakeNewDir();
         }},
        {"RenameDir",
         [this] {
             RenameDir();
         }},
        {"PruneDir",
         [this] {
             PruneDir();
         }},
    };
}

std::string DirOps::DefaultNewDirName(const TTreeNode* node) {
    for (int n = 0;; ++n) {
        const std::string name = "New directory (" + std::to_string(n) + ")";
        bool taken = false;
        for (int i = 0; node && i < node->Count() && !taken; ++i)
            taken = EqualsIgnoreCase(node->Item(i)->Text(), name);
        if (!taken)
            return name;
    }
}

TTreeNode* DirOps::NodeAbove(TTreeNode* node) {
    if (!node)
        return nullptr;
    TTreeNode* prev = node->PrevSibling();
    if (!prev)
        return node->Parent();
    while (prev->Expanded() && prev->Count() > 0)
        prev = prev->Item(prev->Count() - 1);
    return prev;
}

void DirOps::PageCancelled() {
    m_ui->closePage();
    m_catUi.focusTree();
}

// --- cut, copy and paste ----------------------------------------------------------------------

void DirOps::mark(bool copy) {
    TTreeNode* node = m_cat.Tree().Selected();
    if (!node)
        return;
    if (!node->Parent()) {
        m_prompter.inform(copy ? "Cannot copy root!     " : "Cannot cut root!     ");
        return;
    }
    m_clipboard = node->Path();
    m_copy = copy;
    // Other programs get the directory from the desktop's clipboard too.
    if (const auto host = m_cat.Drives().ToHostPath(withoutBackslash(m_clipboard)))
        m_ui->putFilesOnClipboard({*host}, !copy);
}

bool DirOps::clipboardIsOwnMark(const platform::ClipboardFiles& files) const {
    if (m_clipboard.empty() || files.paths.size() != 1 || files.cut == m_copy)
        return false;
    const auto host = m_cat.Drives().ToHostPath(withoutBackslash(m_clipboard));
    return host && *host == files.paths.front();
}

void DirOps::DirCut() {
    mark(false);
}

void DirOps::DirCopy() {
    mark(true);
}

DirOps::PasteResult DirOps::pasteBranch(const std::string& source, const std::string& target,
                                        bool copy) {
    // The branch goes as one item, so its directories are made with their
    // sources' modes, owners, times and attributes, and a link goes as a link.
    // A move takes the empty directories along (leaving them behind would lose
    // them); a copy leaves out those that end up with no files.
    const FileOperation oldOperation = m_operator.Operation;
    const FileOpFlags oldFlags = m_operator.Flags;
    const bool oldKeep = m_operator.KeepEmptyDirectories;
    m_operator.Operation = copy ? FileOperation::foCopy : FileOperation::foMove;
    m_operator.Flags.add(FileOpFlag::foFilesOnly)
        .add(FileOpFlag::foMultiDestFiles)
        .add(FileOpFlag::foNoConfirmMkDir);
    m_operator.KeepEmptyDirectories = !copy;
    m_operator.SetSources({source});
    m_operator.SetDestinations({target});
    m_operator.Record = m_record;
    const bool done = m_operator.Execute();
    m_operator.Record = nullptr;
    m_operator.Operation = oldOperation;
    m_operator.Flags = oldFlags;
    m_operator.KeepEmptyDirectories = oldKeep;
    if (done)
        return PasteResult::Done;
    return m_operator.Aborted() || m_operator.Failed() ? PasteResult::Failed : PasteResult::Skipped;
}

void DirOps::DirPaste() {
    if (m_state.fileOperationRunning)
        return;
    TTreeNode* current = m_cat.Tree().Selected();
    if (!current)
        return;
    // Files and directories put on the desktop's clipboard since (by another
    // program, or the file window) go through the copy engine; a cut is
    // taken off the clipboard once pasted.
    if (const auto files = m_ui->filesOnClipboard(); files && !clipboardIsOwnMark(*files)) {
        if (m_ui->pasteFiles(current->Path(), *files) && files->cut)
            m_ui->clearClipboard();
        return;
    }
    if (m_clipboard.empty()) {
        m_prompter.inform("Copy from directory is unknown!     ");
        return;
    }
    const platform::DriveTable& drives = m_cat.Drives();
    const auto sourceHost = drives.ToHostPath(m_clipboard);
    EntryStat st;
    if (!sourceHost || platform::StatPath(*sourceHost, st, true) != 0 ||
        st.kind != EntryKind::Directory) {
        m_prompter.inform("Directory " + m_clipboard + " doesn't exist!     ");
        return;
    }
    const std::string source = withoutBackslash(m_clipboard);
    const std::string name = lastComponent(source);
    const std::string target = current->Path() + name;
    const auto currentHost = m_cat.HostPath(current);
    if (!currentHost)
        return;
    // Nothing is written when the target is the source or lies inside it (also
    // through links). A link is an entry of its own, wherever it points: it is
    // pasted as a link, and never read through.
    EntryStat own;
    const bool link = platform::StatPath(*sourceHost, own) == 0 && own.kind == EntryKind::Symlink;
    const std::string targetEntry = *currentHost + "/" + platform::UnescapeName(name);
    const std::string resolvedSource =
        link ? resolvedEntry(*sourceHost) : platform::ResolvedPath(*sourceHost);
    const std::string resolvedTarget =
        link ? resolvedEntry(targetEntry) : platform::ResolvedPath(targetEntry);
    if (resolvedTarget == resolvedSource) {
        m_prompter.inform("Dir already exists there!     ");
        return;
    }
    if (!link && insideOrSame(platform::ResolvedPath(*currentHost), resolvedSource)) {
        m_prompter.inform("Cannot paste a directory into itself!     ");
        return;
    }

    const bool copy = m_copy;
    const bool acrossDrives = UpperCase(source.substr(0, 1)) != UpperCase(target.substr(0, 1));
    TNodeRef currentRef(current);
    bool aborted = false;
    bool movedByItems = false;
    {
        FlagGuard running(m_state.fileOperationRunning);
        BusyGuard busy(m_state);
        RecordScope undo(m_operator.Flags.has(FileOpFlag::foAllowUndo) ? m_journal : nullptr,
                         m_record,
                         {copy ? OperationKind::CopyDir : OperationKind::MoveDir, m_clipboard,
                          current->Path(), 0});
        const auto targetHost = drives.ToHostPath(target);
        int renameError = ENOENT;
        if (!copy && !acrossDrives && targetHost)
            renameError = renameDirectory(*sourceHost, *targetHost);
        const bool renamed = !copy && !acrossDrives && renameError == 0;
        if (renamed)
            recordDirectory(*sourceHost, *targetHost);
        if (renamed) {
            if (TTreeNode* sourceNode = m_logger.FindNodeByPath(m_clipboard)) {
                m_logger.UnlogBranch(sourceNode);
                m_cat.Tree().DeleteNode(sourceNode);
            }
        } else if (!copy && !acrossDrives && renameError != EXDEV) {
            m_prompter.informWith(
                "could not move directory!",
                because(*sourceHost + " to " + targetHost.value_or(target), renameError));
            aborted = true;
        } else {
            // A copy, or a move to another file system: through the file
            // operator, which asks before it replaces anything. Files the user
            // chose to skip leave the paste complete; a failure or a cancel is
            // an abort.
            aborted = pasteBranch(source, target, copy) == PasteResult::Failed;
            movedByItems = !copy;
        }

        // The target's node: re-read when known, else made when the disk has it.
        if (!currentRef) {
            // The questions let events through; the tree may have changed.
        } else if (TTreeNode* targetNode = m_logger.FindNodeByPath(target + "\\")) {
            m_logger.UnlogBranch(targetNode);
        } else if (targetHost && platform::StatPath(*targetHost, st, true) == 0) {
            TTreeNode* parent = currentRef.get();
            TTreeNode* added = addDirNode(parent, name, true, parent->Logged());
            if (link)
                m_cat.Tree().SetLink(added, true);
        }

        if (aborted)
            m_prompter.inform("Operation aborted!     ");
        // A directory cut and moved is no longer on offer to other programs.
        if (!copy && !aborted)
            if (const auto files = m_ui->filesOnClipboard(); files && clipboardIsOwnMark(*files))
                m_ui->clearClipboard();
        if (movedByItems) {
            // Each item left its source as it arrived: the source's node goes
            // with the source, or is read again for what stayed.
            if (TTreeNode* sourceNode = m_logger.FindNodeByPath(m_clipboard)) {
                m_logger.UnlogBranch(sourceNode);
                if (platform::StatPath(*sourceHost, st) == ENOENT)
                    if (TTreeNode* gone = m_logger.FindNodeByPath(m_clipboard))
                        m_cat.Tree().DeleteNode(gone);
            }
        }
    }
    m_catUi.updateStatistics();
    if (currentRef)
        m_catUi.scrollIntoView(currentRef.get());
    m_state.requestRefill();
    m_catUi.playCompletionSound();
}

// --- delete an empty directory ---------------------------------------------------------------

void DirOps::DeleteDir() {
    if (!m_idleSinceTreeFocus || m_state.fileOperationRunning)
        return;
    TTreeNode* node = m_cat.Tree().Selected();
    if (!node)
        return;
    if (!node->Parent()) {
        m_prompter.inform("Cannot delete root directory!     ");
        return;
    }
    const auto host = m_cat.HostPath(node);
    if (!host)
        return;
    DirHandle dir;
    std::vector<std::string> names;
    if (DirHandle::Open(*host, dir) == 0 && dir.List(names) == 0 && !names.empty()) {
        // Hidden entries are what the tree and the file window may not show.
        std::sort(names.begin(), names.end());
        m_prompter.informWith("Directory not empty!     ",
                              *host + ": holds " + std::to_string(names.size()) +
                                  (names.size() == 1 ? " entry, " : " entries, such as ") + "\"" +
                                  names.front() + "\"");
        return;
    }
    const std::string path = node->Path();
    TNodeRef ref(node);
    if (!m_prompter.askOkCancel("Delete directory?") || !ref)
        return;
    node = ref.get();
    TNodeRef next(node->PrevSibling() ? node->PrevSibling() : node->Parent());
    m_logger.UnlogBranch(node);
    if (const int error = removeDirectory(*host); error == 0) {
        m_wd.LogSingle(WDOperation::DeleteDirectory, withoutBackslash(path));
        if (ref)
            m_cat.Tree().DeleteNode(ref.get());
        if (next)
            m_cat.Tree().Select(next.get());
    } else {
        m_prompter.informWith("Could not remove directory!     ", because(*host, error));
    }
    m_catUi.updateStatistics();
}

// --- make a new directory -----------------------------------------------------------------------

void DirOps::MakeNewDir() {
    if (m_state.fileOperationRunning)
        return;
    TTreeNode* node = m_cat.Tree().Selected();
    if (!node)
        return;
    if (!node->Logged()) {
        m_prompter.informWith(kNotLogged, notLoggedProblem(node, "Enter in the tree reads it"));
        return;
    }
    const std::string name = DefaultNewDirName(node);
    if (!m_settings.WinMakeDir) {
        m_ui->showMakeDirPage(name);
        return;
    }
    const auto host = m_cat.Drives().ToHostPath(node->Path() + name);
    const int error = host ? makeDirectory(*host) : ENOENT;
    if (error != 0) {
        m_prompter.informWith("New directory creation failed!     ",
                              because(host.value_or(node->Path() + name), error));
        return;
    }
    {
        RecordScope undo(m_journal, m_record,
                         {OperationKind::MakeDir, {}, node->Path() + name + "\\", 0});
        recordDirectory({}, *host);
    }
    TTreeNode* child = addDirNode(node, name, false, true);
    TNodeRef ref(child);
    m_cat.Tree().Select(child);
    if (!ref)
        return;
    m_catUi.scrollIntoView(ref.get());
    m_newDirMarker = true;
    m_ui->editNodeLabel(ref.get());
}

bool DirOps::closedOnEmpty(const std::string& text) {
    if (!text.empty())
        return false;
    m_ui->closePage();
    m_catUi.playCompletionSound();
    m_catUi.focusTree();
    return true;
}

TTreeNode* DirOps::addDirNode(TTreeNode* parent, const std::string& name, bool hasChildren,
                              bool expand) {
    TTree& tree = m_cat.Tree();
    TTreeNode* child = tree.AddChild(parent, name);
    if (hasChildren)
        tree.SetHasChildren(child, true);
    m_logger.SetNodeImages(child);
    tree.SortChildren(parent);
    if (expand)
        tree.SetExpanded(parent, true);
    return child;
}

void DirOps::OK_MakeNewDir(const std::string& text) {
    if (closedOnEmpty(text))
        return;
    TTreeNode* node = m_cat.Tree().Selected();
    if (!node)
        return;
    const auto host = m_cat.Drives().ToHostPath(node->Path() + text);
    if (!validName(text) || !host) {
        m_prompter.informWith("New directory creation failed!     ", badName(text));
        return;
    }
    if (const int error = makeDirectory(*host)) {
        m_prompter.informWith("New directory creation failed!     ", because(*host, error));
        return;
    }
    {
        RecordScope undo(m_journal, m_record,
                         {OperationKind::MakeDir, {}, node->Path() + text + "\\", 0});
        recordDirectory({}, *host);
    }
    m_ui->closePage();
    m_ui->addMakeDirHistory(text);
    TTreeNode* child = addDirNode(node, text, false, true);
    const std::string path = child->Path();
    TNodeRef ref(child);
    m_cat.Tree().Select(child);
    if (ref)
        m_catUi.scrollIntoView(ref.get());
    m_catUi.focusTree();
    m_wd.LogSingle(WDOperation::NewDirectory, path);
}

// --- rename -------------------------------------------------------------------------------------

void DirOps::RenameDir() {
    if (m_ui->labelEditing() || m_state.fileOperationRunning)
        return;
    TTreeNode* node = m_cat.Tree().Selected();
    if (!node)
        return;
    if (!node->Parent()) {
        m_prompter.inform("Cannot rename root directory!     ");
        return;
    }
    if (m_settings.WinRenameDir) {
        m_newDirMarker = false;
        m_ui->editNodeLabel(node);
        return;
    }
    m_ui->showRenameDirPage(std::string(node->Text()));
}

void DirOps::OK_RenameDir(const std::string& text) {
    if (closedOnEmpty(text))
        return;
    TTreeNode* node = m_cat.Tree().Selected();
    if (!node || !node->Parent())
        return;
    const std::string oldPath = withoutBackslash(node->Path());
    const std::string newPath = node->Parent()->Path() + text;
    const auto from = m_cat.Drives().ToHostPath(oldPath);
    const auto to = m_cat.Drives().ToHostPath(newPath);
    if (text != node->Text()) {
        if (!validName(text) || !from || !to) {
            m_prompter.informWith("Cannot rename directory!     ", badName(text));
            return;
        }
        if (const int error = renameDirectory(*from, *to)) {
            m_prompter.informWith("Cannot rename directory!     ",
                                  because(*from + " to " + *to, error));
            return;
        }
    }
    if (text != node->Text()) {
        RecordScope undo(m_journal, m_record,
                         {OperationKind::RenameDir, oldPath + "\\", newPath + "\\", 0});
        recordDirectory(*from, *to);
    }
    m_ui->closePage();
    m_ui->addRenameDirHistory(text);
    TTree& tree = m_cat.Tree();
    tree.SetText(node, text);
    tree.SortChildren(node->Parent());
    m_wd.LogSingle(WDOperation::RenameDirectory, oldPath, newPath);
    m_catUi.focusTree();
    m_catUi.updateStatistics();
    // The records below keep their names; the window's full names changed.
    m_state.requestRefill();
}

void DirOps::LabelRenamed(const std::string& oldPath, const std::string& newPath) {
    const auto from = m_cat.Drives().ToHostPath(oldPath);
    const auto to = m_cat.Drives().ToHostPath(newPath);
    if (from && to && *from != *to) {
        RecordScope undo(m_journal, m_record,
                         {OperationKind::RenameDir, oldPath + "\\", newPath + "\\", 0});
        recordDirectory(*from, *to);
    }
    if (m_newDirMarker)
        m_wd.LogSingle(WDOperation::NewDirectory, newPath);
    else
        m_wd.LogSingle(WDOperation::RenameDirectory, oldPath, newPath);
    m_newDirMarker = false;
    m_state.requestRefill();
}

// --- prune ---------------------------------------------------------------------------------------

DirOps::PruneBox DirOps::PruneText(const std::string& typed) {
    PruneBox box;
    box.text = UpperCase(typed);
    const std::string word = kPruneWord;
    box.stays = box.text.size() <= word.size() && word.compare(0, box.text.size(), box.text) == 0;
    box.okEnabled = box.text == word;
    return box;
}

DirOps::PruneBox DirOps::edPruneChange(const std::string& typed) {
    PruneBox box = PruneText(typed);
    if (!box.stays) {
        m_ui->closePage();
        m_catUi.focusTree();
    }
    return box;
}

void DirOps::PruneDir() {
    if (m_state.fileOperationRunning)
        return;
    TTreeNode* node = m_cat.Tree().Selected();
    if (!node)
        return;
    // Links are removed as links: what lies behind them needs no reading.
    const TTreeNode* unlogged = nullptr;
    TTree::PreOrder(node, [&unlogged](TTreeNode* n) {
        if (!n->Logged() && !n->IsLink())
            unlogged = n;
        return unlogged == nullptr;
    });
    if (unlogged) {
        m_prompter.informWith(
            kNotLogged, notLoggedProblem(unlogged, "Log Branch (Alt+B) reads the whole branch"));
        return;
    }
    m_ui->showPrunePage();
}

void DirOps::pruneEnd() {
    m_catUi.focusTree();
}

bool DirOps::pruneContents(const std::string& hostDir, const std::string& cataloguePath,
                           uint64_t device, int64_t& done, bool logging) {
    // Everything is reached through the directory's own descriptor, never by
    // path: a directory swapped for a link meanwhile is removed as a link.
    // The first failure (or STOP) ends the whole prune.
    struct Level {
        DirHandle dir;
        std::string catalogue;
        std::vector<std::pair<std::string, EntryKind>> entries;
        size_t next = 0;
    };
    std::vector<Level> stack;
    // What ended the prune, for the message that says so.
    auto fail = [this](const std::string& path, int error) {
        m_pruneProblem = because(path, error);
        return false;
    };
    m_pruneProblem.clear();
    {
        Level top;
        if (int e = DirHandle::Open(hostDir, top.dir))
            return fail(cataloguePath, e);
        if (int e = top.dir.List(top.entries))
            return fail(cataloguePath, e);
        std::sort(top.entries.begin(), top.entries.end());
        top.catalogue = cataloguePath;
        stack.push_back(std::move(top));
    }
    auto stopped = [this] {
        m_progress.pump();
        return m_progress.aborted();
    };
    while (!stack.empty()) {
        Level& level = stack.back();
        if (level.next == level.entries.size()) {
            // Emptied: the parent removes it.
            std::string catalogue = level.catalogue;
            stack.pop_back();
            if (stack.empty())
                return true;
            Level& parent = stack.back();
            const std::string& name = parent.entries[parent.next - 1].first;
            if (int e = parent.dir.RemoveDir(name))
                return fail(catalogue, e);
            if (logging)
                m_wd.WatchDogWrite(catalogue, {}, 0, WDOperation::PruneDirectory);
            continue;
        }
        const std::string name = level.entries[level.next++].first;
        const std::string path = level.catalogue + platform::EscapeHostName(name);
        EntryStat st;
        if (int e = level.dir.Stat(name, st))
            return fail(path, e);
        if (st.kind == EntryKind::Directory) {
            if (st.device != device) {
                // Another file system mounted inside: left alone.
                m_pruneProblem = path + ": another file system is mounted there";
                return false;
            }
            Level child;
            const int e = level.dir.OpenChild(name, child.dir);
            if (e == ELOOP || e == ENOTDIR) {
                // Swapped for a link or a file since it was looked at.
                if (int r = level.dir.RemoveFile(name))
                    return fail(path, r);
                continue;
            }
            if (e != 0)
                return fail(path, e);
            if (int r = child.dir.List(child.entries))
                return fail(path, r);
            std::sort(child.entries.begin(), child.entries.end());
            child.catalogue = level.catalogue + platform::EscapeHostName(name) + "\\";
            stack.push_back(std::move(child));
            continue;
        }
        if (OnPruneFile)
            OnPruneFile(name);
        if (int e = level.dir.RemoveFile(name))
            return fail(path, e);
        m_progress.setPosition(++done);
        if (stopped()) {
            m_pruneProblem = "stopped after " + path;
            return false;
        }
    }
    return true;
}

void DirOps::bbPruneOKClick() {
    if (m_state.fileOperationRunning)
        return;
    // Cleared before the end selects another node (a running operation keeps
    // the selection where it is).
    std::optional<FlagGuard> running;
    running.emplace(m_state.fileOperationRunning);
    m_ui->closePage();
    TTreeNode* node = m_cat.Tree().Selected();
    if (node && node->Parent())
        if (const auto host = m_cat.HostPath(node)) {
            EntryStat own;
            if (platform::StatPath(*host, own) == 0 && own.kind == EntryKind::Symlink) {
                running.reset();
                pruneLink(node, *host);
                return;
            }
        }
    if (!node || !node->Logged()) {
        pruneEnd();
        return;
    }
    TNodeRef ref(node);
    if (!m_settings.SkipPruneOption && !m_prompter.askOkCancel("Prune this directory tree?     ")) {
        pruneEnd();
        return;
    }
    if (ref && m_cat.BranchHasNonPlainFiles(ref.get()) &&
        !m_prompter.askOkCancel("WARNING! One or more files in branch have special attributes! "
                                "Prune anyway?     ")) {
        pruneEnd();
        return;
    }
    if (m_settings.DeleteType != 1 &&
        !m_prompter.askOkCancel("Continue using normal delete type?     ")) {
        pruneEnd();
        return;
    }
    if (!ref) {
        pruneEnd();
        return;
    }
    node = ref.get();
    const std::string path = node->Path();
    const auto host = m_cat.HostPath(node);
    TNodeRef above(NodeAbove(node));
    const int64_t total = m_cat.BranchFigures(node, false).count;
    bool stopped = true;
    {
        BusyGuard busy(m_state);
        m_logger.UnlogBranch(node);
        // The refill waits for the end (which asks for it): one run while the
        // prune lets events through would take its "STOP" panel away.
        m_state.refillRequested = false;
        StopPanel stop(m_progress, total);
        const bool logging = m_wd.WatchDogWants(WDOperation::PruneDirectory);
        if (logging)
            m_wd.WatchDogOpen();
        EntryStat st;
        int64_t done = 0;
        if (host && platform::StatPath(*host, st, true) == 0)
            stopped = !pruneContents(*host, path, st.device, done, logging);
        if (logging)
            m_wd.WatchDogClose();
    }
    running.reset();
    if (stopped) {
        m_prompter.informWith("Process stopped!     ", m_pruneProblem);
    } else if (m_prompter.askYesNo(path + " - Delete this directory?")) {
        // A disk's root directory stays, whatever its host directory allows.
        const int error = !host ? ENOENT : !ref || !ref->Parent() ? EBUSY : removeDirectory(*host);
        if (error == 0) {
            m_wd.LogSingle(WDOperation::PruneDirectory, withoutBackslash(path));
            if (above)
                m_cat.Tree().Select(above.get());
            if (TTreeNode* gone = m_logger.FindNodeByPath(path))
                m_cat.Tree().DeleteNode(gone);
        } else {
            m_prompter.informWith("Could not remove directory!     ",
                                  ref && !ref->Parent() ? path + ": the root of a drive stays"
                                                        : because(host.value_or(path), error));
        }
    } else if (TTreeNode* kept = m_logger.FindNodeByPath(path)) {
        m_cat.Tree().DeleteChildren(kept);
    }
    m_catUi.emptyFileWindow();
    m_catUi.updateStatistics();
    m_catUi.playCompletionSound();
    m_catUi.focusTree();
    m_state.requestRefill();
}

void DirOps::pruneLink(TTreeNode* node, const std::string& host) {
    const std::string path = node->Path();
    TNodeRef ref(node);
    TNodeRef above(NodeAbove(node));
    if (!m_prompter.askOkCancel(withoutBackslash(path) +
                                " is a link to a directory. Delete the link? The directory it "
                                "points to stays as it is.     ")) {
        pruneEnd();
        return;
    }
    if (ref)
        m_logger.UnlogBranch(ref.get());
    DirHandle parent;
    EntryStat st;
    // Still the link that was asked about: removed as a link, whatever it points to.
    if (DirHandle::Open(hostParent(host), parent) == 0 && parent.Stat(hostBase(host), st) == 0 &&
        st.kind == EntryKind::Symlink && parent.RemoveFile(hostBase(host)) == 0) {
        m_wd.LogSingle(WDOperation::PruneDirectory, withoutBackslash(path));
        if (above)
            m_cat.Tree().Select(above.get());
        if (TTreeNode* gone = m_logger.FindNodeByPath(path))
            m_cat.Tree().DeleteNode(gone);
    } else {
        m_prompter.inform("Could not remove directory!     ");
    }
    m_catUi.emptyFileWindow();
    m_catUi.updateStatistics();
    m_catUi.playCompletionSound();
    m_catUi.focusTree();
    m_state.requestRefill();
}

// --- dragging ------------------------------------------------------------------------------------

void DirOps::DragStarted(const std::string& path, bool copy) {
    m_clipboard = path;
    m_copy = copy;
}

void DirOps::DropDirectory(const std::string& source, bool copy, TTreeNode* target) {
    // The drag's end clears the clipboard; it comes back only for the question.
    m_clipboard.clear();
    if (!target)
        target = m_cat.Tree().Selected();
    if (!target || source.empty() || m_state.fileOperationRunning)
        return;
    const std::string targetPath = target->Path();
    const std::string parentOfSource =
        withoutBackslash(source).substr(0, withoutBackslash(source).find_last_of('\\') + 1);
    if (targetPath == parentOfSource) {
        m_prompter.inform("Dir already exists there!     ");
        return;
    }
    if (targetPath.compare(0, source.size(), source) == 0) {
        m_prompter.inform("Cannot drag parent to its child!     ");
        return;
    }
    TNodeRef ref(target);
    m_clipboard = source;
    m_copy = copy;
    if (!m_prompter.askOkCancel(std::string(copy ? "Copy " : "Move ") + source +
                                " to: " + targetPath + " ?"))
        return;
    TTreeNode* node = ref ? ref.get() : m_logger.FindNodeByPath(targetPath);
    if (!node)
        return;
    m_cat.Tree().Select(node);
    DirPaste();
}

} // namespace zentrix
