#pragma once

#include "ops/fileopflags.h"
#include "ops/fileopwindow.h"
#include "ops/operationjournal.h"
#include "platform/filetransfer.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace zentrix {

/// A question a file operation puts to the user: the text and the captions of
/// its buttons; the answer is the index of the button chosen.
struct FileOpQuestion {
    std::string text;
    std::string caption;
    std::vector<std::string> buttons;
};

/// One unit of work in host form: a source and, except for delete, the full
/// path it goes to.
struct FileOpPair {
    std::string source;
    std::string dest;
};

/// The work of one file operation on host paths, run by a worker thread. It
/// asks through `Hooks::ask` (which blocks the worker until the main thread has
/// the answer), stops soon after Cancel(), and keeps every rule of data
/// safety: a copy takes its final name only when complete; nothing is ever
/// replaced unless the user chose it; a move within one file system is one
/// rename; a move across file systems deletes each source only after its copy
/// is complete and on the disk, and only when it is still the file that was
/// copied; a directory is never copied into itself; links are copied as links
/// and special files are never opened; names of one file copied together stay
/// names of one copy.
class FileOpJob {
public:
    struct Hooks {
        /// Puts a question to the user; called on the worker, blocks it.
        std::function<int(const FileOpQuestion&)> ask;
        /// The form a host path is shown in (called on the main thread too).
        std::function<std::string(const std::string&)> display;
        /// Told of each block of file data written, on the worker (bytes in
        /// the block); optional. Helper programs pace a copy with it.
        std::function<void(uint64_t)> block;
        /// Told of each step done, on the worker, with the facts of what it
        /// left (the undo journal); optional.
        std::function<void(const DoneStep&)> done;
    };

    FileOpJob(FileOperation operation, FileOpFlags flags, std::vector<FileOpPair> pairs,
              Hooks hooks);

    /// Does the work (on the worker thread).
    void Run();
    /// Asks the work to stop; any thread. A file being copied is abandoned
    /// within a few megabytes and leaves nothing behind.
    void Cancel() { m_cancel = true; }
    /// Whether a copied directory that ends up with no files in it stays
    /// (the default) or goes again. Before Run().
    void SetKeepEmptyDirectories(bool keep) { m_keepEmpty = keep; }

    /// A copy of where the work stands; any thread.
    FileOpStatus Status() const;
    /// Every item was done: nothing skipped, failed or cancelled.
    bool Succeeded() const { return !m_cancelled && !m_incomplete; }
    bool Cancelled() const { return m_cancelled; }
    /// Some item could not be done (an error, whatever the answer to it); an
    /// item the user chose to skip at a collision is no failure.
    bool Failed() const { return m_failed; }
    /// Targets given another name on a collision: (planned, used), host form.
    const std::vector<std::pair<std::string, std::string>>& Renamed() const { return m_renamed; }

private:
    // Exists: the target is there and was left alone (the caller settles it).
    // Again: a moved source changed after its copy; the user wants it copied anew.
    enum class Step { Done, Skipped, Cancelled, Exists, Again };
    enum class Collision { Replace, Skip, Rename, Cancel };
    enum class ErrorAnswer { Retry, Skip, Cancel };
    using DirHandle = platform::DirHandle;
    using EntryStat = platform::EntryStat;

    bool refuseSelfCopies();
    void measure();
    void countTree(const DirHandle& dir, int64_t& files, uint64_t& bytes);
    bool confirmDelete();

    Step runPair(const FileOpPair& pair);
    Step deleteItem(const std::string& path);
    Step openDestDir(const std::string& path, DirHandle& out);
    Step copyEntry(const DirHandle& srcDir, const std::string& srcPath, const DirHandle& dstDir,
                   const std::string& dstPath, EntryStat st);
    Step copyDir(const DirHandle& srcDir, const std::string& srcPath, const DirHandle& dstDir,
                 const std::string& dstPath, const EntryStat& st, bool moving, bool crossDevice);
    Step moveEntry(const DirHandle& srcDir, const std::string& srcPath, const DirHandle& dstDir,
                   std::string dstPath, EntryStat st, bool crossDevice);
    /// The target exists: asks or applies the standing answer. Done means go on
    /// with `replace` (and maybe a new `dstPath`); anything else ends the item.
    Step settleExisting(const DirHandle& srcDir, const std::string& srcPath,
                        const DirHandle& dstDir, std::string& dstPath, EntryStat& st, bool& replace,
                        bool& merge);
    /// Copies a file, link or special file; when `moving`, the copy reaches
    /// the disk and the source must not change meanwhile. `copied` receives
    /// the source as it was copied.
    Step transferLeaf(const DirHandle& srcDir, const std::string& srcPath, const DirHandle& dstDir,
                      const std::string& dstPath, EntryStat st, bool replace, bool moving,
                      EntryStat* copied = nullptr);
    /// Deletes a moved source: a directory when empty, anything else only
    /// while it is still what was copied (`copied`); Again when the user wants
    /// a changed one copied anew.
    Step removeSource(const DirHandle& srcDir, const std::string& srcPath, bool directory,
                      const EntryStat* copied = nullptr, const std::string& dstPath = {});
    /// The first copy whose target could not keep every extended attribute
    /// or access control list: says so once; Cancelled when the user stops.
    Step attributesLost(const std::string& srcPath, const std::string& dstPath);
    /// A free name for a copy beside `dstPath` (it changes); false when none
    /// is found or the work is cancelled meanwhile.
    bool renameTarget(const DirHandle& dstDir, std::string& dstPath);
    /// Settles an existing target: Replace, Skip, Rename (dstPath changed) or Cancel.
    /// `asked`: the user was asked (not answered by a flag or an earlier "all").
    Collision collision(const DirHandle& dstDir, std::string& dstPath, const EntryStat& source,
                        const EntryStat& target, bool& asked);
    Step sameFile(const std::string& srcPath);
    ErrorAnswer errorQuestion(const std::string& what, int error);
    std::string verb() const;
    std::string what(const std::string& srcPath, const std::string& dstPath) const;
    void setCurrent(const std::string& source, const std::string& target);
    void fileDone(int64_t files, uint64_t bytes);
    /// Tells Hooks::done of a step; `target`'s facts are looked up in `dir`
    /// unless given.
    void stepDone(DoneStep::Kind kind, const std::string& source, const std::string& target,
                  const DirHandle* dir, const EntryStat* facts, bool replaced);

    FileOperation m_operation;
    FileOpFlags m_flags;
    std::vector<FileOpPair> m_pairs;
    Hooks m_hooks;

    std::atomic<bool> m_cancel{false};
    bool m_cancelled = false;
    bool m_incomplete = false;
    bool m_failed = false;
    enum class AllAnswer { None, Replace, Skip } m_all = AllAnswer::None;
    bool m_mkdirAll = false;
    bool m_keepEmpty = true;
    bool m_attributesTold = false;
    platform::HardLinkMap m_hardLinks;
    std::vector<std::pair<std::string, std::string>> m_renamed;

    mutable std::mutex m_mutex; // guards the names below
    std::string m_currentFile;
    std::string m_currentTarget;
    std::atomic<bool> m_measuring{false};
    std::atomic<int64_t> m_filesDone{0};
    std::atomic<int64_t> m_filesTotal{0};
    std::atomic<uint64_t> m_bytesDone{0};
    std::atomic<uint64_t> m_bytesTotal{0};
    std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
};

} // namespace zentrix
