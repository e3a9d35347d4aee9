#pragma once

#include "catalogue/recordobserver.h"
#include "filewindow/filewindowui.h"
#include "filewindow/tqsort.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zentrix {

class AppState;
class Catalogue;
class DiskLogger;
class IconProvider;
class Progress;
class Prompter;
struct Settings;
class TFileClass;
class TIcon;

/// Key codes of the file window: virtual-key numbers with the modifier folded
/// in when exactly one is held (Shift + 256, Alt + 512, Ctrl + 1024).
namespace FileKeys {
inline constexpr int Enter = 13;
inline constexpr int Escape = 27;
inline constexpr int Up = 38;
inline constexpr int Down = 40;
inline constexpr int Delete = 46;
inline constexpr int Apps = 93;
inline constexpr int Multiply = 106; // numeric pad
inline constexpr int Add = 107;
inline constexpr int Subtract = 109;
inline constexpr int Shift = 256;
inline constexpr int Alt = 512;
inline constexpr int Ctrl = 1024;
/// Two or more modifiers held: the key matches nothing of the window's own.
inline constexpr int Several = 2048;
} // namespace FileKeys

/// Folds the modifier state into a key code as the window's key handler sees it.
int FoldModifiers(int key, bool shift, bool alt, bool ctrl);

/// The six captions beside the file window.
struct StatisticsTexts {
    std::string upperCaption; // CurrDirStatGroupBox
    std::string files;        // FilesInDirLabel
    std::string size;         // TotalDirSizeLabel
    std::string lowerCaption; // TaggedGroupBox
    std::string taggedFiles;  // TaggedFilesLabel
    std::string taggedSize;   // TaggedBytesLabel
};

/// The current-file panel pnCurFile.
struct CurrentFileTexts {
    std::string pos;  // lbCurrFilePos
    std::string name; // lbCurrFileNm
    std::string size; // lbCurrFileSize
    std::string date; // lbCurrFileDate
    std::string desc; // lbCurrFileDesc
};

/// The state of the file window's popup menu before it opens.
struct PopupMenuState {
    std::string maxMinCaption; // pmiFileMaxMinWin
    std::string maxMinHint;
    bool sortByDescEnabled = false;      // pmiFileSortByDesc
    bool displayFullPathChecked = false; // pmiFileDisplayFullpath
};

/// What a right click opens.
enum class RightClickMenu { Program, Shell, Refused };

/// What the extended specification's plug-in did.
enum class ExtSpecResult { LibraryMissing, EntryMissing, Cancelled, Accepted };

/// The file window: which catalogue records it shows (scope, file
/// specification, fill), their order, the statistics beside it, the current
/// file, and the rules of its keys and gestures. It holds references to
/// records only; when the catalogue removes records (its generation changes)
/// the entries are dropped unread and a refill is requested, except where the
/// catalogue tells it record by record (changes that follow the disk): then
/// the rows follow without a refill, keeping the current row and the scroll
/// position. Main thread only.
class FileWindow : private RecordObserver {
public:
    struct Entry {
        std::string Text;   // display text: the record's FileName at fill time
        TFileClass* Record; // owned by the catalogue
    };

    /// The largest number of entries the window shows, unless
    /// AllowManyEntriesOption lifts the limit.
    static constexpr int kMaxEntries = 32767;

    FileWindow(Catalogue& catalogue, AppState& state, Settings& settings, Prompter& prompter,
               Progress& progress, DiskLogger& logger);
    ~FileWindow() override;
    FileWindow(const FileWindow&) = delete;
    FileWindow& operator=(const FileWindow&) = delete;

    /// The windows' side; none gives the harmless defaults.
    void SetUi(FileWindowUi* ui);
    FileWindowUi& Ui() { return *m_ui; }
    void SetIconProvider(IconProvider* provider) { m_iconProvider = provider; }

    // --- entries ------------------------------------------------------------------
    int Count();
    /// The record of an entry; none for an index out of range.
    TFileClass* Record(int index);
    /// The display text of an entry; empty out of range.
    std::string_view Text(int index);
    int Current();
    /// Makes an entry current (-1: none). With `updatePanel` the current-file
    /// panel follows, as after a click or key in the window.
    void SetCurrent(int index, bool updatePanel = true);
    /// The records of all entries, in order.
    std::vector<const TFileClass*> Records();
    /// The tagged entries' records in window order; the current one alone
    /// when none is tagged; none when the window has neither.
    std::vector<const TFileClass*> TaggedOrCurrent();
    /// The file of an entry left its directory: the entry goes, and its record
    /// leaves the catalogue. The other entries stay as they are; a removed
    /// current entry leaves none current.
    void RemoveEntry(int index);
    /// An entry's record changed on disk (attributes, time): it is repainted,
    /// and the current-file panel follows when it is the current entry.
    void EntryChanged(int index);
    /// An entry's record was renamed: its text follows, then as EntryChanged.
    void EntryRenamed(int index);

    // --- scope and fill ---------------------------------------------------------------
    void FillMainListBox();
    /// Empties the window at once (its directory went away).
    void EmptyWindow();
    /// True while a fill runs. Events are let through during a fill (for
    /// "STOP"); commands that change the catalogue should wait until it ends.
    bool Filling() const { return m_filling; }
    /// True when the window shows one directory that has not been read yet: it
    /// has no entries, and that says nothing about the directory's files.
    bool ShowsUnreadDirectory();
    void GlobalShowAllLogged() { setScopeAndRefill(2); }
    void DiskShowAllLogged() { setScopeAndRefill(3); }
    void BranchShowAllLogged() { setScopeAndRefill(4); }
    void GlobalShowAllTagged() { setScopeAndRefill(5); }
    void DiskShowAllTagged() { setScopeAndRefill(6); }
    void BranchShowAllTagged() { setScopeAndRefill(7); }
    bool Maximized() const { return m_maximized; }
    void MaximizeMainListBox(bool on);
    /// "&Max/Min window" and Enter in the window.
    void MaxFileWin();
    /// Selected find results dropped on the window: they become the result list.
    void DropFindResults(const std::vector<std::string>& fullNames);
    /// Files dropped from the desktop on the window (catalogue full names).
    void DropShellFiles(const std::vector<std::string>& fullNames);

    // --- file specification ------------------------------------------------------------
    const std::string& FileSpec() const { return m_fileSpec; }
    bool FileSpecInverted() const { return m_inverted; }
    /// The text hbFileSpec shows.
    const std::string& FileSpecBoxText() const { return m_boxText; }
    /// "&File spec ...": the focus goes to hbFileSpec.
    void SetFileSpec();
    /// Flips the inversion (and its display).
    void ToggleFileSpec();
    /// "File spec" (I) in both menus and a click on "File Spec:": invert and refill.
    void pnFileSpecClick();
    void miFileTglFileSpecClick() { pnFileSpecClick(); }
    void miDirToggleFileSpecClick() { pnFileSpecClick(); }
    /// "*.*": the default specification, not inverted.
    void sbDefaultFSpecClick();
    /// The focus left hbFileSpec with `boxText` in it: the text is applied.
    void ApplyTypedFileSpec(const std::string& boxText);
    /// Esc in hbFileSpec: the box gets the current specification back.
    void FileSpecBoxEscape();
    /// Enter in hbFileSpec: an empty box becomes "*.*" (the focus then returns and
    /// the text is applied).
    void FileSpecBoxEnter(const std::string& boxText);
    /// The extended specification through the plug-in, starting from the box text.
    void sbExtFileSpecClick(const std::string& boxText);

    /// Adds a text to hbFileSpec's history.
    std::function<void(const std::string&)> AddFileSpecHistory;
    /// Calls the plug-in entry ExtendedFileSpec with the text (changed in place).
    std::function<ExtSpecResult(std::string& text)> ExtendedFileSpec;

    // --- statistics and current file ---------------------------------------------------
    const StatisticsTexts& Statistics() const { return m_stats; }
    void UpdateStatistics();
    /// The drive letter of the last "Disk tagged statistics" (0 = none).
    char DiskStatCache() const { return m_diskStatDrive; }
    void ResetDiskStatCache() { m_diskStatDrive = 0; }
    const CurrentFileTexts& CurrentFile() const { return m_currentFile; }
    void UpdateCurrentFile();

    // --- sorting ------------------------------------------------------------------------
    TQSort QSortWT;
    void QSortWTCompare(void* Sender, int e1, int e2, bool SortAscending, int& Action);
    void QSortWTSwap(void* Sender, int e1, int e2);
    void SortMainListBox();
    void SortFilesByName() { sortBy(0); }
    void SortFilesByExtension() { sortBy(1); }
    void SortFilesBySize() { sortBy(2); }
    void SortFilesByDate() { sortBy(3); }
    void SortFilesByAttr() { sortBy(4); }
    void SortFilesByDesc() { sortBy(5); }
    void ReversedSortOrder();
    void FileHeaderSectionClick(int section);
    /// The menus' checks follow the key and the order (they read SortKey and
    /// SortReversed when told).
    void ToggleFileLBoxPMenuItems();
    int SortKey() const;
    bool SortReversed() const;

    // --- display ------------------------------------------------------------------------
    int Format() const;
    /// Sets and applies a format (the five display commands).
    void SetFormat(int format);
    /// "&Toggle file display": the next format, 4 wrapping to 0.
    void ChangeFileDisplay();
    /// Applies the current format: icon size, item height, column count.
    void ApplyFormat();
    int IconSize() const { return m_iconSize; }
    int ItemHeight() const { return m_itemHeight; }
    /// 0 in the detail formats, 3 or 5 in the column formats.
    int Columns() const { return m_columns; }
    void pmiFileDisplayFullpathClick();
    /// Prepares the popup menu; the window takes the focus.
    PopupMenuState ListBoxPopupMenuPopup();
    /// The description shown in the description column (fetched and cached).
    std::string DisplayDescription(TFileClass* record);
    /// The icon shown in the icon formats (fetched and cached); none without an
    /// icon provider.
    TIcon* DisplayIcon(TFileClass* record);

    // --- keys and mouse -------------------------------------------------------------------
    /// A key went down (code from FoldModifiers). True when the window consumed it.
    bool MainListBoxKeyDown(int key);
    /// A key was released (not an automatic repeat).
    void MainListBoxKeyUp() { m_repeat = 0; }
    int RepeatCount() const { return m_repeat; }
    /// A click: the current-file panel follows.
    void MainListBoxClick() { UpdateCurrentFile(); }
    void MainListBoxDblClick();
    /// Right button over an entry (-1: none): it becomes current; says which menu opens.
    RightClickMenu MainListBoxRightButton(int index, bool shiftHeld);
    /// Shift + left button: inverts the tags from the anchor to the clicked entry.
    void InvertTagRange(int anchor, int clicked);
    /// Ctrl + left button.
    void InvertTag(int index);
    /// The program-wide copy-drag flag (on while Ctrl is held during a drag).
    bool CopyDrag() const { return m_copyDrag; }
    void SetCopyDrag(bool copy) { m_copyDrag = copy; }

    // --- focus ------------------------------------------------------------------------------
    /// The file window gained the focus.
    void FileWindowEnter();
    /// The file window lost the focus.
    void FileWindowExit();

private:
    // RecordObserver: the rows follow the records.
    void liveBatchBegin() override;
    void recordsAdded(const TLoggedClass& dir, const std::vector<TFileClass*>& records) override;
    void recordRemoving(const TFileClass* record) override;
    void branchRemoving(const TTreeNode* branch) override;
    void recordChanged(TFileClass* record, bool renamed) override;
    void recordsMoved(const std::unordered_map<const TFileClass*, TFileClass*>& moved) override;
    void liveBatchEnd() override;
    bool liveShows(const TTreeNode* dirNode) const;
    void liveInsert(TFileClass* record);
    void liveErase(size_t index);

    void setScopeAndRefill(int scope);
    bool entriesValid();
    void dropEntries();
    void collectFrom(const TFileClass* record, const class FileSpecFilter& filter);
    bool walkDirectories(const class TTreeNode* base, bool taggedOnly,
                         const class FileSpecFilter& filter);
    void collectResultList(const class FileSpecFilter& filter);
    void sortBy(int key);
    int compareEntries(int e1, int e2) const;
    void clearBusy();
    void moveCurrent(int index);
    bool arrowKey(bool down);
    void searchLetter(char letter);
    void escapeKey();
    void tagChanged(int index);

    Catalogue& m_cat;
    AppState& m_state;
    Settings& m_settings;
    Prompter& m_prompter;
    Progress& m_progress;
    DiskLogger& m_logger;
    FileWindowUi m_noUi;
    FileWindowUi* m_ui = &m_noUi;
    IconProvider* m_iconProvider = nullptr;

    std::vector<Entry> m_entries;
    std::vector<std::string> m_sortKeys; // full names while sorting by full path
    uint64_t m_generation = 0;
    int m_current = -1;

    std::string m_fileSpec = "*.*";
    std::string m_boxText = "*.*";
    bool m_inverted = false;
    bool m_maximized = false;
    char m_diskStatDrive = 0;
    bool m_copyDrag = false;
    bool m_filling = false;

    int m_iconSize = 16;
    int m_itemHeight = 19;
    int m_columns = 0;
    int m_repeat = 0;

    StatisticsTexts m_stats;
    CurrentFileTexts m_currentFile;

    // A batch of changes that follow the disk, as it is applied.
    struct LiveBatch {
        bool following = false; // the entries were valid when it began
        bool rowsChanged = false;
        bool figuresChanged = false;
        const TFileClass* currentRecord = nullptr;
        const TFileClass* topRecord = nullptr;
        int top = 0;
        std::vector<const TFileClass*> repaint;
    };
    LiveBatch m_live;
};

} // namespace zentrix
