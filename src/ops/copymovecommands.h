#pragma once

#include "ops/seenfile.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace zentrix {

namespace platform {
class DriveTable;
}

class AppState;
class Catalogue;
class CatalogueUi;
class DiskLogger;
class FileWindow;
class OperationJournal;
class Prompter;
class TFileOperator;
class TWDList;

/// The prompt pages of copy and move in the command strip, one per history box.
enum class CopyMovePage { CopyAs, FullCopyAs, CopyTo, MoveAs, FullMoveAs, MoveTo };

/// What the copy and move commands make the windows do; every call has a
/// harmless default.
class CopyMoveUi {
public:
    virtual ~CopyMoveUi() = default;
    /// Shows a page with `text` in its box and the focus in it: all of the text
    /// selected, or the caret at its end.
    virtual void showPage(CopyMovePage, const std::string& /*text*/, bool /*selectAll*/) {}
    virtual void closePage() {}
    /// Adds a text to the page box's history (and stores it).
    virtual void addHistory(CopyMovePage, const std::string&) {}
    /// The most recent entry of the page box's history.
    virtual std::string recentHistory(CopyMovePage) { return {}; }
    /// Hourglass over the main panel while the list is built.
    virtual void setHourglass(bool) {}
};

/// The six copy and move commands of the file window and the two prompts each
/// takes ("as": the name mask, "to": the destination), the copy or move itself
/// through the main window's file operator, and the catalogue brought into
/// step afterwards: records of files that left are removed, a logged
/// destination is re-read. Main thread only.
class CopyMoveCommands {
public:
    CopyMoveCommands(Catalogue& catalogue, AppState& state, FileWindow& fileWindow,
                     DiskLogger& logger, TWDList& watchDog, TFileOperator& fileOperator,
                     Prompter& prompter, CatalogueUi& catalogueUi);
    void SetUi(CopyMoveUi* ui) { m_ui = ui ? ui : &m_noUi; }
    /// Where the copies and moves are recorded for undo (not owned; none: nowhere).
    void SetJournal(OperationJournal* journal) { m_journal = journal; }

    /// The caption of a page ("Copy file(s) as:" ...).
    static const char* PageCaption(CopyMovePage page);
    /// The history box of a page ("hbCopyAs" ...).
    static const char* PageBox(CopyMovePage page);

    // --- the commands ------------------------------------------------------------
    void CopySingleFile();
    void CopyTaggedFiles();
    void CopyPathTaggedFiles();
    void MoveSingleFile();
    void MoveTaggedFiles();
    void MovePathTaggedFiles();
    /// The commands by the names the menus use.
    std::map<std::string, std::function<void()>> Commands();

    // --- the prompts -------------------------------------------------------------
    void OK_FileCopyAs(const std::string& text);
    void bbFullCopyOKClick(const std::string& text);
    void OK_FileCopyTo(const std::string& text);
    void OK_FileMoveAs(const std::string& text);
    void bbFullMoveOKClick(const std::string& text);
    void OK_FileMoveTo(const std::string& text);
    /// OK of whichever page is up.
    void PageOK(CopyMovePage page, const std::string& text);
    /// Cancel on either page: back to the file window, nothing touched.
    void PageCancel();

    /// Files dropped from the desktop on a tree directory (catalogue paths):
    /// copied, or moved when `move` (Shift held), after the questions.
    void DropOnTree(const std::string& targetDir, const std::vector<std::string>& names,
                    bool move = false);
    /// Files and directories other programs handed over on the desktop's
    /// clipboard (host paths): copied, or moved when `move` (they were cut),
    /// into a directory (catalogue path) through the engine with its questions,
    /// after "Copy N files to: ... ?". A path that a drive holds goes by its
    /// catalogue path; the directories the moved files left are read again.
    /// True when the work ran.
    bool PasteFiles(const std::string& targetDir, const std::vector<std::string>& hostPaths,
                    bool move);
    /// The host paths of the tagged files of the window, or of the current one
    /// when none is tagged (what "Copy to clipboard" puts there).
    std::vector<std::string> ClipboardFiles();
    /// Files dragged from the file window onto a tree directory: the tagged
    /// files (or the current one, tagged), copied or moved there after a
    /// question; the tree then goes back to the directory it showed.
    void DropFromFileWindow(const std::string& targetDir, bool copy);
    /// Find results dropped onto a tree directory: copied there after a
    /// question; an unlogged directory is logged and opened first.
    void DropFindResults(const std::string& targetDir, const std::vector<std::string>& names);

    // --- the rules -----------------------------------------------------------------
    /// Relative paths ("\"-separated) without their common leading directories;
    /// with `keepLastCommon` the last common directory stays (this command's
    /// variant; the directory operations use the other).
    static std::vector<std::string> StripCommonDirectories(const std::vector<std::string>& paths,
                                                           bool keepLastCommon);
    /// The destination directory of a "to" text, ending in a backslash: "."
    /// (when allowed) is the current directory, a text starting with "\" is on
    /// the current disk.
    static std::string DestinationDir(const std::string& text, const std::string& currentDir,
                                      char currentDisk, bool dotAllowed);

    // --- state between the prompts (for tests) --------------------------------------
    /// The sources of the plain variants, exact names in the file window's order.
    const std::vector<std::string>& Sources() const { return m_sources; }
    const std::vector<std::string>& WithPathsList() const { return m_withPathsList; }
    const std::string& AsMask() const { return m_asMask; }
    bool WithPaths() const { return m_withPaths; }

private:
    enum class Kind { Copy, Move };
    void startSingle(Kind kind);
    void startTagged(Kind kind, bool withPaths);
    void okAs(Kind kind, bool withPaths, const std::string& text);
    void okTo(Kind kind, const std::string& text);
    void afterMove(const std::string& dest);
    void refreshDestination(const std::string& dest);
    /// Where each file of the with-paths list goes below `dest`.
    void buildWithPaths(const std::string& dest, const std::vector<std::string>& sources,
                        std::vector<std::string>& targets);
    /// Asks about every source that changed on disk since its row was seen
    /// (the row then shows it as it is); those the user keeps back leave
    /// `sources`. False when the user cancelled the whole move.
    bool keepSeen(std::vector<std::string>& sources);

    Catalogue& m_cat;
    AppState& m_state;
    FileWindow& m_fileWindow;
    DiskLogger& m_logger;
    TWDList& m_watchDog;
    TFileOperator& m_operator;
    Prompter& m_prompter;
    CatalogueUi& m_catalogueUi;
    CopyMoveUi m_noUi;
    CopyMoveUi* m_ui = &m_noUi;
    OperationJournal* m_journal = nullptr;

    std::vector<std::string> m_sources;
    std::vector<SeenFile> m_seen; // the rows the sources were taken from
    std::vector<std::string> m_withPathsList;
    std::string m_asMask = "*.*";
    bool m_withPaths = false;
};

} // namespace zentrix
