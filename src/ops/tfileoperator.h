#pragma once

#include "ops/fileopflags.h"
#include "ops/fileopjob.h"

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zentrix {

namespace platform {
class DriveTable;
}
class FileOpWindow;
class Prompter;

/// The file operation component: copy, move, delete and rename of lists of
/// files and directories, with the shell's flags. Paths are in catalogue form
/// ("C:\A\X.TXT"; host paths starting with "/" are taken as they are). The work
/// runs on a worker thread while the main thread keeps the user interface
/// alive, draws the progress window and asks the worker's questions through the
/// Prompter. Main thread only; one Execute at a time.
class TFileOperator {
public:
    TFileOperator(const platform::DriveTable& drives, Prompter& prompter);
    ~TFileOperator();
    TFileOperator(const TFileOperator&) = delete;
    TFileOperator& operator=(const TFileOperator&) = delete;

    FileOperation Operation = FileOperation::foCopy;
    FileOpFlags Flags{FileOpFlag::foAllowUndo, FileOpFlag::foNoConfirmMkDir};
    /// Asks for the names given on collisions (NameMappings()).
    bool WantMappingHandle = false;
    std::string ProgressTitle = "File Operation";
    /// Whether a copied directory that ends up with no files in it stays; a
    /// branch pasted by its files leaves such directories out.
    bool KeepEmptyDirectories = true;
    /// Called on the worker after each block of file data is written, with its
    /// size; optional (helper programs and tests pace or watch a copy with it).
    std::function<void(uint64_t)> OnBlockCopied;
    /// Where the steps of the operations run with foAllowUndo go (the undo
    /// journal's record of the command; not owned; none: nowhere). The command
    /// commits the record.
    OperationRecord* Record = nullptr;

    /// The files and directories to work on, each an exact name: a catalogue
    /// path ("C:\A\X.TXT") or a host path (starting with "/"). A name is
    /// taken as it is, never as a mask, a list or an option.
    void SetSources(std::vector<std::string> paths);
    /// One destination for every source: a directory, and the name mask the
    /// user typed for the copies ("*.*", "*" and none keep every name). A mask
    /// without wildcards names the one copy, unless the directory holds a
    /// directory of that name: then the sources go into it.
    void SetDestination(std::string directory, std::string mask = {});
    /// One exact destination per source, in the same order: the full path each
    /// one gets (a directory path there is the name the source takes, not a
    /// place to go into).
    void SetDestinations(std::vector<std::string> targets);
    const std::vector<std::string>& Sources() const { return m_sources; }

    /// The progress window of the next operations (not owned; none: a quiet one).
    void SetWindow(FileOpWindow* window) { m_window = window; }

    /// Runs the operation; true when every item was done (nothing skipped,
    /// failed or cancelled; so also when there was nothing to do).
    bool Execute();
    /// The last Execute was cancelled by the user.
    bool Aborted() const { return m_aborted; }
    /// Something of the last Execute could not be done (an error, or sources
    /// that could not be reached); what the user skipped at a collision is no
    /// failure.
    bool Failed() const { return m_failed; }
    /// With WantMappingHandle: targets that got another name on a collision,
    /// (planned, used), in catalogue form where the drive table has them.
    const std::vector<std::pair<std::string, std::string>>& NameMappings() const {
        return m_mappings;
    }

    /// The work the lists stand for, in host form (none after a message when a
    /// path cannot be reached).
    std::optional<std::vector<FileOpPair>> Plan();

private:
    std::optional<std::string> hostOf(const std::string& path) const;
    std::string display(const std::string& hostPath) const;

    const platform::DriveTable& m_drives;
    Prompter& m_prompter;
    FileOpWindow* m_window = nullptr;
    std::vector<std::string> m_sources;
    std::string m_destDir;
    std::string m_mask;
    std::vector<std::string> m_targets; // one per source, or none
    bool m_aborted = false;
    bool m_failed = false;
    std::vector<std::pair<std::string, std::string>> m_mappings;
};

} // namespace zentrix
