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

    /// Sets the sources: paths each followed by ";". Held as the shell's list
    /// form: every ";" a NUL, the whole ended by two NULs.
    void SetSource(const std::string& text);
    /// Sets the sources to exact paths (catalogue or host form): a name in them
    /// is never split at ";", read as a mask or stripped of a final dot.
    void SetSourceList(const std::vector<std::string>& paths);
    void SetDestination(const std::string& text);
    /// Sets one destination (a directory form, a directory with a name mask,
    /// or for one source its new name), never split at ";".
    void SetOneDestination(const std::string& path);
    /// Sets one exact destination for each source of SetSourceList, in its
    /// order: each names the target itself, never a directory form or a mask.
    void SetDestinationList(const std::vector<std::string>& paths);
    const std::string& Source() const { return m_source; }
    const std::string& Destination() const { return m_dest; }

    /// The progress window of the next operations (not owned; none: a quiet one).
    void SetWindow(FileOpWindow* window) { m_window = window; }

    /// Runs the operation; true when every item was done (nothing skipped,
    /// failed or cancelled).
    bool Execute();
    /// The last Execute was cancelled by the user.
    bool Aborted() const { return m_aborted; }
    /// With WantMappingHandle: targets that got another name on a collision,
    /// (planned, used), in catalogue form where the drive table has them.
    const std::vector<std::pair<std::string, std::string>>& NameMappings() const {
        return m_mappings;
    }

    /// The work the lists stand for, in host form (none after a message when a
    /// path cannot be reached).
    std::optional<std::vector<FileOpPair>> Plan();

private:
    static std::vector<std::string> split(const std::string& listForm);
    static std::string listForm(const std::string& text);
    std::optional<std::string> hostOf(const std::string& path) const;
    std::string display(const std::string& hostPath) const;
    bool expandSources(const std::vector<std::string>& texts, std::vector<std::string>& hostSources,
                       std::vector<bool>& strippedDot);
    /// The work of some sources towards one destination text, added to `pairs`.
    bool planInto(const std::vector<std::string>& sources, const std::vector<bool>& strippedDot,
                  const std::string& dest, std::vector<FileOpPair>& pairs);

    const platform::DriveTable& m_drives;
    Prompter& m_prompter;
    FileOpWindow* m_window = nullptr;
    std::string m_source;
    bool m_exactSources = false; // SetSourceList: every source is a name as it is
    std::string m_dest;
    bool m_pairedDests = false; // SetDestinationList: one exact target for each source
    bool m_aborted = false;
    std::vector<std::pair<std::string, std::string>> m_mappings;
};

} // namespace zentrix
