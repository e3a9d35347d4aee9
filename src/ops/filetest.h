#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace zentrix {

class AppState;
class Catalogue;
class FileWindow;
class Progress;
class Prompter;
struct Settings;

/// How reading one file from end to end came out.
struct FileTestResult {
    enum class Outcome : uint8_t {
        Passed,
        Failed,     // could not be opened, a read failed, or it ended early
        NotRegular, // a FIFO, socket or device: never opened, nothing to read
        Stopped,    // the caller stopped it between two blocks
    };
    Outcome outcome = Outcome::Passed;
    int error = 0; // the system's error number of a failed open or read; 0 when it ended early
    bool failed() const { return outcome == Outcome::Failed; }
};

/// The readability test: opens the file, takes its size and reads blocks of
/// up to kTestBlockSize bytes until that many bytes have come. A file that
/// delivers fewer (it shrank, or a read failed) fails at once, however the
/// file changes meanwhile: every read either brings bytes or ends the test.
/// `betweenBlocks` (when given) is called after each block with the bytes read
/// so far; true stops the test.
FileTestResult TestOneFile(const std::string& hostPath,
                           const std::function<bool(uint64_t bytesRead)>& betweenBlocks = {});

/// The test's block: the largest read a 16-bit length could ask for.
inline constexpr size_t kTestBlockSize = 65535;

/// The test commands: the current file of the file window, its tagged files,
/// and the matching files of the current directory's branch on disk. Runs on
/// the main thread with the status line's progress and "STOP"; events are let
/// through between blocks, so files are held by their paths, never by records.
class FileTest {
public:
    /// A file to test: the name shown in messages and where it is.
    struct Item {
        std::string fullName;
        std::string hostPath;
    };

    /// All references must outlive the object.
    FileTest(Catalogue& catalogue, AppState& state, const Settings& settings,
             FileWindow& fileWindow, Prompter& prompter, Progress& progress);
    FileTest(const FileTest&) = delete;
    FileTest& operator=(const FileTest&) = delete;

    /// W in the file window: tests the current file and tells the outcome.
    void miFileTestClick();
    /// Ctrl+W in the file window: tests the tagged files.
    void miFileTaggTestClick();
    /// Ctrl+W in the tree: tests the files of the current directory's branch
    /// that pass the file specification.
    void pmiTestDirectoryClick();

    /// The set test: each file in order until the end or a stop, a question
    /// after each failure, then the summary (FIFOs, sockets and devices are
    /// counted apart as not tested). Returns the number that failed.
    int TestFiles(const std::vector<Item>& files);

    /// The files of a host directory's branch that pass the file
    /// specification, depth first in listing order. Links to directories and
    /// directories whose names begin with "." are not entered. `dirPath` is
    /// the directory's catalogue path (ending in a backslash). False when the
    /// walk was stopped.
    bool CollectBranch(const std::string& dirPath, const std::string& hostPath,
                       std::vector<Item>& files);

    /// Sees every block read (tests pace or change files through it).
    std::function<void(const std::string& hostPath, uint64_t bytesRead)> OnBlockRead;

    /// The commands by the names the menus use.
    std::vector<std::pair<std::string, std::function<void()>>> Commands();

    static constexpr const char* kAborted = "Aborted.     ";
    static constexpr const char* kAllOk = "All tested files OK.     ";
    static constexpr const char* kFailedCount = " file(s) failed testing.     ";
    static constexpr const char* kNotTested =
        " was not tested: it is a FIFO, socket or device, which a test does not read.     ";
    static constexpr const char* kNotTestedCount =
        " file(s) not tested: FIFOs, sockets or devices, which a test does not read.     ";

private:
    FileTestResult test(const Item& item);

    Catalogue& m_cat;
    AppState& m_state;
    const Settings& m_settings;
    FileWindow& m_fw;
    Prompter& m_prompter;
    Progress& m_progress;
};

} // namespace zentrix
