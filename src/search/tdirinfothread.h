#pragma once

#include "platform/drivetable.h"
#include "search/dirstatistics.h"

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace zentrix {

class DirInfoUi;
class MainThreadCaller;

/// The "Info" page's scan: the full statistics of a directory branch on a
/// thread of its own, written into the page's text box as a summary (rewritten
/// at most every 50 ms while the walk runs), then the summary once more and
/// the sections by year and by file type.
///
/// It keeps the statistics state byte (AppState::statisticsState): 1 while it
/// sets up, 2 while it walks, 0 at the end; a 3 written by anyone asks it to
/// stop, which it sees before each directory it would enter. It still writes
/// the final summary and sections for what it counted. When the run is over it
/// posts DirInfoUi::OnTerminate; the owner then destroys it.
class TDirInfoThread {
public:
    /// `startDir` in catalogue form; `userFileTypes` give the type descriptions.
    /// Both and `drives` are copied.
    TDirInfoThread(std::string startDir, const platform::DriveTable& drives,
                   std::vector<std::string> userFileTypes, std::atomic<int>& state, DirInfoUi& ui,
                   MainThreadCaller& main);
    ~TDirInfoThread();
    TDirInfoThread(const TDirInfoThread&) = delete;
    TDirInfoThread& operator=(const TDirInfoThread&) = delete;

    void Start();
    /// The whole scan on the calling thread.
    void Run();

    /// The figures of the last run (valid once it is over).
    const DirTotals& Totals() const { return m_totals; }
    const std::string& StartDir() const { return m_startDir; }

private:
    bool stopRequested() const;
    void call(const std::function<void()>& fn);
    void setState(int state);

    std::string m_startDir;
    platform::DriveTable m_drives;
    std::vector<std::string> m_userFileTypes;
    std::atomic<int>& m_state;
    DirInfoUi& m_ui;
    MainThreadCaller& m_main;
    std::thread m_thread;
    std::atomic<bool> m_uiGone{false};
    DirTotals m_totals;
};

} // namespace zentrix
