#pragma once

#include "platform/filewipe.h"

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
class FileWindow;
class OperationJournal;
class OperationRecord;
class Progress;
class Prompter;
class TFileClass;
class TWDList;
struct Settings;

/// Deleting the current file or the tagged files of the file window in the
/// deletion mode of the settings (DeleteType): 0 to the desktop's trash, 1 for
/// good, 2 truncated first, 3 overwritten with zeros, 4 overwritten in seven
/// passes. Each deleted file's record leaves the catalogue and the window; the
/// WatchDog logs the deletions. Main thread only. Every question may run the
/// event loop, so files are remembered by their paths across it.
class FileDeletion {
public:
    /// All references must outlive the object.
    FileDeletion(Catalogue& catalogue, AppState& state, const Settings& settings,
                 FileWindow& fileWindow, DiskLogger& logger, Prompter& prompter, Progress& progress,
                 TWDList& watchDog, CatalogueUi& ui);
    FileDeletion(const FileDeletion&) = delete;
    FileDeletion& operator=(const FileDeletion&) = delete;

    /// The delete routine of both commands, for a file's catalogue path: the
    /// attribute question, the attributes cleared, then the mode. True when the
    /// file is gone. A directory (or nothing) where the record said "file" is
    /// not touched; a link goes itself, never what it points to.
    bool DeleteFileByMode(const std::string& fullPath);

    /// D in the file window (and the Delete key).
    void DeleteSingleFile();
    /// Ctrl+D: every tagged entry, from the last to the first.
    void DeleteTaggedFiles();

    /// True while a run goes on.
    bool Running() const { return m_running; }

    /// Where deletions to the trash are recorded for undo (not owned; none:
    /// nowhere). The other modes cannot be undone and are not recorded.
    void SetJournal(OperationJournal* journal) { m_journal = journal; }

    /// Sees every block the wipe modes write (tests count them).
    platform::WipeBlockHook OnWipeBlock;

    /// The commands by the names the menus use.
    std::vector<std::pair<std::string, std::function<void()>>> Commands();

    /// "(" + " Archive " ... + ")": the names of the set attributes.
    static std::string AttributeList(uint32_t attributes);
    /// What a wipe mode asks before it removes one name of a file whose data
    /// has `others` other names (which the wipe leaves alone).
    static std::string OtherNamesQuestion(const std::string& fullPath, uint64_t others);

    static constexpr const char* kNoTagged = "There are no tagged files to operate with!     ";
    static constexpr const char* kCannotDelete = "Can't delete file: ";
    static constexpr const char* kFiveBlanks = "     ";

private:
    struct Target {
        int index;
        TFileClass* record;
        std::string path;
    };
    /// True when the target's record is still its entry's; after a refill or
    /// a removal by someone else the targets from `from` on are found again by
    /// their paths, all in one pass.
    bool find(std::vector<Target>& targets, size_t from);
    void removeRecord(Target& target);
    enum class Seen { Go, Skip, Stop };
    /// Go when the file on disk is still the one the row showed (size and
    /// time), or the user says to go on with the one there now; the row then
    /// shows it. Stop: the user cancelled the tagged run.
    Seen stillAsSeen(std::vector<Target>& targets, size_t k, bool tagged);
    void leaveEmptyWindow();
    /// The journal when the deletion mode can be undone (the trash).
    OperationJournal* undoJournal() const;

    Catalogue& m_cat;
    AppState& m_state;
    const Settings& m_settings;
    FileWindow& m_fw;
    DiskLogger& m_logger;
    Prompter& m_prompter;
    Progress& m_progress;
    TWDList& m_wd;
    CatalogueUi& m_ui;
    bool m_running = false;
    OperationJournal* m_journal = nullptr;
    OperationRecord* m_record = nullptr; // of the command running
    uint64_t m_trusted = 0; // the catalogue generation the targets were found at
    std::string m_failure;  // the path and the reason of the last failed deletion
};

} // namespace zentrix
