#include "catalogue/treecommands.h"

#include "catalogue/catalogue.h"
#include "catalogue/catalogueui.h"
#include "catalogue/disklogger.h"
#include "catalogue/loggeddisktabs.h"
#include "config/settings.h"
#include "core/appstate.h"
#include "core/prompter.h"
#include "core/text.h"
#include "platform/drivetable.h"
#include "platform/fileops.h"

namespace zentrix {

namespace {

// Raises the drive-switch flag while the program itself moves between disks.
class DriveSwitch {
public:
    explicit DriveSwitch(AppState& s) : m_state(s), m_old(s.driveSwitch) { s.driveSwitch = true; }
    ~DriveSwitch() { m_state.driveSwitch = m_old; }

private:
    AppState& m_state;
    bool m_old;
};

} // namespace

TreeCommands::TreeCommands(Catalogue& catalogue, AppState& state, const Settings& settings,
                           DiskLogger& logger, LoggedDiskTabs& tabs, Prompter& prompter,
                           CatalogueUi& ui)
    : m_cat(catalogue), m_state(state), m_settings(settings), m_logger(logger), m_tabs(tabs),
      m_prompter(prompter), m_ui(ui) {}

int TreeCommands::KeyCode(int key, bool shift, bool alt, bool ctrl) {
    if ((shift ? 1 : 0) + (alt ? 1 : 0) + (ctrl ? 1 : 0) != 1)
        return key;
    return key + (shift ? kModShift : alt ? kModAlt : kModCtrl);
}

TreeAction TreeCommands::KeyDownAction(int keyCode) {
    switch (keyCode) {
    case kKeyContextMenu:
        return TreeAction::ContextMenu;
    case kKeyBackspace:
        return TreeAction::SelectParent;
    case kKeyEnter:
    case kKeyNumAdd:
        return TreeAction::LogOneLevel;
    case kKeyDelete:
        return TreeAction::DeleteDir;
    case 'L':
        return TreeAction::LogDisk;
    case kKeyNumMultiply:
        return TreeAction::LogBranchAndExpand;
    case kKeyNumSubtract:
        return TreeAction::Unlog;
    case kKeyF2:
        return TreeAction::BrowseDirectory;
    case kKeyUp + kModCtrl:
        return TreeAction::PrevSibling;
    case kKeyDown + kModCtrl:
        return TreeAction::NextSibling;
    default:
        return TreeAction::None;
    }
}

TreeAction TreeCommands::KeyPressAction(char32_t c) {
    switch (c) {
    case U'*':
        return TreeAction::LogBranch;
    case U'+':
        return TreeAction::LogOneLevel;
    case U'-':
        return TreeAction::Unlog;
    case U'<':
        return TreeAction::PrevDisk;
    case U'>':
        return TreeAction::NextDisk;
    default:
        // Only capital letters go on to the tree's own search.
        return (c >= U'A' && c <= U'Z') ? TreeAction::TypeAhead : TreeAction::Discard;
    }
}

bool TreeCommands::Run(TreeAction action) {
    TTree& tree = m_cat.Tree();
    TTreeNode* sel = tree.Selected();
    switch (action) {
    case TreeAction::Discard:
        return true;
    case TreeAction::SelectParent:
        if (sel && sel->Parent())
            tree.Select(sel->Parent());
        return true;
    case TreeAction::LogOneLevel:
        m_logger.LogOneLevel();
        return true;
    case TreeAction::LogBranchAndExpand:
        m_logger.LogDirBranch();
        if ((sel = tree.Selected())) {
            tree.SetExpanded(sel, true);
            m_ui.scrollIntoView(sel);
        }
        return true;
    case TreeAction::LogBranch:
        m_logger.LogDirBranch();
        if ((sel = tree.Selected()))
            m_ui.scrollIntoView(sel);
        return true;
    case TreeAction::Unlog:
        if (sel) {
            m_logger.UnlogBranch(sel);
            m_state.requestRefill();
        }
        return true;
    case TreeAction::PrevSibling:
        if (sel) {
            TTreeNode* prev =
                sel->Parent() ? sel->PrevSibling() : (sel->Index() > 0 ? tree.Top(sel->Index() - 1) : nullptr);
            if (prev)
                tree.Select(prev);
        }
        return true;
    case TreeAction::NextSibling:
        if (sel) {
            TTreeNode* next = sel->Parent() ? sel->NextSibling()
                                            : (sel->Index() + 1 < tree.TopCount() ? tree.Top(sel->Index() + 1)
                                                                                 : nullptr);
            if (next)
                tree.Select(next);
        }
        return true;
    case TreeAction::PrevDisk:
        PrevDisk();
        return true;
    case TreeAction::NextDisk:
        NextDisk();
        return true;
    case TreeAction::None:
    case TreeAction::TypeAhead:
    case TreeAction::ContextMenu:
    case TreeAction::DeleteDir:
    case TreeAction::LogDisk:
    case TreeAction::BrowseDirectory:
        break; // the window's own business
    }
    return false;
}

void TreeCommands::SelectionSettled() {
    if (m_state.treeSelectionChanged)
        m_state.requestRefill();
}

bool TreeCommands::Expanding(TTreeNode* node) {
    if (m_state.fileOperationRunning || !node)
        return false;
    if (!node->Logged()) {
        // Selecting may ask whether the disk is ready and release it.
        const TNodeRef ref(node);
        m_cat.Tree().Select(node);
        if (!ref)
            return false;
        m_logger.LogSubDirs(ref.get());
        m_logger.LogDirFiles(ref.get());
        m_ui.scrollIntoView(ref.get());
        m_ui.repaintTree();
        m_state.requestRefill();
    }
    return true;
}

bool TreeCommands::Collapsing(TTreeNode* node) {
    if (m_state.fileOperationRunning || !node)
        return false;
    m_logger.UnlogBranch(node);
    return true;
}

void TreeCommands::Collapsed(TTreeNode* node) {
    if (node && node->Logged())
        m_cat.Tree().Select(node);
}

void TreeCommands::DoubleClick() {
    if (m_state.refillRequested)
        return;
    TTreeNode* sel = m_cat.Tree().Selected();
    if (!sel)
        return;
    if (!sel->Logged())
        m_logger.LogDirFiles(sel);
    else if (sel->Count() == 0)
        m_logger.UnlogBranch(sel);
    m_ui.repaintTree();
    m_state.requestRefill();
}

void TreeCommands::DirUp(bool treeHasFocus) {
    TTreeNode* sel = m_cat.Tree().Selected();
    if (treeHasFocus && sel && sel->Parent()) {
        m_cat.Tree().Select(sel->Parent());
        m_state.requestRefill();
    }
}

void TreeCommands::CollapseAllDrives() {
    BusyGuard busy(m_state);
    TTree& tree = m_cat.Tree();
    for (int i = 0; i < tree.TopCount(); ++i)
        m_logger.UnlogBranch(tree.Top(i));
    if (tree.TopCount() > 0)
        tree.Select(tree.Top(0));
}

bool TreeCommands::CanStartLabelEdit(TTreeNode* node) {
    if (!node || !node->Parent())
        return false;
    if (!m_settings.WinMakeDir && !m_settings.WinRenameDir)
        return false;
    const bool system = IsProtectedDirectory && IsProtectedDirectory(node->Path());
    if (system && !m_settings.SkipProtectedOption &&
        !m_prompter.askYesNo("Renaming this directory could cause Windows to malfunction! "
                             "Continue anyway?     "))
        return false;
    return true;
}

bool TreeCommands::FinishLabelEdit(TTreeNode* node, const std::string& newText) {
    if (!node || !node->Parent())
        return false;
    if (newText == node->Text())
        return true;
    const std::string parentPath = node->Parent()->Path();
    const std::string oldText(node->Text());
    const auto from = m_cat.Drives().ToHostPath(node->Path());
    const auto to = m_cat.Drives().ToHostPath(parentPath + newText);
    const bool valid = !newText.empty() && newText.find('\\') == std::string::npos &&
                       newText.find('/') == std::string::npos;
    std::string reason;
    if (!valid || !from || !to)
        reason = "\"" + newText + "\" is no name a directory can have here";
    else if (!platform::RenameNoReplace(*from, *to, &reason))
        reason = *from + " to " + *to + ": " + reason;
    if (!reason.empty()) {
        m_prompter.warnWith("Cannot rename directory!     ", reason);
        return false;
    }
    m_cat.Tree().SetText(node, newText);
    m_cat.Tree().SortChildren(node->Parent());
    if (DirectoryRenamed)
        DirectoryRenamed(parentPath + oldText, parentPath + newText);
    return true;
}

// Selects a node and shows it at the top. Selecting may ask whether the disk
// is ready and release it; then there is nothing left to show.
void TreeCommands::selectAsTop(TTreeNode* target) {
    const TNodeRef ref(target);
    m_cat.Tree().Select(target);
    if (ref)
        m_ui.makeTopItem(ref.get());
}

void TreeCommands::NextDisk() {
    if (m_tabs.Count() < 2)
        return;
    TTree& tree = m_cat.Tree();
    const std::string& letters = m_tabs.Letters();
    const int next = (m_tabs.ActiveIndex() + 1) % static_cast<int>(letters.size());
    TTreeNode* target = nullptr;
    const std::string last = m_cat.LastDirs.Get(letters[static_cast<size_t>(next)]);
    if (!last.empty())
        target = m_logger.FindNodeByPath(last);
    DriveSwitch flag(m_state);
    if (!target) {
        TTreeNode* sel = tree.Selected();
        const int rootIndex = sel ? sel->Root()->Index() : -1;
        target = rootIndex + 1 < tree.TopCount() ? tree.Top(rootIndex + 1) : tree.FirstTop();
    }
    if (target)
        selectAsTop(target);
}

void TreeCommands::PrevDisk() {
    if (m_tabs.Count() < 2)
        return;
    TTree& tree = m_cat.Tree();
    DriveSwitch flag(m_state);
    const std::string& letters = m_tabs.Letters();
    const int count = static_cast<int>(letters.size());
    const int prev = (m_tabs.ActiveIndex() - 1 + count) % count;
    const char letter = letters[static_cast<size_t>(prev)];
    m_tabs.SetActive(letter);
    TTreeNode* target = nullptr;
    const std::string last = m_cat.LastDirs.Get(letter);
    if (!last.empty())
        target = m_logger.FindNodeByPath(last);
    if (!target) {
        TTreeNode* sel = tree.Selected();
        TTreeNode* root = sel ? sel->Root() : tree.FirstTop();
        if (!root)
            return;
        target = root == tree.FirstTop() ? tree.Top(tree.TopCount() - 1)
                                         : tree.Top(root->Index() - 1);
    }
    selectAsTop(target);
}

void TreeCommands::TabClicked(char letter) {
    if (m_state.driveSwitch)
        return;
    TTree& tree = m_cat.Tree();
    const std::string text = std::string(1, letter) + ":\\";
    for (int i = 0; i < tree.TopCount(); ++i) {
        if (tree.Top(i)->Text() != text)
            continue;
        const TNodeRef root(tree.Top(i));
        tree.Select(root.get());
        if (root) {
            m_ui.scrollIntoView(root.get());
            m_ui.makeTopItem(root.get());
        }
        m_state.requestRefill();
        return;
    }
}

} // namespace zentrix
