#include "filewindow/tagging.h"

#include "catalogue/catalogue.h"
#include "config/compatibility.h"
#include "config/settings.h"
#include "core/appstate.h"
#include "core/prompter.h"
#include "filewindow/attributemask.h"
#include "filewindow/fileage.h"
#include "filewindow/filespec.h"
#include "filewindow/filewindow.h"

#include <vector>

namespace zentrix {
namespace {

void apply(TFileClass* file, TagAction action) {
    switch (action) {
    case TagAction::Tag:
        file->SetTagged(true);
        break;
    case TagAction::UnTag:
        file->SetTagged(false);
        break;
    case TagAction::Invert:
        file->SetTagged(!file->Tagged());
        break;
    }
}

// Calls `visit` for the node and every node below it, each node before its
// children and the children in tree order. Trees can be deep: no recursion.
template <typename Visit> void forBranch(const TTreeNode* top, Visit&& visit) {
    std::vector<const TTreeNode*> pending{top};
    while (!pending.empty()) {
        const TTreeNode* node = pending.back();
        pending.pop_back();
        visit(node);
        for (int i = node->Count(); i-- > 0;)
            pending.push_back(node->Item(i));
    }
}

} // namespace

Tagging::Tagging(Catalogue& catalogue, AppState& state, Settings& settings, FileWindow& fileWindow,
                 Prompter& prompter)
    : m_cat(catalogue), m_state(state), m_settings(settings), m_fw(fileWindow),
      m_prompter(prompter) {}

void Tagging::SetUi(TaggingUi* ui) {
    m_ui = ui ? ui : &m_noUi;
}

std::string Tagging::ScopeWord(TagScope scope) {
    switch (scope) {
    case TagScope::Directory:
        return "directory";
    case TagScope::Branch:
        return "branch";
    case TagScope::Disk:
        return "disk";
    case TagScope::Global:
        return "global";
    }
    return {};
}

// ---------------------------------------------------------------------------
// Walks

template <typename Pick> void Tagging::walk(TagScope scope, TagAction action, Pick&& pick) {
    auto step = [&](const TTreeNode* node) {
        TLoggedClass* dir = node->Data();
        if (!dir)
            return; // unlogged: nothing known about its files
        for (TFileClass* file : dir->FileList())
            if (pick(*file))
                apply(file, action);
    };
    TTreeNode* selected = m_cat.Tree().Selected();
    switch (scope) {
    case TagScope::Directory:
        if (selected)
            step(selected);
        break;
    case TagScope::Branch:
        if (selected)
            forBranch(selected, step);
        break;
    case TagScope::Disk:
        if (selected)
            forBranch(selected->Root(), step);
        break;
    case TagScope::Global:
        for (int i = 0; i < m_cat.Tree().TopCount(); ++i)
            forBranch(m_cat.Tree().Top(i), step);
        break;
    }
}

template <typename Pick> void Tagging::windowEntries(TagAction action, Pick&& pick) {
    const int count = m_fw.Count();
    for (int i = 0; i < count; ++i) {
        TFileClass* record = m_fw.Record(i);
        if (record && pick(*record))
            apply(record, action);
    }
}

void Tagging::finish() {
    m_fw.Ui().repaintFileWindow();
    m_fw.ResetDiskStatCache();
    m_fw.UpdateStatistics();
}

void Tagging::finishEntry(int index) {
    m_fw.Ui().entryChanged(index);
    m_fw.ResetDiskStatCache();
    m_fw.UpdateStatistics();
}

void Tagging::focusBack() {
    if (m_ui->fileWindowEnabled())
        m_fw.Ui().focusFileWindow();
    else
        m_fw.Ui().focusTree();
}

// ---------------------------------------------------------------------------
// The file window's entries

void Tagging::singleFile(bool tag) {
    // Records are being collected while a fill runs: the window waits for it.
    if (m_fw.Filling() || !m_fw.Ui().fileWindowHasFocus())
        return;
    const int current = m_fw.Current();
    TFileClass* record = m_fw.Record(current);
    if (!record)
        return;
    if (static_cast<bool>(record->Tagged()) != tag) {
        record->SetTagged(tag);
        finishEntry(current);
    }
    m_fw.MainListBoxKeyUp(); // the key-repeat counter starts again
    m_ui->moveToNextEntry();
}

void Tagging::TagSingleFile() {
    singleFile(true);
}

void Tagging::UnTagSingleFile() {
    singleFile(false);
}

void Tagging::ToggleSingleFileTag() {
    if (m_fw.Filling())
        return;
    const int current = m_fw.Current();
    TFileClass* record = m_fw.Record(current);
    if (!record)
        return;
    record->SetTagged(!record->Tagged());
    finishEntry(current);
}

void Tagging::TagFileWinFiles() {
    if (m_fw.Filling() || m_fw.Count() == 0)
        return;
    BusyGuard busy(m_state);
    windowEntries(TagAction::Tag, [](const TFileClass&) { return true; });
    finish();
}

void Tagging::UnTagFileWinFiles() {
    if (m_fw.Filling() || m_fw.Count() == 0)
        return;
    BusyGuard busy(m_state);
    windowEntries(TagAction::UnTag, [](const TFileClass&) { return true; });
    finish();
}

void Tagging::ToggleFileTags() {
    if (m_fw.Filling() || m_fw.Count() == 0)
        return;
    BusyGuard busy(m_state);
    windowEntries(TagAction::Invert, [](const TFileClass&) { return true; });
    finish();
}

void Tagging::specialTag(bool tag) {
    if (m_fw.Filling() || m_fw.Count() == 0)
        return;
    if (!m_ui->runSpecTagForm(tag ? "Expand selection ..." : "Shrink selection ...",
                              m_selectionSpec))
        return;
    // The dialog may have let events through: the entries are read afresh.
    const FileSpecFilter match(m_selectionSpec, false); // the inversion does not apply
    BusyGuard busy(m_state);
    windowEntries(tag ? TagAction::Tag : TagAction::UnTag,
                  [&](const TFileClass& f) { return match.Matches(f.FileName()); });
    finish();
}

void Tagging::TagFilesSpecial() {
    specialTag(true);
}

void Tagging::UnTagFilesSpecial() {
    specialTag(false);
}

bool Tagging::RunFileCommand(FileCommand command) {
    switch (command) {
    case FileCommand::ToggleFileTags:
        ToggleFileTags();
        return true;
    case FileCommand::TagFilesSpecial:
        TagFilesSpecial();
        return true;
    case FileCommand::UnTagFilesSpecial:
        UnTagFilesSpecial();
        return true;
    default:
        return false;
    }
}

// ---------------------------------------------------------------------------
// The tree

void Tagging::TagScopeFiles(TagScope scope, TagAction action) {
    if (m_fw.Filling())
        return;
    const FileSpecFilter filter(m_fw.FileSpec(), m_fw.FileSpecInverted());
    {
        BusyGuard busy(m_state);
        walk(scope, action, [&](const TFileClass& f) { return filter.Passes(f.FileName()); });
    }
    finish();
}

void Tagging::directoryCommand(TagAction action) {
    if (m_fw.Filling() || !m_cat.Tree().Selected())
        return;
    TagScopeFiles(TagScope::Directory, action);
    m_ui->moveToNextDirectory();
}

void Tagging::TagByPattern(bool tag, TagScope scope) {
    if (m_fw.Filling())
        return;
    const std::string caption =
        std::string(tag ? "Tag all " : "Untag all ") + ScopeWord(scope) + " files by pattern ...";
    if (m_ui->runSpecTagForm(caption, m_selectionSpec)) {
        // The pattern stands in for the file specification during the walk;
        // the inversion stays in force, so with it on the pattern picks the
        // files that do not match.
        const FileSpecFilter filter(m_selectionSpec, m_fw.FileSpecInverted());
        BusyGuard busy(m_state);
        walk(scope, tag ? TagAction::Tag : TagAction::UnTag,
             [&](const TFileClass& f) { return filter.Passes(f.FileName()); });
    }
    finish();
}

void Tagging::TagByAge(bool tag, TagScope scope) {
    if (m_fw.Filling())
        return;
    const std::string prompt = "Max file age in days of " + ScopeWord(scope) +
                               (tag ? " files to tag: " : " files to untag: ");
    if (const auto answer = m_prompter.inputText("Zentrix", prompt, "1")) {
        const AgeLimit limit = AgeLimit::FromNow(ReadAgeDays(*answer));
        const FileSpecFilter filter(m_fw.FileSpec(), m_fw.FileSpecInverted());
        BusyGuard busy(m_state);
        walk(scope, tag ? TagAction::Tag : TagAction::UnTag, [&](const TFileClass& f) {
            return limit.Later(f.LastWriteTime()) && filter.Passes(f.FileName());
        });
    }
    finish();
}

// ---------------------------------------------------------------------------
// Attributes

void Tagging::ShowAttributePage(int mode) {
    m_attrMode = mode;
    m_ui->showAttributePage(mode > 0 ? "Attributes of files to tag:"
                                     : "Attributes of files to untag:");
}

void Tagging::TagByAttributes(int mode, std::string_view text) {
    if (m_fw.Filling() || mode == 0 || mode < -4 || mode > 4)
        return;
    const AttributeMask spec(text);
    const TagAction action = mode > 0 ? TagAction::Tag : TagAction::UnTag;
    {
        BusyGuard busy(m_state);
        const int scope = mode > 0 ? mode : -mode;
        if (scope == 1) {
            windowEntries(action,
                          [&](const TFileClass& f) { return spec.Matches(f.Attributes()); });
        } else {
            const FileSpecFilter filter(m_fw.FileSpec(), m_fw.FileSpecInverted());
            const TagScope walkScope = scope == 2   ? TagScope::Branch
                                       : scope == 3 ? TagScope::Disk
                                                    : TagScope::Global;
            walk(walkScope, action, [&](const TFileClass& f) {
                return spec.Matches(f.Attributes()) && filter.Passes(f.FileName());
            });
        }
    }
    finish();
}

bool Tagging::AttributePageOK(const std::string& text) {
    if (m_attrMode == 0)
        return false;
    if (text.empty()) {
        PlayCompletionSound(m_settings);
    } else {
        TagByAttributes(m_attrMode, text);
        m_ui->addAttributeHistory(text);
    }
    m_ui->closeAttributePage();
    focusBack();
    return true;
}

void Tagging::AttributePageCancel() {
    m_ui->closeAttributePage();
    focusBack();
}

// ---------------------------------------------------------------------------

std::vector<std::pair<std::string, std::function<void()>>> Tagging::Commands() {
    return {
        {"TagSingleFile",
         [this] {
             TagSingleFile();
         }},
        {"UnTagSingleFile",
         [this] {
             UnTagSingleFile();
         }},
        {"ToggleSingleFileTag",
         [this] {
             ToggleSingleFileTag();
         }},
        {"TagFileWinFiles",
         [this] {
             TagFileWinFiles();
         }},
        {"UnTagFileWinFiles",
         [this] {
             UnTagFileWinFiles();
         }},
        {"ToggleFileTags",
         [this] {
             ToggleFileTags();
         }},
        {"TagFilesSpecial",
         [this] {
             TagFilesSpecial();
         }},
        {"UnTagFilesSpecial",
         [this] {
             UnTagFilesSpecial();
         }},
        {"miFileTagAllbyAttrsClick",
         [this] {
             miFileTagAllbyAttrsClick();
         }},
        {"miFileUnTagAllbyAttrsClick",
         [this] {
             miFileUnTagAllbyAttrsClick();
         }},
        {"DirTagFiles",
         [this] {
             DirTagFiles();
         }},
        {"DirUnTagFiles",
         [this] {
             DirUnTagFiles();
         }},
        {"InvertDirTags",
         [this] {
             InvertDirTags();
         }},
        {"DirTagBranch",
         [this] {
             DirTagBranch();
         }},
        {"DirUnTagBranch",
         [this] {
             DirUnTagBranch();
         }},
        {"InvertBranchTags",
         [this] {
             InvertBranchTags();
         }},
        {"DiskTagAll",
         [this] {
             DiskTagAll();
         }},
        {"DiskUnTagAll",
         [this] {
             DiskUnTagAll();
         }},
        {"InvertAllDiskTags",
         [this] {
             InvertAllDiskTags();
         }},
        {"GlobalTagAll",
         [this] {
             GlobalTagAll();
         }},
        {"GlobalUnTagAll",
         [this] {
             GlobalUnTagAll();
         }},
        {"InvertAllGlobalTags",
         [this] {
             InvertAllGlobalTags();
         }},
        {"miDirTagAllBranchByAttrClick",
         [this] {
             miDirTagAllBranchByAttrClick();
         }},
        {"miDirUntagAllBranchByAttrClick",
         [this] {
             miDirUntagAllBranchByAttrClick();
         }},
        {"miDirTagAllDiskByAttrClick",
         [this] {
             miDirTagAllDiskByAttrClick();
         }},
        {"miDirUnTagAllDiskByAttrClick",
         [this] {
             miDirUnTagAllDiskByAttrClick();
         }},
        {"miDirTagAllGlobalByAttrClick",
         [this] {
             miDirTagAllGlobalByAttrClick();
         }},
        {"miDirUnTagAllGlobalByAttrClick",
         [this] {
             miDirUnTagAllGlobalByAttrClick();
         }},
        {"miDirTagAllBranchByPatternClick",
         [this] {
             miDirTagAllBranchByPatternClick();
         }},
        {"miDirUntagAllBranchByPatternClick",
         [this] {
             miDirUntagAllBranchByPatternClick();
         }},
        {"miDirTagAllDiskByPatternClick",
         [this] {
             miDirTagAllDiskByPatternClick();
         }},
        {"miDirUnTagAllDiskByPatternClick",
         [this] {
             miDirUnTagAllDiskByPatternClick();
         }},
        {"miDirTagAllGlobalByPatternClick",
         [this] {
             miDirTagAllGlobalByPatternClick();
         }},
        {"miDirUntagAllGlobalByPatternClick",
         [this] {
             miDirUntagAllGlobalByPatternClick();
         }},
        {"miDirTagAllBranchByAgeClick",
         [this] {
             miDirTagAllBranchByAgeClick();
         }},
        {"miDirUntagAllBranchByAgeClick",
         [this] {
             miDirUntagAllBranchByAgeClick();
         }},
        {"miDirTagAllDiskByAgeClick",
         [this] {
             miDirTagAllDiskByAgeClick();
         }},
        {"miDirUntagAllDiskByAgeClick",
         [this] {
             miDirUntagAllDiskByAgeClick();
         }},
        {"miDirTagAllGlobalByAgeClick",
         [this] {
             miDirTagAllGlobalByAgeClick();
         }},
        {"miDirUntagAllGlobalByAgeClick",
         [this] {
             miDirUntagAllGlobalByAgeClick();
         }},
    };
}

} // namespace zentrix
