#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zentrix {

class AppState;
class Catalogue;
class CatalogueUi;
class DateTimeTexts;
class FileWindow;
class OperationJournal;
class OperationRecord;
class Progress;
class Prompter;
class TFileClass;
class TWDList;

/// The prompts of the command strip the changes ask with.
enum class ChangePrompt {
    RenameFile,   // "Rename file(s) to:" in hbRenameFile1
    RenameTagged, // the same in hbRenameFile2
    Attributes,   // the attributes page's hbFilesAttrHistory
    DateTime,     // "New file(s) date/time:" in hbDateTime
};

/// What the changes need from the windows; harmless defaults, so the rules run
/// without windows.
class FileChangesUi {
public:
    virtual ~FileChangesUi() = default;
    /// Shows the prompt with its caption and the focus in its box; `text`
    /// replaces the box's text (selected), none keeps what the box holds.
    virtual void showPrompt(ChangePrompt, const std::string& /*caption*/,
                            const std::optional<std::string>& /*text*/) {}
    /// The prompt is done with (its OK ran or it was cancelled).
    virtual void closePrompt(ChangePrompt) {}
    /// Puts a text first in the prompt's history.
    virtual void addHistory(ChangePrompt, const std::string& /*text*/) {}
};

/// Renaming, attributes and the date and time of the current file or of the
/// tagged files of the file window: the commands, the OK of their prompts, and
/// the changes on disk with the catalogue records following what the disk says
/// afterwards. Each command starts its prompt; the prompt's OK comes back here.
/// Between the two anything may happen, so a command remembers the file by its
/// path, never by its record. Main thread only.
class FileChanges {
public:
    /// All references must outlive the object. `ui` plays the completion sound.
    FileChanges(Catalogue& catalogue, AppState& state, FileWindow& fileWindow, Prompter& prompter,
                Progress& progress, TWDList& watchDog, const DateTimeTexts& dates, CatalogueUi& ui);
    FileChanges(const FileChanges&) = delete;
    FileChanges& operator=(const FileChanges&) = delete;

    void SetUi(FileChangesUi* ui);
    /// Where renames and attribute and time changes are recorded for undo (not
    /// owned; none: nowhere).
    void SetJournal(OperationJournal* journal) { m_journal = journal; }

    // --- rename -----------------------------------------------------------------
    /// R: the protection question for the current file, then its prompt with the
    /// file's name.
    void RenameSingleFile();
    void OK_RenameSingleFile(const std::string& text);
    /// Ctrl+R: the prompt, empty.
    void RenameTaggedFiles();
    void OK_RenameTaggedFiles(const std::string& text);
    /// F3 or "Aa" in a rename box: the text in the case of the case-cycle state
    /// (lower case, capitalised, upper case), which then moves on.
    std::string CycleCase(const std::string& text);
    int CaseState() const { return m_caseState; }

    // --- attributes ------------------------------------------------------------------
    /// A: the attributes page for the current file.
    void AttributesSingleFile();
    /// Ctrl+A: the attributes page for the tagged files.
    void AttributesTaggedFiles();
    /// "&OK" of the attributes page while it serves the attribute change.
    void OK_FileAttributes(const std::string& text);
    /// 0: the current file becomes archive-only, its attributes saved; on the
    /// same file again they come back.
    void ToggleFileAttrs();
    /// Shift+0: the saved attributes go to the current file.
    void PasteFileAttrs();
    /// The text applied to a record's file starting from `start`: written when
    /// the low byte changes; the record gets what the disk says afterwards.
    /// Where hidden is the name's leading full stop, H changes (a rename of the
    /// file and the record) only with `renameForHidden`; otherwise the file
    /// keeps its name. A symbolic link is left as it is. Returns the record's
    /// attributes. `index` is the record's entry in the file window (-1:
    /// none), repainted.
    uint16_t ApplyAttributeText(TFileClass* record, int index, uint16_t start,
                                std::string_view text, bool renameForHidden = false);

    // --- date and time -------------------------------------------------------------
    /// N: the prompt with the current file's date and time.
    void miFileDateClick();
    /// Ctrl+N: the prompt, empty.
    void miFileTaggDateTimeClick();
    void OK_NewDate(const std::string& text);

    /// "&Cancel" (or Esc) of a prompt: it closes and the focus goes back.
    void PromptCancelled(ChangePrompt prompt);

    /// True while a tagged run goes on (the file-operation-running flag is set).
    bool Running() const { return m_running; }

    /// Every command by the name the menus use.
    std::vector<std::pair<std::string, std::function<void()>>> Commands();

    /// The messages of these commands.
    static constexpr const char* kNoTagged = "There are no tagged files to operate with!     ";
    static constexpr const char* kIdentical = "Old and new file names are identical!     ";
    static constexpr const char* kCannotRename = "Cannot rename file!     ";
    static constexpr const char* kLinkAttributes =
        " is a symbolic link: it has no attributes of its own, and those of the file it "
        "points to are not changed.     ";
    static constexpr const char* kLinksAttributes =
        " symbolic link(s) left unchanged: a link has no attributes of its own.     ";
    static constexpr const char* kLinkDate =
        " is a symbolic link: its own date and time were set, not those of the file it "
        "points to.     ";
    static constexpr const char* kLinksDate =
        " symbolic link(s) got their own date and time, not those of the files they point "
        "to.     ";

private:
    struct Target {
        int index;
        TFileClass* record;
        std::string path;
    };
    TFileClass* currentRecord(int* index);
    TFileClass* findRecord(const std::string& fullName, int& index);
    TFileClass* stillThere(Target& target, uint64_t generation);
    std::vector<Target> taggedEntries();
    bool startTagged();
    void done(ChangePrompt prompt, const std::string& text);
    void emptyBox(ChangePrompt prompt);
    bool renameRecord(TFileClass* record, int index, const std::string& newName);
    std::string hostPathOf(const TFileClass* record) const;
    bool setTime(TFileClass* record, int index, int64_t fileTime);
    bool isLink(const TFileClass* record) const;
    /// Hidden is the leading full stop of the record's name on its drive.
    bool hiddenInName(const TFileClass* record) const;
    /// "Rename X to Y?" when the text would change the hidden bit of a file
    /// whose drive keeps it in the name; empty otherwise.
    std::string hiddenRenameQuestion(const TFileClass* record, std::string_view text);
    /// Tells the command's record that `from` became `to` (host paths).
    void recordRename(const std::string& from, const std::string& to);

    Catalogue& m_cat;
    AppState& m_state;
    FileWindow& m_fw;
    Prompter& m_prompter;
    Progress& m_progress;
    TWDList& m_wd;
    const DateTimeTexts& m_dates;
    CatalogueUi& m_catUi;
    FileChangesUi m_noUi;
    FileChangesUi* m_ui = &m_noUi;
    OperationJournal* m_journal = nullptr;
    OperationRecord* m_record = nullptr; // of the command running

    int m_caseState = 0;
    bool m_running = false;
    std::string m_renamePath;      // the file R started on
    std::string m_attributePath;   // the file A started on; empty for the tagged files
    std::string m_datePath;        // the file N started on; empty for the tagged files
    std::string m_toggledPath;     // the file last toggled
    std::string m_savedAttributes; // its attributes before, as "+A+R"
};

} // namespace zentrix
