#pragma once

#include "filewindow/filewindowui.h"
#include "filewindow/taggingui.h"

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zentrix {

class AppState;
class Catalogue;
class FileWindow;
class Prompter;
struct Settings;
class TFileClass;
class TTreeNode;

/// What a tag command does to each file it picks.
enum class TagAction { Tag, UnTag, Invert };

/// The directories a tree command works on: the directory selected in the
/// tree; the selected node and every node below it; the branch of the drive
/// root above it; the branch of every drive root, in tree order.
enum class TagScope { Directory, Branch, Disk, Global };

/// Every way of setting, clearing and inverting tags: on the file window's
/// entries and on the directories of the tree, by specification, pattern,
/// attributes and age. A tag is the `Tagged` flag of a catalogue record and
/// nothing else: there are no counters to keep in step. After every command
/// that can change tags the file window is repainted, the disk-statistics
/// cache reset and the statistics updated.
///
/// Tree commands pick only the files that pass the file specification filter
/// (specification and inversion); commands on the window's entries do not
/// filter again, the window shows filtered files already. Walks touch records
/// only, never the disk, and visit each logged directory once. Main thread only.
class Tagging {
public:
    Tagging(Catalogue& catalogue, AppState& state, Settings& settings, FileWindow& fileWindow,
            Prompter& prompter);
    Tagging(const Tagging&) = delete;
    Tagging& operator=(const Tagging&) = delete;

    /// The windows' side; none gives the harmless defaults.
    void SetUi(TaggingUi* ui);

    // --- the file window's entries -------------------------------------------------
    /// Only while the file window has the focus: tags the current entry, then
    /// the next entry becomes current.
    void TagSingleFile();
    void UnTagSingleFile();
    /// Inverts the current entry's tag; the current entry stays.
    void ToggleSingleFileTag();
    void TagFileWinFiles();
    void UnTagFileWinFiles();
    void ToggleFileTags();
    /// The special-tag dialog "Expand selection ..."; on OK every entry whose
    /// name matches the selection specification is tagged.
    void TagFilesSpecial();
    /// "Shrink selection ...": the matching entries are untagged.
    void UnTagFilesSpecial();
    void miFileTagAllbyAttrsClick() { ShowAttributePage(1); }
    void miFileUnTagAllbyAttrsClick() { ShowAttributePage(-1); }

    // --- the tree -------------------------------------------------------------------
    /// The selected directory's files; then the tree moves to the next directory.
    void DirTagFiles() { directoryCommand(TagAction::Tag); }
    void DirUnTagFiles() { directoryCommand(TagAction::UnTag); }
    void InvertDirTags() { directoryCommand(TagAction::Invert); }
    void DirTagBranch() { TagScopeFiles(TagScope::Branch, TagAction::Tag); }
    void DirUnTagBranch() { TagScopeFiles(TagScope::Branch, TagAction::UnTag); }
    void InvertBranchTags() { TagScopeFiles(TagScope::Branch, TagAction::Invert); }
    void DiskTagAll() { TagScopeFiles(TagScope::Disk, TagAction::Tag); }
    void DiskUnTagAll() { TagScopeFiles(TagScope::Disk, TagAction::UnTag); }
    void InvertAllDiskTags() { TagScopeFiles(TagScope::Disk, TagAction::Invert); }
    void GlobalTagAll() { TagScopeFiles(TagScope::Global, TagAction::Tag); }
    void GlobalUnTagAll() { TagScopeFiles(TagScope::Global, TagAction::UnTag); }
    void InvertAllGlobalTags() { TagScopeFiles(TagScope::Global, TagAction::Invert); }
    /// Tags, untags or inverts the filtered files of a scope (no tree move).
    void TagScopeFiles(TagScope scope, TagAction action);

    void miDirTagAllBranchByAttrClick() { ShowAttributePage(2); }
    void miDirUntagAllBranchByAttrClick() { ShowAttributePage(-2); }
    void miDirTagAllDiskByAttrClick() { ShowAttributePage(3); }
    void miDirUnTagAllDiskByAttrClick() { ShowAttributePage(-3); }
    void miDirTagAllGlobalByAttrClick() { ShowAttributePage(4); }
    void miDirUnTagAllGlobalByAttrClick() { ShowAttributePage(-4); }

    void miDirTagAllBranchByPatternClick() { TagByPattern(true, TagScope::Branch); }
    void miDirUntagAllBranchByPatternClick() { TagByPattern(false, TagScope::Branch); }
    void miDirTagAllDiskByPatternClick() { TagByPattern(true, TagScope::Disk); }
    void miDirUnTagAllDiskByPatternClick() { TagByPattern(false, TagScope::Disk); }
    void miDirTagAllGlobalByPatternClick() { TagByPattern(true, TagScope::Global); }
    void miDirUntagAllGlobalByPatternClick() { TagByPattern(false, TagScope::Global); }

    void miDirTagAllBranchByAgeClick() { TagByAge(true, TagScope::Branch); }
    void miDirUntagAllBranchByAgeClick() { TagByAge(false, TagScope::Branch); }
    void miDirTagAllDiskByAgeClick() { TagByAge(true, TagScope::Disk); }
    void miDirUntagAllDiskByAgeClick() { TagByAge(false, TagScope::Disk); }
    void miDirTagAllGlobalByAgeClick() { TagByAge(true, TagScope::Global); }
    void miDirUntagAllGlobalByAgeClick() { TagByAge(false, TagScope::Global); }

    /// The special-tag dialog "Tag all <scope> files by pattern ..." (or
    /// "Untag all ..."); on OK the files of the scope that pass the filter made
    /// of the selection specification and the current inversion flag are tagged
    /// or untagged. The file specification itself is left as it is.
    void TagByPattern(bool tag, TagScope scope);
    /// Asks "Max file age in days of <scope> files to tag: " (or "to untag: ");
    /// on OK the filtered files of the scope written after the limit (local
    /// time now minus that many days) are tagged or untagged.
    void TagByAge(bool tag, TagScope scope);

    // --- the attributes page ------------------------------------------------------------
    /// 1 window, 2 branch, 3 disk, 4 global for tagging; the negatives for
    /// untagging; 0 while the page serves the attribute change.
    int AttributeMode() const { return m_attrMode; }
    void SetAttributeMode(int mode) { m_attrMode = mode; }
    /// Sets the mode and shows the attributes page with "Attributes of files to
    /// tag:" or "Attributes of files to untag:".
    void ShowAttributePage(int mode);
    /// "&OK" of the attributes page. In a tagging mode: a non-empty text is
    /// applied (and added to the history), an empty one plays the completion
    /// sound; the page closes and the focus goes back to the file window (the
    /// tree when the window is disabled). False in mode 0: the page's text is
    /// then the attribute change's, and nothing was done here.
    bool AttributePageOK(const std::string& text);
    /// "&Cancel" of the attributes page (any mode): it closes, the focus goes back.
    void AttributePageCancel();
    /// Tags (positive mode) or untags (negative) the files whose attributes
    /// match the text: the window's entries (mode ±1), or the filtered files of
    /// the branch, disk or all disks (modes ±2, ±3, ±4).
    void TagByAttributes(int mode, std::string_view text);

    /// The selection specification of the special-tag dialog.
    const std::string& SelectionSpec() const { return m_selectionSpec; }

    /// The file window's own keys that tag (numeric-pad *, + and -). False for
    /// any other command.
    bool RunFileCommand(FileCommand command);

    /// Every command of the tag, untag and toggle menus, by the name the menus
    /// use for it.
    std::vector<std::pair<std::string, std::function<void()>>> Commands();

    /// The scope's word in captions and prompts: "branch", "disk", "global".
    static std::string ScopeWord(TagScope scope);

private:
    template <typename Pick> void walk(TagScope scope, TagAction action, Pick&& pick);
    template <typename Pick> void windowEntries(TagAction action, Pick&& pick);
    void singleFile(bool tag);
    void specialTag(bool tag);
    void directoryCommand(TagAction action);
    void focusBack();
    /// Repaint, disk-statistics cache reset, statistics update.
    void finish();
    /// The same for one entry.
    void finishEntry(int index);

    Catalogue& m_cat;
    AppState& m_state;
    Settings& m_settings;
    FileWindow& m_fw;
    Prompter& m_prompter;
    TaggingUi m_noUi;
    TaggingUi* m_ui = &m_noUi;
    std::string m_selectionSpec = "*.*";
    int m_attrMode = 0;
};

} // namespace zentrix
