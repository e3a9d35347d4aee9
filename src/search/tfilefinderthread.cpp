#include "search/tfilefinderthread.h"

#include "catalogue/typeddirectory.h"
#include "core/appstate.h"
#include "core/mainthreadcaller.h"
#include "core/text.h"
#include "filewindow/filespec.h"
#include "platform/dirlisting.h"
#include "platform/threadpriority.h"
#include "search/contentsearch.h"
#include "search/finderui.h"

#include <algorithm>

namespace zentrix {
namespace {

/// Unreadable files named in the error box at the end of a run; the rest are counted.
constexpr size_t kCannotScanShown = 10;

} // namespace

namespace {

/// The trimmed, non-empty pieces of a ";"-separated text.
std::vector<std::string> startDirPieces(const std::string& startDirs) {
    std::vector<std::string> pieces;
    size_t pos = 0;
    while (pos <= startDirs.size()) {
        const size_t end = std::min(startDirs.find(';', pos), startDirs.size());
        std::string dir = Trim(std::string_view(startDirs).substr(pos, end - pos));
        if (!dir.empty())
            pieces.push_back(std::move(dir));
        pos = end + 1;
    }
    return pieces;
}

std::string asStartDir(std::string dir) {
    if (dir.size() >= 2 && dir[1] == ':')
        dir[0] = AsciiUpper(dir[0]);
    if (dir.back() != '\\')
        dir.push_back('\\');
    return dir;
}

} // namespace

std::vector<std::string> SplitStartDirs(const std::string& startDirs) {
    std::vector<std::string> dirs;
    for (std::string& piece : startDirPieces(startDirs))
        dirs.push_back(asStartDir(std::move(piece)));
    return dirs;
}

std::vector<std::string> StartDirsOnDrives(const std::string& startDirs,
                                           const platform::DriveTable& drives,
                                           std::string& problem) {
    problem.clear();
    std::vector<std::string> dirs;
    for (std::string& piece : startDirPieces(startDirs)) {
        if (!IsHostPathText(piece)) {
            dirs.push_back(asStartDir(std::move(piece)));
            continue;
        }
        TypedDirectory dir = ResolveTypedDirectory(drives, piece, false);
        if (dir.path)
            dirs.push_back(std::move(*dir.path));
        else if (problem.empty())
            problem = std::move(dir.problem);
    }
    return dirs;
}

/// A directory waiting to be searched: its name inside a listing that stays
/// open for it, or (for a start directory) its host path.
struct TFileFinderThread::Pending {
    std::shared_ptr<platform::DirListing> parent;
    std::string hostName; // inside parent, or the whole host path without parent
    std::string path;     // catalogue form, with its backslash
};

TFileFinderThread::TFileFinderThread(TFinderData data, const platform::DriveTable& drives,
                                     std::atomic<int>& state, FinderUi& ui, MainThreadCaller& main)
    : m_data(std::move(data)), m_drives(drives), m_state(state), m_ui(ui), m_main(main) {
    m_data.Patterns = UpperCase(Trim(m_data.Patterns));
    if (m_data.Patterns.empty())
        m_data.Patterns = "*.*";
    if (m_data.MatchString.empty())
        m_data.MatchEnabled = false;
}

TFileFinderThread::~TFileFinderThread() {
    // Only a finished thread is destroyed normally; anything else is asked to
    // stop first, so that the join cannot wait for ever.
    if (m_thread.joinable()) {
        int running = AppState::kRunning;
        m_state.compare_exchange_strong(running, AppState::kStopping);
        m_thread.join();
    }
}

void TFileFinderThread::Start() {
    m_thread = std::thread([this] {
        // Turbo runs one step above normal priority where the system allows it.
        if (m_data.Turbo)
            platform::RaiseCurrentThreadPriority();
        Run();
        m_main.Post([ui = &m_ui] { ui->OnTerminate(); });
    });
}

bool TFileFinderThread::stopRequested() const {
    return m_uiGone.load(std::memory_order_relaxed) ||
           m_state.load(std::memory_order_relaxed) == AppState::kStopping;
}

void TFileFinderThread::call(const std::function<void()>& fn) {
    // Without a main thread to show anything the search has no purpose left.
    if (!m_uiGone && !m_main.Call(fn))
        m_uiGone = true;
}

void TFileFinderThread::setState(int state) {
    // A stop asked for while setting up stays asked for.
    if (state != AppState::kIdle && stopRequested())
        return;
    m_state = state;
    call([this, state] { m_ui.OnStatus(state); });
}

void TFileFinderThread::Run() {
    setState(AppState::kStarting);
    if (m_data.MatchEnabled)
        m_content =
            std::make_unique<ParallelContentSearch>(m_data.MatchString, m_data.CaseSensitive);
    m_count = 0;
    std::string rememberedLabel;
    if (m_data.Turbo)
        call([&] {
            rememberedLabel = m_ui.DirectoryText();
            m_ui.ShowDirectory("Please wait...");
        });
    setState(AppState::kRunning);

    m_patterns = std::make_unique<FileSpecFilter>(m_data.Patterns, false);
    for (const std::string& start : SplitStartDirs(m_data.StartDirs)) {
        if (stopRequested())
            break;
        const auto host = m_drives.ToHostPath(start);
        if (!host)
            continue; // an unknown drive yields no results
        std::vector<Pending> stack;
        stack.push_back({nullptr, *host, start});
        while (!stack.empty() && !stopRequested()) {
            Pending dir = std::move(stack.back());
            stack.pop_back();
            searchDirectory(dir, stack);
        }
    }

    flush(true);
    if (m_data.Turbo) {
        call([&] {
            m_ui.AddResults(m_turboList, m_count);
            m_ui.TurboOff();
            m_ui.ShowCount(m_count);
            m_ui.ShowDirectory(rememberedLabel);
        });
        m_turboList.clear();
    }
    if (!m_cannotScan.empty()) {
        std::string text;
        for (const std::string& one : m_cannotScan)
            text += (text.empty() ? "" : "\n\n") + one;
        if (m_cannotScanCount > m_cannotScan.size())
            text += "\n\n\xE2\x80\xA6";
        if (m_linksSkipped)
            text += "\n\n" + LinksSkippedText(m_linksSkipped);
        call([&] { m_ui.CannotScan(text); });
    }
    m_content.reset();
    setState(AppState::kIdle);
}

void TFileFinderThread::searchDirectory(Pending& dir, std::vector<Pending>& stack) {
    if (OnDirectoryEntered)
        OnDirectoryEntered(dir.path);
    if (!m_data.Turbo) {
        m_lastDirectory = dir.path;
        flush(false);
    }
    auto listing = std::make_shared<platform::DirListing>(platform::AttrSource::Posix,
                                                          platform::StatMode::None);
    const bool opened =
        dir.parent ? listing->OpenAt(dir.parent->Fd(), dir.hostName) : listing->Open(dir.hostName);
    dir.parent.reset();
    if (!opened)
        return;

    std::vector<std::string> hostNames; // the files to search, in listing order
    std::vector<std::string> names;
    std::vector<char> listedRegular;
    std::vector<Pending> subdirs;
    platform::DirEntry e;
    while (listing->Next(e)) {
        if (e.IsDirectory()) {
            // Dot names ("." and ".." among them) are never entered; a link to
            // a directory is neither entered nor a result.
            if (e.hostName.empty() || e.hostName[0] == '.' || e.isLink || !m_data.Recursive)
                continue;
            subdirs.push_back(
                {listing, std::string(e.hostName), dir.path + std::string(e.name) + '\\'});
            continue;
        }
        if (stopRequested())
            break;
        if (!m_patterns->Matches(e.name))
            continue;
        if (!m_data.MatchEnabled) {
            addResult(dir.path + std::string(e.name));
            continue;
        }
        // Only a regular file has contents to search; a FIFO, socket or
        // device is never opened. A link is looked at when it is searched.
        const bool regular = (e.attributes & platform::kAttrArchive) != 0;
        if (!regular && !e.isLink)
            continue;
        listedRegular.push_back(regular && !e.isLink);
        hostNames.emplace_back(e.hostName);
        names.emplace_back(e.name);
    }

    if (!hostNames.empty() && !stopRequested()) {
        m_content->SearchFiles(
            listing->Fd(), hostNames,
            [&](size_t i, const ScanResult& result) {
                if (result.outcome == ScanResult::Outcome::Stopped)
                    return false;
                ++m_searched;
                if (result.found())
                    addResult(dir.path + names[i]);
                else if (result.outcome == ScanResult::Outcome::DanglingLink)
                    ++m_linksSkipped;
                else if (result.outcome == ScanResult::Outcome::Failed &&
                         m_cannotScanCount++ < kCannotScanShown)
                    m_cannotScan.push_back(CannotScanText(dir.path + names[i], result.error));
                return !stopRequested();
            },
            [this] { return stopRequested(); }, &listedRegular);
    }
    // Subdirectories after the files, the first of them on top.
    for (auto it = subdirs.rbegin(); it != subdirs.rend(); ++it)
        stack.push_back(std::move(*it));
}

void TFileFinderThread::addResult(std::string fullName) {
    ++m_count;
    if (m_data.Turbo)
        m_turboList.push_back(std::move(fullName));
    else
        m_pending.push_back(std::move(fullName));
    flush(false);
}

void TFileFinderThread::flush(bool force) {
    const auto now = std::chrono::steady_clock::now();
    if (!force && now - m_lastShown < m_showEvery)
        return;
    m_lastShown = now;
    const int count = m_count;
    if (m_data.Turbo) {
        if (count != m_shownCount) {
            m_shownCount = count;
            call([this, count] { m_ui.ShowCount(count); });
        }
        return;
    }
    if (m_pending.empty() && m_lastDirectory.empty())
        return;
    std::vector<std::string> results;
    results.swap(m_pending);
    std::string directory;
    directory.swap(m_lastDirectory);
    m_shownCount = count;
    call([&] {
        if (!directory.empty())
            m_ui.ShowDirectory(directory);
        if (!results.empty())
            m_ui.AddResults(results, count);
    });
}

} // namespace zentrix
