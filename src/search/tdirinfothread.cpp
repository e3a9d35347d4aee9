#include "search/tdirinfothread.h"

#include "catalogue/filetypedescription.h"
#include "core/appstate.h"
#include "core/mainthreadcaller.h"
#include "platform/statlisting.h"
#include "search/dirinfoui.h"
#include "search/dirstatisticsreport.h"

#include <ctime>

namespace zentrix {

TDirInfoThread::TDirInfoThread(std::string startDir, const platform::DriveTable& drives,
                               std::vector<std::string> userFileTypes, std::atomic<int>& state,
                               DirInfoUi& ui, MainThreadCaller& main)
    : m_startDir(std::move(startDir)), m_drives(drives), m_userFileTypes(std::move(userFileTypes)),
      m_state(state), m_ui(ui), m_main(main) {
    if (!m_startDir.empty() && m_startDir.back() != '\\')
        m_startDir.push_back('\\');
}

TDirInfoThread::~TDirInfoThread() {
    if (m_thread.joinable()) {
        int running = AppState::kRunning;
        m_state.compare_exchange_strong(running, AppState::kStopping);
        m_thread.join();
    }
}

void TDirInfoThread::Start() {
    m_thread = std::thread([this] {
        Run();
        m_main.Post([ui = &m_ui] { ui->OnTerminate(); });
    });
}

bool TDirInfoThread::stopRequested() const {
    return m_uiGone.load(std::memory_order_relaxed) ||
           m_state.load(std::memory_order_relaxed) == AppState::kStopping;
}

void TDirInfoThread::call(const std::function<void()>& fn) {
    if (!m_uiGone && !m_main.Call(fn))
        m_uiGone = true;
}

void TDirInfoThread::setState(int state) {
    if (state != AppState::kIdle && stopRequested())
        return;
    m_state = state;
    call([this, state] { m_ui.OnStatus(state); });
}

void TDirInfoThread::Run() {
    m_totals = DirTotals();
    const auto host = m_startDir.empty() ? std::nullopt : m_drives.ToHostPath(m_startDir);
    if (host) {
        setState(AppState::kStarting);
        const platform::FileSystemFigures fs = platform::QueryFileSystem(*host);
        auto summary = [&](const DirTotals& totals) {
            auto lines = DirStatisticsReport::SummaryLines(m_startDir, totals, fs.totalBytes,
                                                           std::time(nullptr));
            call([&] { m_ui.SetLines(lines); });
        };
        summary(m_totals);
        setState(AppState::kRunning);

        DirStatisticsWalk::Options options;
        options.threads = DirStatisticsWalk::DefaultThreads();
        options.stopped = [this] {
            return stopRequested();
        };
        options.progress = summary;
        // A disc's clusters are its 2,048-byte sectors.
        const platform::DriveInfo* drive = m_drives.Find(m_startDir[0]);
        if ((drive && drive->kind == platform::DriveKind::CdRom) || fs.readOnlyMedium)
            options.clusterSize = 2048;
        m_totals = DirStatisticsWalk::Walk(*host, m_startDir, options);

        summary(m_totals);
        m_totals.types.SortByBytes();
        const auto sections =
            DirStatisticsReport::YearAndTypeLines(m_totals, [this](const std::string& ext) {
                return FileTypeDescription(std::string(), "test." + ext, m_userFileTypes);
            });
        call([&] {
            m_ui.AppendLines(sections);
            m_ui.ShowFigures(m_totals);
        });
    }
    setState(AppState::kIdle);
}

} // namespace zentrix
