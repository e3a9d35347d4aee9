#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zentrix {

/// Where a file operation stands; a copy taken from the worker.
struct FileOpStatus {
    std::string currentFile;   // display form of the item being worked on
    std::string currentTarget; // and where it goes (empty for delete)
    int64_t filesDone = 0;
    int64_t filesTotal = 0;
    uint64_t bytesDone = 0;
    uint64_t bytesTotal = 0;
    bool measuring = false; // the totals are still being counted
    double elapsedSeconds = 0;

    /// Bytes per second so far (0 before a quarter of a second has passed).
    double BytesPerSecond() const;
    /// Seconds left at the speed so far; negative when not known yet.
    double SecondsLeft() const;
    /// The lines a progress window shows: the file and its target (unless
    /// `withNames` is off), files and bytes done of total, speed and time left.
    std::vector<std::string> Lines(bool withNames) const;
    /// "1.5 MB", "320 KB", "12 bytes".
    static std::string SizeText(uint64_t bytes);
};

/// The progress window of a file operation (the GUI shows a modal window; a
/// quiet one serves tests and programs without a window). Everything but
/// Wake() is called on the main thread.
class FileOpWindow {
public:
    virtual ~FileOpWindow() = default;
    /// The operation starts. `withNames`: show file names (not with
    /// foSimpleProgress); `visible`: show anything at all (not with foSilent).
    virtual void Open(const std::string& title, bool withNames, bool visible) = 0;
    /// Draws the state; called at most every few tens of milliseconds.
    virtual void Show(const FileOpStatus& status) = 0;
    /// Lets the user interface run until Wake() is called or `ms` have passed.
    virtual void Wait(int ms) = 0;
    /// Ends the current or the next Wait() early. Any thread.
    virtual void Wake() = 0;
    /// True once the user asked to stop.
    virtual bool CancelRequested() const = 0;
    virtual void Close() = 0;
};

} // namespace zentrix
