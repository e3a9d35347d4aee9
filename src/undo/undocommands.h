#pragma once

#include "undo/undorunner.h"

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace zentrix {

class AppState;
class Catalogue;
class CatalogueUi;
class DiskLogger;
class Progress;
class Prompter;
class TWDList;
class UndoJournal;

/// The undo commands of the main window: "Undo" (the last operation not put
/// back yet) and the undo of any entry of the journal. After the files are
/// back, the catalogue, the tree and the file window are brought into step as
/// the operation itself does it (each directory whose entries changed is read
/// again where it is logged), the WatchDog logs the undo, and whatever was
/// left alone is reported with the reason. Main thread only.
class UndoCommands {
public:
    /// All references must outlive the object.
    UndoCommands(UndoJournal& journal, Catalogue& catalogue, AppState& state, DiskLogger& logger,
                 TWDList& watchDog, Prompter& prompter, Progress& progress, CatalogueUi& ui);

    /// Ctrl+Z: undoes the newest operation that is not put back yet.
    void Undo();
    /// Undoes one entry of the journal (the history window's "Undo").
    UndoReport UndoOperation(uint64_t id);
    /// What "Undo" would undo: "Undo move of 3,000 files to D:\Archive\", or
    /// "Undo" when there is nothing.
    std::string UndoCaption() const;

    /// Reads again, where they are logged, the directories (host paths) whose
    /// entries changed: files leave and come, subdirectories that went or came
    /// back stop being or become nodes, and the file window is refilled.
    void Reread(const std::vector<std::string>& hostDirs);

    /// The commands by the names the menus use.
    std::vector<std::pair<std::string, std::function<void()>>> Commands();

    /// Told of each block copied back across file systems (tests pace it).
    std::function<void(uint64_t)> onBlock;
    /// Told when an undo ended (main thread), with its report.
    std::function<void(const UndoReport&)> onUndone;

    static constexpr const char* kNothing = "There is nothing to undo.     ";

private:
    void tell(const UndoReport& report);
    std::string shown(const std::string& hostPath) const;

    UndoJournal& m_journal;
    Catalogue& m_cat;
    AppState& m_state;
    DiskLogger& m_logger;
    TWDList& m_wd;
    Prompter& m_prompter;
    Progress& m_progress;
    CatalogueUi& m_ui;
};

} // namespace zentrix
