#pragma once

#include "config/watchdogoperations.h"

#include <array>
#include <cstdint>
#include <ctime>
#include <functional>
#include <string>

namespace zentrix {

namespace platform {
class DriveTable;
}
class Prompter;
struct Settings;

/// The kinds of operation the WatchDog can log; the value is the operation
/// code, which is also the line of the kind in TWDList and the number in the
/// settings key "FO" + code.
enum class WDOperation : uint8_t {
    DeleteFile = 0,
    MoveFile = 1,
    CopyFile = 2,
    RenameFile = 3,
    ChangeAttributes = 4,
    ChangeDateTime = 5,
    EditFile = 6,
    ExecuteFile = 7,
    PrintFile = 8,
    ViewFile = 9,
    DeleteDirectory = 10,
    NewDirectory = 11,
    RenameDirectory = 12,
    PruneDirectory = 13,
    SearchFileForText = 14,
};

/// One kind of operation: its code and whether it is logged.
struct TWDClass {
    WDOperation OperationCode = WDOperation::DeleteFile;
    bool Enabled = false;
};

/// The WatchDog: the list of the fifteen operation kinds (line = code, each
/// with its TWDClass), the protection test that guards the files and
/// directories the system needs, and the operations log WATCHDOG.LOG.
///
/// Main thread only. The main window owns the one instance and keeps its flags
/// in step with the settings (LoadFlags at start and after the options dialog).
///
/// How an operation logs:
///
///     // one file (rename, edit, view, directory operations ...):
///     watchDog.LogSingle(WDOperation::RenameFile, oldPath, newPath);
///
///     // several files: see WatchDogRun, which decides once, writes single
///     // entries or counts, and writes the group entry at the end.
///
/// or by hand, as the Part's calling order has it:
///
///     const bool log = wd.WatchDogWants(op);      // decided once, before the work
///     if (log) wd.WatchDogOpen();
///     ... wd.WatchDogWrite(source, destination, count, op) ...
///     if (log) wd.WatchDogClose();                // applies the size limit
///
/// A log that cannot be written never stops an operation: the entry is lost
/// and `onLogFailure` hears about it once (until a line is written again).
class TWDList {
public:
    static constexpr int Count = kWatchDogOperationCount;

    /// The fifteen kinds, all disabled. `settings` gives WDEnabled, the log's
    /// directory, size limit and auto-delete, SkipProtectedOption and the
    /// Windows and system directories (Platform/WindowsDir, Platform/SystemDir);
    /// `drives` turns the log directory into a host path. Both must outlive
    /// the list.
    TWDList(const Settings& settings, Prompter& prompter, const platform::DriveTable& drives);
    ~TWDList();
    TWDList(const TWDList&) = delete;
    TWDList& operator=(const TWDList&) = delete;

    // --- the list ---------------------------------------------------------------
    /// The kind's name as the options dialog lists it ("Delete file(s)" ...).
    static const char* Strings(int code);
    TWDClass& Objects(int code) { return m_kinds[static_cast<size_t>(code)]; }
    const TWDClass& Objects(int code) const { return m_kinds[static_cast<size_t>(code)]; }
    /// Sets every kind's Enabled flag (settings "WatchDogOperations", by code).
    void LoadFlags(const std::array<bool, Count>& flags);

    // --- protection ---------------------------------------------------------------
    /// The program's own executable, as a catalogue path; it is protected
    /// wherever it lives. Empty when no drive holds it.
    void SetProgramPath(std::string cataloguePath) { m_programPath = std::move(cataloguePath); }
    const std::string& ProgramPath() const { return m_programPath; }

    /// True for a file in the Windows or the system directory itself (not in
    /// their subdirectories), the program's own executable, and the nine system
    /// files of DOS in the root of any drive. Case is ignored.
    bool IsProtectedFile(const std::string& fullPath) const;
    /// True for the Windows and the system directory (with or without the
    /// trailing backslash). Case is ignored.
    bool IsProtectedDirectory(const std::string& dirPath) const;
    /// Asks the protection question (Yes/No); true for Yes.
    bool ConfirmProtected(const std::string& question);
    /// The rule every guarded operation follows: true when the file may be
    /// touched: it is not protected, SkipProtectedOption is on, or the user
    /// answered Yes to `question`.
    bool MayTouchFile(const std::string& fullPath, const std::string& question);
    /// The same for a directory.
    bool MayTouchDirectory(const std::string& dirPath, const std::string& question);

    // --- the log ---------------------------------------------------------------------
    /// True when WDEnabled is on and the kind is enabled.
    bool WatchDogWants(WDOperation op) const;
    /// The log's host path: the WDFilePath directory (the program's directory
    /// when empty) + "WATCHDOG.LOG". Empty when no drive holds the directory.
    std::string LogPath() const;
    /// Opens the log for appending; a missing log is created with its header
    /// line and an empty line. False (after telling onLogFailure) when it can be
    /// neither opened nor created. An open log stays open until WatchDogClose.
    bool WatchDogOpen();
    /// Appends one entry line (one write on the O_APPEND descriptor, so that
    /// two instances never mix half lines). Without an open log, nothing.
    ///
    /// `count` below 2 selects the single form; a group caller passes the
    /// number of files plus one (the text shows count - 1). Code 14 always
    /// uses its one form and shows the count as passed. Which text goes where:
    ///   0 Delete        single: source = path;        group: source = directory
    ///   1 Move, 2 Copy  single: source -> destination; group: source directory -> destination
    ///   3 Rename        single: old -> new path;      group: destination = mask
    ///   4 Attributes    single: path -> attribute text; group: destination = text
    ///   5 Date/time     single: path -> date text;    group: destination = text
    ///   6..11, 13       source = path (or command line for 7)
    ///   12 Rename dir   source = old path, destination = new path
    ///   14 Search       source = search text, count = files searched
    void WatchDogWrite(const std::string& source, const std::string& destination, int count,
                       WDOperation op);
    /// Closes the log; with WDAutoDelete on, a log above WDFileSize kilobytes is
    /// deleted (silently) so that the next entry starts a new one.
    void WatchDogClose();
    bool IsOpen() const { return m_fd >= 0; }

    /// Open, one entry, close, when the kind is logged (the single-file
    /// operations do this after their work succeeded). `count` matters only for
    /// code 14 (the number of files searched).
    void LogSingle(WDOperation op, const std::string& source, const std::string& destination = {},
                   int count = 0);

    /// An entry in the program's own words (an undo says what it put back),
    /// written like LogSingle when the kind `op` is logged. `text` starts with
    /// a blank; it stays one line as every entry does.
    void LogText(WDOperation op, const std::string& text);

    /// The entry text after the date and time (it starts with a blank).
    static std::string EntryText(WDOperation op, const std::string& source,
                                 const std::string& destination, int count);
    /// The locale's short date, a blank and its time; the time is left out at
    /// exactly midnight.
    static std::string TimeStamp(std::time_t when);
    /// The header line of a new log, without its line end.
    static std::string HeaderLine(std::time_t when);

    /// Where "now" comes from (tests set a fixed moment).
    std::function<std::time_t()> Clock;
    /// Hears once that the log could not be written (the text names the file
    /// and the reason); again only after a line was written in between.
    std::function<void(const std::string&)> onLogFailure;

private:
    bool writeAll(const std::string& bytes);
    void failed(const std::string& what);

    const Settings& m_settings;
    Prompter& m_prompter;
    const platform::DriveTable& m_drives;
    std::array<TWDClass, Count> m_kinds;
    std::string m_programPath;
    std::string m_openPath;
    int m_fd = -1;
    bool m_failureTold = false;
};

} // namespace zentrix
