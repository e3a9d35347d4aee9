#include "gui/search/searchcontroller.h"

#include "catalogue/catalogue.h"
#include "catalogue/typeddirectory.h"
#include "catalogue/disklogger.h"
#include "config/compatibility.h"
#include "config/settings.h"
#include "core/appstate.h"
#include "core/plugincalls.h"
#include "core/prompter.h"
#include "core/text.h"
#include "filewindow/filewindow.h"
#include "gui/controls/findresultsmime.h"
#include "gui/controls/thistorycombobox.h"
#include "gui/filewindow/tvirtuallistbox.h"
#include "gui/search/mainthreadbridge.h"
#include "gui/search/tdirinfopage.h"
#include "gui/search/tfinderpage.h"
#include "gui/search/tsearchstringspage.h"
#include "gui/search/tspacemapview.h"
#include "gui/search/tstatchart.h"
#include "platform/drivetable.h"
#include "platform/process.h"
#include "platform/statlisting.h"
#include "search/contentsearch.h"
#include "search/dirstatistics.h"
#include "search/dirstatisticsreport.h"
#include "search/tdirinfothread.h"
#include "search/tfilefinderthread.h"

#include <QApplication>
#include <QCheckBox>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTextCursor>
#include <QToolButton>
#include <QUrl>

#include <algorithm>

namespace zentrix {
namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

// --- the statistics thread's side ------------------------------------------------------

class SearchController::DirInfoSide : public DirInfoUi {
public:
    explicit DirInfoSide(SearchController& c) : m_c(c) {}
    void OnStatus(int state) override { m_c.dirInfoStatus(state); }
    void SetLines(const std::vector<std::string>& lines) override {
        if (!m_c.m_infoPage)
            return;
        std::string text;
        for (const std::string& line : lines)
            text += line + '\n';
        if (!text.empty())
            text.pop_back();
        m_c.m_infoPage->meDirStatistics->setPlainText(q(text));
    }
    void AppendLines(const std::vector<std::string>& lines) override {
        if (!m_c.m_infoPage)
            return;
        QStringList text;
        for (const std::string& line : lines)
            text << q(line);
        QPlainTextEdit* edit = m_c.m_infoPage->meDirStatistics;
        edit->appendPlainText(text.join('\n'));
        // The summary at the top is what the reader wants first.
        edit->moveCursor(QTextCursor::Start);
        edit->ensureCursorVisible();
    }
    void ShowFigures(const DirTotals& totals) override {
        if (m_c.m_infoPage)
            m_c.m_infoPage->DirStatisticsCharts->setFigures(totals);
    }
    void OnTerminate() override { m_c.dirInfoDone(); }

private:
    SearchController& m_c;
};

// --- set-up ------------------------------------------------------------------------------

SearchController::SearchController(Catalogue& catalogue, AppState& state, Settings& settings,
                                   const platform::DriveTable& drives, DiskLogger& logger,
                                   FileWindow& fileWindow, Prompter& prompter, Progress& progress,
                                   PluginCalls& plugins, QWidget* window)
    : QObject(window), m_cat(catalogue), m_state(state), m_settings(settings), m_drives(drives),
      m_logger(logger), m_fw(fileWindow), m_prompter(prompter), m_plugins(plugins),
      m_window(window), m_tagged(std::make_unique<TaggedTextSearch>(
                            catalogue, state, settings, fileWindow, prompter, progress)),
      m_dirInfoSide(std::make_unique<DirInfoSide>(*this)) {
    setObjectName("SearchController");
    m_bridge = new MainThreadBridge(this);
    m_tagged->SetUi(this);
    QStyle* style = window ? window->style() : QApplication::style();
    m_runIcon = style->standardIcon(QStyle::SP_MediaPlay);
    m_stopIcon = style->standardIcon(QStyle::SP_BrowserStop);

    m_finderPage = new TFinderPage(window);
    m_finderPage->hide();
    m_infoPage = new TDirInfoPage(catalogue.Tree(), window);
    m_infoPage->hide();
    m_stringsPage = new TSearchStringsPage(window);
    m_stringsPage->hide();
    wireFinderPage();

    connect(m_infoPage->btnScan, &QPushButton::clicked, this, &SearchController::btnScanClick);
    m_infoPage->DirSpaceMap->onDirectoryClicked = [this](const std::string& path) {
        if (m_logger.GoToDirPath(path))
            m_state.requestRefill();
    };
    m_infoPage->DirSpaceMap->onDirectoryOpened = [this](const std::string& path) {
        if (!m_logger.GoToDirPath(path))
            return;
        m_state.requestRefill();
        m_fw.Ui().focusFileWindow();
    };
    connect(m_stringsPage, &TSearchStringsPage::okClicked, this,
            [this](const QString& text, bool ignoreCase) {
                m_tagged->OK_SearchTaggedFilesForString(text.toStdString(), ignoreCase);
            });
    connect(m_stringsPage, &TSearchStringsPage::cancelClicked, this,
            [this] { m_tagged->CancelSearch(); });

    if (window)
        window->installEventFilter(this);

    m_commands = {
        {"FindFile",
         [this] {
             FindFile();
         }},
        {"SearchTaggedFilesForString",
         [this] {
             SearchTaggedFilesForString();
         }},
        {"miDirStatisticsClick",
         [this] {
             miDirStatisticsClick();
         }},
        {"pmiDirInfoClick",
         [this] {
             pmiDirInfoClick();
         }},
    };
}

SearchController::~SearchController() {
    if (m_window)
        m_window->removeEventFilter(this);
    // Workers waiting on the main thread are let go first; then they are
    // asked to stop and joined.
    m_bridge->Close();
    m_finder.reset();
    m_dirInfo.reset();
    m_tagged->SetUi(nullptr);
    // Pages nobody took (a controller without a window) go with it.
    for (QWidget* page :
         {static_cast<QWidget*>(m_finderPage.data()), static_cast<QWidget*>(m_infoPage.data()),
          static_cast<QWidget*>(m_stringsPage.data())})
        if (page && !page->parent())
            delete page;
}

TFinderPage* SearchController::finderPage() const {
    return m_finderPage;
}
TDirInfoPage* SearchController::dirInfoPage() const {
    return m_infoPage;
}
TSearchStringsPage* SearchController::searchStringsPage() const {
    return m_stringsPage;
}

void SearchController::installPages(QTabWidget* dirPageControl, QStackedWidget* zenPageControl) {
    m_dirPages = dirPageControl;
    m_commandStrip = zenPageControl;
    if (dirPageControl) {
        dirPageControl->addTab(m_infoPage, QIcon::fromTheme("dialog-information"), "Info");
        dirPageControl->addTab(m_finderPage, m_runIcon, "Finder");
        dirPageControl->tabBar()->show();
        connect(dirPageControl, &QTabWidget::currentChanged, this, &SearchController::pageChanged);
    }
    if (zenPageControl)
        zenPageControl->addWidget(m_stringsPage);
    finderStatus(m_state.finderState);
    dirInfoStatus(m_state.statisticsState);
}

void SearchController::setWatchDog(TWDList* watchDog) {
    m_tagged->SetWatchDog(watchDog);
}

void SearchController::setFileList(TVirtualListBox* list) {
    m_fileList = list;
}

void SearchController::wireFinderPage() {
    TFinderPage* page = m_finderPage;
    connect(page->btnFindFile, &QPushButton::clicked, this, &SearchController::btnFindFileClick);
    connect(page->btnFindFillResults, &QPushButton::clicked, this,
            &SearchController::btnFindFillResultsClick);
    connect(page->sbBrowseFindStartDir, &QToolButton::clicked, this,
            &SearchController::browseStartDir);
    connect(page, &TFinderPage::browseStartDirRequested, this, &SearchController::browseStartDir);
    connect(page->sbBrowseFindPatterns, &QToolButton::clicked, this,
            &SearchController::browsePatterns);
    connect(page, &TFinderPage::browsePatternsRequested, this, &SearchController::browsePatterns);
    connect(page, &TFinderPage::boxLeft, this, &SearchController::boxLeft);
    connect(page, &TFinderPage::disksReleased, this, &SearchController::disksReleased);
    connect(page->hcbFindStartDir, &QComboBox::editTextChanged, this,
            &SearchController::selectDisksOfStartDirs);
    connect(page, &TFinderPage::resultOpenRequested, this, [this] { openResult(false); });
    connect(page, &TFinderPage::resultViewRequested, this, [this] { openResult(true); });
    connect(page, &TFinderPage::resultsDragRequested, this, &SearchController::dragResults);
    page->setCountText("0");
}

// --- pages -----------------------------------------------------------------------------------

bool SearchController::finderPageActive() const {
    return m_dirPages && m_finderPage && m_dirPages->currentWidget() == m_finderPage;
}

bool SearchController::infoPageActive() const {
    return m_dirPages && m_infoPage && m_dirPages->currentWidget() == m_infoPage;
}

bool SearchController::isTreePanelVisible() const {
    return treePanelVisible ? treePanelVisible() : true;
}

void SearchController::restoreFileWindow() {
    if (m_fw.Maximized())
        m_fw.MaximizeMainListBox(false);
}

void SearchController::setTabIcon(QWidget* page, bool running) {
    if (!m_dirPages || !page)
        return;
    const int index = m_dirPages->indexOf(page);
    if (index < 0)
        return;
    if (page == m_finderPage)
        m_dirPages->setTabIcon(index, running ? m_stopIcon : m_runIcon);
    else
        m_dirPages->setTabIcon(index,
                               running ? m_stopIcon : QIcon::fromTheme("dialog-information"));
}

void SearchController::pageChanged() {
    // The buttons carry their accelerators only on their own pages.
    finderStatus(m_state.finderState);
    dirInfoStatus(m_state.statisticsState);
    if (finderPageActive())
        finderPageShown();
    if (infoPageActive() && m_infoPage)
        m_infoPage->DirSpaceMap->invalidate();
}

// --- the finder ------------------------------------------------------------------------------

void SearchController::FindFile() {
    restoreFileWindow();
    if (!m_dirPages || !m_finderPage)
        return;
    if (finderPageActive())
        finderPageShown(); // set to the selected directory all the same
    else
        m_dirPages->setCurrentWidget(m_finderPage);
    m_finderPage->hcbFindPatterns->setFocus(Qt::OtherFocusReason);
    if (QLineEdit* edit = m_finderPage->hcbFindPatterns->lineEdit())
        edit->selectAll();
}

void SearchController::finderPageShown() {
    if (!m_finderPage)
        return;
    if (m_state.finderState != AppState::kIdle) {
        m_finderPage->update();
        return;
    }
    fillDiskList();
    TFinderPage* page = m_finderPage;
    if (const TTreeNode* node = m_cat.Tree().Selected())
        page->hcbFindStartDir->setEditText(q(node->Path()));
    const std::vector<std::string> patterns = page->hcbFindPatterns->Items();
    page->hcbFindPatterns->setEditText(patterns.empty() ? QString("*.*") : q(patterns.front()));
    page->setDirectoryText(page->hcbFindStartDir->currentText());
    selectDisksOfStartDirs();
}

void SearchController::fillDiskList() {
    QListWidget* list = m_finderPage->dlbFindDisks;
    QStringList letters;
    for (const platform::DriveInfo& d : m_drives.Drives())
        letters << QString("%1:").arg(QChar(d.letter));
    QStringList shown;
    for (int i = 0; i < list->count(); ++i)
        shown << list->item(i)->text();
    if (shown == letters)
        return;
    list->clear();
    list->addItems(letters);
}

void SearchController::selectDisksOfStartDirs() {
    if (!m_finderPage)
        return;
    QListWidget* list = m_finderPage->dlbFindDisks;
    if (list->count() == 0)
        fillDiskList();
    std::string problem;
    const std::vector<std::string> dirs = StartDirsOnDrives(
        m_finderPage->hcbFindStartDir->currentText().toStdString(), m_drives, problem);
    const QSignalBlocker blocker(list);
    for (int i = 0; i < list->count(); ++i) {
        const char letter = list->item(i)->text().at(0).toLatin1();
        const bool chosen = std::any_of(dirs.begin(), dirs.end(),
                                        [&](const std::string& d) { return d[0] == letter; });
        list->item(i)->setSelected(chosen);
    }
}

void SearchController::disksReleased() {
    QListWidget* list = m_finderPage->dlbFindDisks;
    QString dirs;
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->isSelected())
            dirs += list->item(i)->text().left(1).toUpper() + ":\\;";
    const QSignalBlocker blocker(m_finderPage->hcbFindStartDir);
    m_finderPage->hcbFindStartDir->setEditText(dirs);
}

void SearchController::browseStartDir() {
    if (!m_finderPage)
        return;
    std::string problem;
    const std::vector<std::string> dirs = StartDirsOnDrives(
        m_finderPage->hcbFindStartDir->currentText().toStdString(), m_drives, problem);
    std::string from = dirs.empty() ? std::string() : dirs.front();
    if (from.empty())
        if (const TTreeNode* node = m_cat.Tree().Selected())
            from = node->Path();
    const QString start = q(m_drives.ToHostPath(from).value_or(std::string()));
    const QString chosen = QFileDialog::getExistingDirectory(m_window, "Start directory", start);
    if (chosen.isEmpty())
        return;
    if (const auto path = m_drives.ToCataloguePath(chosen.toStdString(), true))
        m_finderPage->hcbFindStartDir->setEditText(q(*path));
    else
        m_prompter.warnWith("Directory does not exist!     ",
                            NoDriveProblem(chosen.toStdString()));
}

void SearchController::browsePatterns() {
    if (!m_finderPage)
        return;
    THistoryComboBox* box = m_finderPage->hcbFindPatterns;
    if (auto spec = m_plugins.CallExtendedFileSpec(
            m_cat.UserFileTypes, box->currentText().toStdString(), m_window.data()))
        box->setEditText(q(*spec));
}

void SearchController::boxLeft(THistoryComboBox* box) {
    if (box->currentText().trimmed().isEmpty()) {
        if (box == m_finderPage->hcbFindPatterns)
            box->setEditText("*.*");
        return;
    }
    const QString text = box->currentText();
    box->Save();
    box->setEditText(text);
}

void SearchController::btnFindFileClick() {
    switch (m_state.finderState.load()) {
    case AppState::kIdle:
        // A run that has said it is idle may still wait on this thread for its
        // last status: joining it here would never return. Its end is near.
        if (!m_finder)
            startFind();
        break;
    case AppState::kRunning:
        m_finderAborted = true;
        m_state.finderState = AppState::kStopping;
        finderStatus(AppState::kStopping);
        break;
    default:
        break; // starting or stopping: the click is not taken
    }
}

void SearchController::startFind() {
    TFinderPage* page = m_finderPage;
    if (!page)
        return;
    // Host paths ("/usr/share", "~") are searched as the drives that hold them.
    std::string problem;
    const std::vector<std::string> startDirs =
        StartDirsOnDrives(page->hcbFindStartDir->currentText().toStdString(), m_drives, problem);
    if (!problem.empty()) {
        m_prompter.warnWith("Directory does not exist!     ", problem);
        return;
    }
    m_finderAborted = false;
    page->setCountText("0");
    page->lbFindResults->clear();
    m_state.finderState = AppState::kStarting;
    finderStatus(AppState::kStarting);

    TFinderData data;
    for (const std::string& dir : startDirs)
        data.StartDirs += dir + ";";
    data.Recursive = page->cbFindRecursive->isChecked();
    data.Patterns = page->hcbFindPatterns->currentText().trimmed().toStdString();
    if (data.Patterns.empty())
        data.Patterns = "*.*";
    data.MatchString = page->hcbFindMatchString->currentText().toStdString();
    data.MatchEnabled = page->cbMatchEnable->isChecked();
    if (data.MatchString.empty()) {
        data.MatchEnabled = false;
        page->cbMatchEnable->setChecked(false);
    }
    data.CaseSensitive = page->cbMatchCaseSensitive->isChecked();
    data.Turbo = page->cbFindTurbo->isChecked();
    FinderUi& ui = *this;
    m_finder = std::make_unique<TFileFinderThread>(std::move(data), m_drives, m_state.finderState,
                                                   ui, *m_bridge);
    m_finder->OnDirectoryEntered = onFinderDirectory;
    m_finder->Start();
}

void SearchController::OnStatus(int state) {
    finderStatus(state);
}

void SearchController::finderStatus(int state) {
    TFinderPage* page = m_finderPage;
    if (!page)
        return;
    const bool onPage = finderPageActive();
    const bool idle = state == AppState::kIdle;
    const bool running = state == AppState::kRunning;
    if (idle || running) {
        page->btnFindFile->setText(idle ? (onPage ? "&Find" : "Find")
                                        : (onPage ? "&Stop" : "Stop"));
        page->btnFindFile->setAccessibleName(idle ? "Find" : "Stop");
        page->btnFindFile->setIcon(idle ? m_runIcon : m_stopIcon);
        setTabIcon(page, running);
    }
    page->btnFindFile->setEnabled(idle || running);
    page->btnFindFillResults->setEnabled(idle);
    QWidget* const options[] = {page->hcbFindStartDir,      page->sbBrowseFindStartDir,
                                page->dlbFindDisks,         page->hcbFindPatterns,
                                page->sbBrowseFindPatterns, page->cbFindRecursive,
                                page->cbMatchEnable,        page->hcbFindMatchString,
                                page->cbMatchCaseSensitive, page->cbFindTurbo};
    for (QWidget* option : options)
        option->setEnabled(idle);
}

void SearchController::ShowDirectory(const std::string& text) {
    if (m_finderPage)
        m_finderPage->setDirectoryText(q(text));
}

std::string SearchController::DirectoryText() {
    return m_finderPage ? m_finderPage->CurrFileFindDirLabel->text().toStdString() : std::string();
}

void SearchController::AddResults(const std::vector<std::string>& fullNames, int count) {
    if (!m_finderPage)
        return;
    QStringList names;
    names.reserve(static_cast<qsizetype>(fullNames.size()));
    for (const std::string& name : fullNames)
        names << q(name);
    m_finderPage->lbFindResults->addItems(names);
    m_finderPage->setCountText(QString::number(count));
}

void SearchController::ShowCount(int count) {
    if (m_finderPage)
        m_finderPage->setCountText(QString::number(count));
}

void SearchController::TurboOff() {
    if (m_finderPage)
        m_finderPage->cbFindTurbo->setChecked(false);
}

void SearchController::CannotScan(const std::string& text) {
    m_prompter.error(text);
}

void SearchController::OnTerminate() {
    finderDone();
}

void SearchController::finderDone() {
    const size_t linksSkipped = m_finder ? m_finder->LinksSkipped() : 0;
    m_finder.reset(); // the thread has ended: the join is immediate
    const QString count = m_finderPage ? m_finderPage->lbFindCount->text() : QString("0");
    std::string done = "File find completed! " + count.toStdString() + " files found.";
    if (linksSkipped)
        done += "\n" + LinksSkippedText(linksSkipped);
    completion(m_finderAborted, finderPageActive(), done);
    setTabIcon(m_finderPage, false);
}

void SearchController::completion(bool aborted, bool pageActive, const std::string& doneText) {
    // A window that is closing tells nothing more.
    if (!m_window || !m_window->isVisible())
        return;
    if (aborted) {
        m_prompter.inform("Aborted. Partial results displayed.     ");
        return;
    }
    if (m_window->isMinimized()) {
        m_window->showNormal();
        m_window->raise();
        m_window->activateWindow();
        m_prompter.inform(doneText);
        return;
    }
    if (pageActive && isTreePanelVisible()) {
        PlayCompletionSound(m_settings);
        return;
    }
    m_prompter.inform(doneText);
}

void SearchController::btnFindFillResultsClick() {
    if (!m_finderPage || m_finderPage->lbFindResults->count() == 0)
        return;
    std::vector<std::string> names;
    for (int i = 0; i < m_finderPage->lbFindResults->count(); ++i)
        names.push_back(UpperCase(m_finderPage->lbFindResults->item(i)->text().toStdString()));
    std::sort(names.begin(), names.end());
    // The file window goes back to its normal size, a wider scope to one
    // directory, the focus to the tree; then the results are its entries.
    m_fw.DropFindResults(names);
    if (m_tree)
        m_tree->setFocus(Qt::OtherFocusReason);
}

void SearchController::openResult(bool view) {
    if (!m_finderPage)
        return;
    const QStringList chosen = m_finderPage->selectedResults();
    if (chosen.size() != 1)
        return;
    const std::string fullName = chosen.front().toStdString();
    if (view && viewFile) {
        viewFile(fullName);
        return;
    }
    const auto host = m_drives.ToHostPath(fullName);
    if (!host || !platform::StartDetached("xdg-open", {*host}))
        m_prompter.beep();
}

void SearchController::dragResults() {
    if (!m_finderPage)
        return;
    const QStringList chosen = m_finderPage->selectedResults();
    if (chosen.isEmpty())
        return;
    auto* data = new QMimeData;
    SetFindResults(data, chosen);
    // Other programs take the files themselves.
    QList<QUrl> urls;
    for (const QString& name : chosen)
        if (const auto host = m_drives.ToHostPath(name.toStdString()))
            urls << QUrl::fromLocalFile(q(*host));
    data->setUrls(urls);
    auto* drag = new QDrag(m_finderPage->lbFindResults);
    drag->setMimeData(data);
    drag->exec(Qt::CopyAction);
    if (m_dirPages && m_tree && m_dirPages->currentIndex() == 0)
        m_tree->setFocus(Qt::OtherFocusReason);
}

bool SearchController::eventFilter(QObject* watched, QEvent* event) {
    // Find results dropped on the file window become its result list.
    if (watched != m_window || !m_fileList)
        return QObject::eventFilter(watched, event);
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return QObject::eventFilter(watched, event);
    auto* drop = static_cast<QDropEvent*>(event);
    if (!drop->mimeData()->hasFormat(kFindResultsMime))
        return QObject::eventFilter(watched, event);
    const QPoint at = m_fileList->mapFrom(m_window, drop->position().toPoint());
    if (!m_fileList->rect().contains(at)) {
        drop->ignore();
        return true;
    }
    drop->acceptProposedAction();
    if (type == QEvent::Drop) {
        m_fw.DropFindResults(FindResults(drop->mimeData()));
    }
    return true;
}

// --- directory statistics ---------------------------------------------------------------------

void SearchController::btnScanClick() {
    if (!infoPageActive())
        return;
    switch (m_state.statisticsState.load()) {
    case AppState::kIdle: {
        if (m_dirInfo)
            break; // its end is on its way (see btnFindFileClick)
        m_state.statisticsState = AppState::kStarting;
        dirInfoStatus(AppState::kStarting);
        m_dirInfoAborted = false;
        const TTreeNode* node = m_cat.Tree().Selected();
        m_dirInfo = std::make_unique<TDirInfoThread>(node ? node->Path() : std::string(), m_drives,
                                                     m_cat.UserFileTypes, m_state.statisticsState,
                                                     *m_dirInfoSide, *m_bridge);
        m_dirInfo->Start();
        break;
    }
    case AppState::kRunning:
        m_dirInfoAborted = true;
        m_state.statisticsState = AppState::kStopping;
        dirInfoStatus(AppState::kStopping);
        break;
    default:
        break;
    }
}

void SearchController::pmiDirInfoClick() {
    if (!m_dirPages || !m_infoPage)
        return;
    restoreFileWindow();
    m_dirPages->setCurrentWidget(m_infoPage);
    btnScanClick();
}

void SearchController::dirInfoStatus(int state) {
    TDirInfoPage* page = m_infoPage;
    if (!page)
        return;
    const bool onPage = infoPageActive();
    const bool idle = state == AppState::kIdle;
    const bool running = state == AppState::kRunning;
    if (idle || running) {
        page->btnScan->setText(idle ? (onPage ? "&Scan" : "Scan") : (onPage ? "&Stop" : "Stop"));
        page->btnScan->setAccessibleName(idle ? "Scan" : "Stop");
        page->btnScan->setIcon(idle ? m_runIcon : m_stopIcon);
        setTabIcon(page, running);
    }
    page->btnScan->setEnabled(idle || running);
}

void SearchController::dirInfoDone() {
    m_dirInfo.reset();
    completion(m_dirInfoAborted, infoPageActive(), "Dir info scan completed!     ");
    setTabIcon(m_infoPage, false);
}

void SearchController::miDirStatisticsClick() {
    const TTreeNode* node = m_cat.Tree().Selected();
    if (!node)
        return;
    const std::string path = node->Path();
    const auto host = m_drives.ToHostPath(path);
    if (!host)
        return;
    DirTotals totals;
    uint64_t cluster = 512;
    {
        BusyGuard busy(m_state);
        const platform::FileSystemFigures fs = platform::QueryFileSystem(*host);
        if (fs.known && fs.blockSize > 0)
            cluster = fs.blockSize;
        const platform::DriveInfo* drive = m_drives.Find(path[0]);
        const bool cdrom =
            (drive && drive->kind == platform::DriveKind::CdRom) || fs.readOnlyMedium;
        if (cdrom)
            cluster = 2048;
        DirStatisticsWalk::Options options;
        // A disc's sectors, not the blocks of whatever holds its files here.
        if (cdrom)
            options.clusterSize = cluster;
        options.threads = DirStatisticsWalk::DefaultThreads();
        options.yearsAndTypes = false;
        totals = DirStatisticsWalk::Walk(*host, path, options);
    }
    m_prompter.inform(DirStatisticsReport::SummaryBoxText(totals, cluster));
}

// --- text search of tagged files ---------------------------------------------------------------

void SearchController::SearchTaggedFilesForString() {
    m_tagged->SearchTaggedFilesForString();
}

void SearchController::showSearchPanel() {
    TSearchStringsPage* page = m_stringsPage;
    if (!page)
        return;
    if (m_commandStrip) {
        if (!m_panelUp) {
            m_stripPageBefore = m_commandStrip->currentWidget();
            m_stripWasVisible = m_commandStrip->isVisible();
        }
        m_commandStrip->setCurrentWidget(page);
        m_commandStrip->show();
    } else {
        page->show();
    }
    m_panelUp = true;
    page->hbSearchStrings->setFocus(Qt::OtherFocusReason);
    if (QLineEdit* edit = page->hbSearchStrings->lineEdit())
        edit->selectAll();
}

void SearchController::closeSearchPanel() {
    if (!m_panelUp || !m_stringsPage)
        return;
    m_panelUp = false;
    if (m_commandStrip) {
        if (m_stripPageBefore && m_stripPageBefore != m_stringsPage)
            m_commandStrip->setCurrentWidget(m_stripPageBefore);
        else if (m_commandStrip->count() > 0)
            m_commandStrip->setCurrentIndex(0);
        m_commandStrip->setVisible(m_stripWasVisible);
    } else {
        m_stringsPage->hide();
    }
}

void SearchController::addSearchHistory(const std::string& text) {
    if (!m_stringsPage)
        return;
    m_stringsPage->hbSearchStrings->setEditText(q(text));
    m_stringsPage->hbSearchStrings->Save();
}

void SearchController::setViewerSearchText(const std::string& text) {
    m_viewerSearchText = text;
    if (onViewerSearchText)
        onViewerSearchText(text);
}

void SearchController::bringEntryIntoView(int index) {
    if (m_fileList && !m_fileList->isItemVisible(index))
        m_fileList->setTopIndex(index);
}

} // namespace zentrix
