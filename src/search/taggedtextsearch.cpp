#include "search/taggedtextsearch.h"

#include "catalogue/catalogue.h"
#include "config/compatibility.h"
#include "core/appstate.h"
#include "core/progress.h"
#include "core/prompter.h"
#include "filewindow/filewindow.h"
#include "ops/twdlist.h"
#include "search/contentsearch.h"

#include <chrono>
#include <fcntl.h>

namespace zentrix {
namespace {

constexpr size_t kCannotScanShown = 10;

/// The file-operation-running flag for the lifetime of a scope.
class RunningGuard {
public:
    explicit RunningGuard(AppState& state) : m_state(state) { m_state.fileOperationRunning = true; }
    ~RunningGuard() { m_state.fileOperationRunning = false; }
    RunningGuard(const RunningGuard&) = delete;
    RunningGuard& operator=(const RunningGuard&) = delete;

private:
    AppState& m_state;
};

/// "STOP" on the status line for the lifetime of a scope.
class StopPanelGuard {
public:
    explicit StopPanelGuard(Progress& progress) : m_progress(progress) {
        m_progress.showStop(true);
    }
    ~StopPanelGuard() { m_progress.showStop(false); }
    StopPanelGuard(const StopPanelGuard&) = delete;
    StopPanelGuard& operator=(const StopPanelGuard&) = delete;

private:
    Progress& m_progress;
};

} // namespace

TaggedTextSearch::TaggedTextSearch(Catalogue& catalogue, AppState& state, Settings& settings,
                                   FileWindow& fileWindow, Prompter& prompter, Progress& progress)
    : m_cat(catalogue), m_state(state), m_settings(settings), m_fw(fileWindow),
      m_prompter(prompter), m_progress(progress) {}

void TaggedTextSearch::SetUi(TaggedSearchUi* ui) {
    m_ui = ui ? ui : &m_noUi;
}

int TaggedTextSearch::taggedEntries() {
    int tagged = 0;
    for (int i = 0, n = m_fw.Count(); i < n; ++i)
        if (const TFileClass* record = m_fw.Record(i); record && record->Tagged())
            ++tagged;
    return tagged;
}

void TaggedTextSearch::SearchTaggedFilesForString() {
    if (m_state.fileOperationRunning)
        return;
    if (taggedEntries() == 0) {
        m_prompter.inform("There are no tagged files to operate with!     ");
        return;
    }
    m_ui->showSearchPanel();
}

void TaggedTextSearch::CancelSearch() {
    m_ui->closeSearchPanel();
    m_fw.Ui().focusFileWindow();
}

void TaggedTextSearch::OK_SearchTaggedFilesForString(const std::string& text, bool ignoreCase) {
    if (m_state.fileOperationRunning)
        return;
    if (text.empty()) {
        PlayCompletionSound(m_settings);
        return;
    }
    m_ui->closeSearchPanel();
    RunningGuard running(m_state);
    m_ui->setViewerSearchText(text);
    m_ui->addSearchHistory(text);
    m_searched = 0;

    // The tagged entries, in the window's order. Records are only used while
    // the catalogue keeps them (its generation stays the same).
    struct Item {
        int index;
        TFileClass* record;
    };
    std::vector<Item> items;
    std::vector<std::string> paths;
    for (int i = 0, n = m_fw.Count(); i < n; ++i) {
        TFileClass* record = m_fw.Record(i);
        if (!record || !record->Tagged())
            continue;
        items.push_back({i, record});
        paths.push_back(m_cat.HostPath(record).value_or(std::string()));
    }
    const uint64_t generation = m_cat.Generation();
    std::vector<std::string> cannotScan;
    size_t cannotScanCount = 0;
    size_t linksSkipped = 0; // links to nothing hold no text: untagged, not an error
    {
        BusyGuard busy(m_state);
        StopPanelGuard stop(m_progress);
        m_progress.setTotal(static_cast<int64_t>(items.size()));
        using Clock = std::chrono::steady_clock;
        auto lastStatistics = Clock::now();
        Clock::time_point lastPump{};
        bool untagged = false;

        ParallelContentSearch search(text, !ignoreCase);
        search.SearchFiles(AT_FDCWD, paths, [&](size_t i, const ScanResult& result) {
            // Each file takes a read: events are let through by time, not per file.
            if (const auto now = Clock::now(); now - lastPump >= std::chrono::milliseconds(25)) {
                lastPump = now;
                m_progress.pumpNow();
            }
            // Whatever ran meanwhile may have removed records: then nothing
            // held here may be touched any more.
            if (m_progress.aborted() || m_cat.Generation() != generation)
                return false;
            ++m_searched;
            if (!result.found()) {
                TFileClass* record = items[i].record;
                if (result.outcome == ScanResult::Outcome::DanglingLink)
                    ++linksSkipped;
                else if (result.outcome == ScanResult::Outcome::Failed &&
                         cannotScanCount++ < kCannotScanShown)
                    cannotScan.push_back(CannotScanText(record->FullName(), result.error));
                record->SetTagged(false);
                untagged = true;
                // The window may have been refilled meanwhile: repaint the entry
                // only where it still is.
                if (m_fw.Record(items[i].index) == record) {
                    m_fw.Ui().entryChanged(items[i].index);
                    m_ui->bringEntryIntoView(items[i].index);
                } else {
                    m_fw.Ui().repaintFileWindow();
                }
                const auto now = Clock::now();
                if (now - lastStatistics >= std::chrono::milliseconds(50)) {
                    lastStatistics = now;
                    m_fw.ResetDiskStatCache();
                    m_fw.UpdateStatistics();
                }
            }
            if (m_searched % 5 == 0)
                m_progress.setPosition(m_searched);
            return true;
        });
        m_progress.setPosition(m_searched);
        if (untagged) {
            m_fw.ResetDiskStatCache();
            m_fw.UpdateStatistics();
        }
    }
    if (m_watchDog && m_watchDog->WatchDogWants(WDOperation::SearchFileForText))
        m_watchDog->LogSingle(WDOperation::SearchFileForText, text, {}, m_searched);
    if (!cannotScan.empty()) {
        std::string message;
        for (const std::string& one : cannotScan)
            message += (message.empty() ? "" : "\n\n") + one;
        if (cannotScanCount > cannotScan.size())
            message += "\n\n\xE2\x80\xA6";
        if (linksSkipped)
            message += "\n\n" + LinksSkippedText(linksSkipped);
        m_prompter.error(message);
    }
    PlayCompletionSound(m_settings);
    m_fw.Ui().focusFileWindow();
}

} // namespace zentrix
