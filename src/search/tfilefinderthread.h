#pragma once

#include "platform/drivetable.h"
#include "search/tfinderdata.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace zentrix {

class FileSpecFilter;
class FinderUi;
class MainThreadCaller;
class ParallelContentSearch;

/// The finder: searches the disks themselves (not the catalogue) for files
/// whose names match the patterns and, when asked, whose contents hold the
/// match string; on a thread of its own.
///
/// The thread keeps the program's finder state byte (AppState::finderState):
/// 1 while it sets up, 2 while it runs, 0 when it is done; a 3 written by
/// anyone (the Stop button, the close query) asks it to stop, which it sees
/// between directories, before each file and between read blocks. Everything
/// it shows goes through `ui` by synchronous calls to the main thread; the
/// directory label and the results are handed over at most every 50 ms, not
/// per item. When the run is over it posts FinderUi::OnTerminate; the owner
/// then destroys this object (which joins the finished thread).
///
/// In turbo mode results are kept out of sight until the end, and the thread
/// runs one step above normal priority where the system allows it.
///
/// Directories whose names begin with "." are not entered; links to
/// directories are never followed; FIFOs, sockets and devices are never opened.
/// A file that cannot be searched counts as no hit; the texts of all such
/// files are shown in one error box at the end of the run. A link that leads
/// nowhere is no error: it is skipped and only counted.
class TFileFinderThread {
public:
    /// `drives` is copied: the main thread may change its table meanwhile.
    TFileFinderThread(TFinderData data, const platform::DriveTable& drives, std::atomic<int>& state,
                      FinderUi& ui, MainThreadCaller& main);
    ~TFileFinderThread();
    TFileFinderThread(const TFileFinderThread&) = delete;
    TFileFinderThread& operator=(const TFileFinderThread&) = delete;

    /// Starts the thread (the caller has set the state to 1).
    void Start();
    /// Runs the whole search on the calling thread (benchmarks).
    void Run();

    /// The results found (valid once the run is over).
    int ResultCount() const { return m_count.load(); }
    const TFinderData& Data() const { return m_data; }

    /// How often the label and results are handed over at most (50 ms).
    void SetShowInterval(std::chrono::milliseconds interval) { m_showEvery = interval; }

    /// Called on the worker before each directory is searched, with its
    /// catalogue path; optional (tests pace a search with it). Set before Start().
    std::function<void(const std::string& path)> OnDirectoryEntered;

    /// Files whose contents were searched (valid once the run is over).
    long long FilesSearched() const { return m_searched; }
    /// Links that led nowhere and were skipped by the content search, as
    /// `grep -r` skips them (valid once the run is over).
    size_t LinksSkipped() const { return m_linksSkipped; }

private:
    struct Pending;
    bool stopRequested() const;
    void call(const std::function<void()>& fn);
    void setState(int state);
    void searchDirectory(Pending& dir, std::vector<Pending>& stack);
    void addResult(std::string fullName);
    void flush(bool force);

    TFinderData m_data;
    platform::DriveTable m_drives;
    std::atomic<int>& m_state;
    FinderUi& m_ui;
    MainThreadCaller& m_main;
    std::thread m_thread;
    std::unique_ptr<ParallelContentSearch> m_content;
    std::unique_ptr<FileSpecFilter> m_patterns;
    std::atomic<bool> m_uiGone{false};

    std::atomic<int> m_count{0};
    long long m_searched = 0;
    int m_shownCount = 0;
    std::vector<std::string> m_pending;    // results not shown yet
    std::vector<std::string> m_turboList;  // the private list of a turbo search
    std::vector<std::string> m_cannotScan; // texts of files that could not be searched
    size_t m_cannotScanCount = 0;
    size_t m_linksSkipped = 0;
    std::string m_lastDirectory; // the directory not shown yet
    std::chrono::steady_clock::time_point m_lastShown{};
    std::chrono::milliseconds m_showEvery{50};
};

} // namespace zentrix
