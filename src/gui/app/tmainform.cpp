#include "gui/app/tmainform.h"

#include "app/appframe.h"
#include "catalogue/catalogue.h"
#include "catalogue/disklogger.h"
#include "catalogue/livecatalogue.h"
#include "catalogue/loggeddisktabs.h"
#include "catalogue/treecommands.h"
#include "config/compatibility.h"
#include "config/historyboxes.h"
#include "config/settings.h"
#include "config/settingsstore.h"
#include "config/tenhinifile.h"
#include "core/appstate.h"
#include "core/plugincalls.h"
#include "gui/app/mainformaccessible.h"
#include "filewindow/filewindowui.h"
#include "filewindow/quickview.h"
#include "gui/app/filemenustate.h"
#include "gui/app/guiprompter.h"
#include "gui/controls/systemclipboard.h"
#include "gui/view/openwithmenu.h"
#include "gui/app/mainmenubar.h"
#include "gui/app/mainstatusbar.h"
#include "gui/app/programicon.h"
#include "gui/app/shellmenus.h"
#include "gui/app/tquickviewpane.h"
#include "gui/app/tquotesform.h"
#include "gui/app/ttipsform.h"
#include "gui/app/tzentrixtray.h"
#include "gui/config/fontconvert.h"
#include "gui/config/toolscontroller.h"
#include "gui/config/toptionsform.h"
#include "gui/controls/a11y.h"
#include "gui/controls/tabring.h"
#include "gui/ops/comparetestcontroller.h"
#include "gui/ops/copymovecontroller.h"
#include "gui/ops/deletecontroller.h"
#include "gui/ops/diropscontroller.h"
#include "gui/ops/rootscontroller.h"
#include "gui/ops/tcopymovepage.h"
#include "gui/ops/tfileopprogressform.h"
#include "gui/undo/undocontroller.h"
#include "undo/undojournal.h"
#include "gui/quicksearch/quicksearchcontroller.h"
#include "ops/tfileoperator.h"
#include "gui/ops/opscontroller.h"
#include "ops/twdlist.h"
#include "gui/help/helpcontroller.h"
#include "gui/controls/tenhheadercontrol.h"
#include "gui/controls/thistorycombobox.h"
#include "gui/controls/tmrufilelist.h"
#include "gui/controls/tplacement.h"
#include "gui/controls/tsplitcontrol.h"
#include "gui/disks/cdcachecontroller.h"
#include "gui/disks/diskcontroller.h"
#include "gui/disks/tdiskinfopanel.h"
#include "gui/disks/tloggeddrivestabset.h"
#include "gui/disks/tzentrixdrives.h"
#include "gui/filewindow/filewindowcontroller.h"
#include "gui/filewindow/tvirtuallistbox.h"
#include "gui/tagging/taggingcontroller.h"
#include "gui/tagging/tagwizardcontroller.h"
#include "gui/tagging/tfileattrpage.h"
#include "gui/tree/cataloguetreemodel.h"
#include "gui/tree/dirpropertiesdialog.h"
#include "gui/tree/livecontroller.h"
#include "gui/tree/thetreeview.h"
#include "gui/search/searchcontroller.h"
#include "gui/tree/treecontroller.h"
#include "gui/view/quickviewcontroller.h"
#include "gui/view/viewcontroller.h"
#include "platform/drivetable.h"
#include "platform/systeminfo.h"
#include "platform/volume.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QShowEvent>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusTipEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QTextBrowser>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace zentrix {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

template <typename W> W* named(W* widget, const char* name, const QString& accessible) {
    NameComponent(widget, name, accessible);
    return widget;
}

} // namespace

TMainForm::TMainForm(Catalogue& catalogue, AppState& state, Settings& settings,
                     platform::DriveTable& drives, Prompter* prompter, QWidget* parent)
    : QMainWindow(parent), m_cat(catalogue), m_state(state), m_settings(settings), m_drives(drives),
      m_ownPrompter(prompter ? nullptr : std::make_unique<GuiPrompter>(this)),
      m_prompter(prompter ? prompter : m_ownPrompter.get()),
      m_tabs(std::make_unique<LoggedDiskTabs>(state)),
      m_logger(std::make_unique<DiskLogger>(catalogue, state, settings, *m_tabs, *m_prompter, *this)),
      m_treeCommands(std::make_unique<TreeCommands>(catalogue, state, settings, *m_logger, *m_tabs,
                                                    *m_prompter, *this)),
      m_store(std::make_unique<TEnhIniFile>(SettingsIniName())),
      m_plugins(std::make_unique<PluginCalls>(*m_prompter)),
      m_watchDog(std::make_unique<TWDList>(settings, *m_prompter, drives)) {
    setObjectName("TMainForm");
    setWindowTitle("Zentrix 1.0");
    setMinimumSize(630, 470);
    resize(630, 470);
    setAcceptDrops(true);

    // The WatchDog's flags as the settings hold them; its failures go to the status line.
    m_watchDog->LoadFlags(m_settings.WatchDogOperations);
    m_watchDog->onLogFailure = [this](const std::string& text) { MainStatusBar->setHint(q(text)); };

    // The recent directories, kept under "MRU Directories".
    mruDirs = new TMRUFileList(this);
    mruDirs->RemoveOnClick = false;
    mruDirs->setMaximum(20);
    mruDirs->setAutoSaveName("\\Software\\Morvane\\Zentrix");
    mruDirs->setAutoSaveKey("MRU Directories");
    mruDirs->IniFileName = QString::fromStdString(SettingsIniName());

    aiForm = new ProgramIcon(this);
    screenSaver = new ScreenSaverInhibitor(this);
    m_fileOperator = std::make_unique<TFileOperator>(m_drives, *m_prompter);
    m_fileOperator->Flags.add(FileOpFlag::foFilesOnly).add(FileOpFlag::foMultiDestFiles);
    m_fileOperator->SetWindow(new TFileOpProgressForm(this));
    m_roots = new RootsController(m_cat, m_drives, m_settings, *m_logger, *m_prompter, *this,
                                  *m_store, this); // its roots are in the drive list
    m_roots->model().LoggedDiskCount = [this] { return m_tabs->Count(); };
    m_disks = new DiskController(m_cat, m_state, m_settings, *m_logger, *m_treeCommands, *m_tabs,
                                 *m_prompter, *m_plugins, m_drives, *this, this);
    buildLayout();
    m_undo = new UndoController({m_cat, m_state, m_settings, *m_logger, *m_watchDog, *m_prompter,
                                 *MainStatusBar, *this},
                                this);
    m_undo->onProblem = [this](const std::string& text) { MainStatusBar->setHint(q(text)); };
    wireTree();
    wireFileWindow();
    wireDisks();
    wireView();
    wireLive();
    m_cdCache = new CdCacheController(m_cat, m_state, m_settings, *m_logger, *m_prompter,
                                      *MainStatusBar, *this, this);
    m_cdCache->InstallTitleView(scVertical, ZenPageControl, ts_TitlePage, MainStatusBar);
    m_help = new HelpController(this);
    m_undo->showTopic = [this](const QString& topic) { m_help->ShowTopic(topic); };
    buildCommands();
    wireMenus();

    // Step 4: no drive switch, system information once, no refill pending.
    m_state.driveSwitch = false;
    SysTimerTimer();
    m_state.refillRequested = false;
    m_state.onRefillRequested = [this] { scheduleIdle(); };
    m_state.onBusyChanged = [](bool busy) {
        if (busy)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    };

    // Step 6: the user's name on the status line.
    MainStatusBar->setUserName(q(platform::CurrentUserName()));
    // What was wrong with the drive table the user gave stays readable on the
    // status line until the first hint replaces it.
    if (!m_drives.Problems().empty()) {
        QStringList problems;
        for (const std::string& p : m_drives.Problems())
            problems << q(p);
        MainStatusBar->setHint(problems.join("; "));
    }

    // Steps 10 to 12: the settings reach the windows.
    ApplySettings(m_settings, *this);
    ZenPageControl->setVisible(m_settings.ShowMemStat);

    // The history boxes share one close-up handler.
    for (THistoryComboBox* box : findChildren<THistoryComboBox*>())
        connect(box, &TEnhComboBox::OnCloseUp, box, [box] { HistoryBoxWriteIniOnCloseUp(box); });
    // Tab goes round the panes; assistive tools see the window whole.
    new TabRing({MainTreeView, m_fileWindow->MainListBox, hbFileSpec, lbDrives}, this);
    InstallMainWindowAccessibility(this, MainTreeView);
}

TMainForm::~TMainForm() {
    // The children go after this body: focus changes while they go must not
    // reach handlers that use what is already gone.
    if (QWidget* focus = QApplication::focusWidget(); focus && isAncestorOf(focus))
        focus->clearFocus();
    QObject::disconnect(qApp, nullptr, this, nullptr);
    // The controllers refer to the core objects this window owns as members;
    // they go first, while those still exist (children would go after them).
    MainTreeView->WndProcFunction = nullptr;
    delete m_search; // its workers stop before what they show goes
    m_search = nullptr;
    delete m_live; // its watcher stops before the logger it follows goes
    m_live = nullptr;
    delete m_fileMenuState;
    delete m_toolsCtl;
    delete m_wizard;
    delete m_menus;
    delete m_view;
    m_view = nullptr;
    delete m_quickView;
    m_quickView = nullptr;
    delete m_undo; // its windows act on the controllers below
    m_undo = nullptr;
    delete m_dirOps;
    m_dirOps = nullptr;
    delete m_ops;
    delete m_tagging;
    delete m_copyMove;
    delete m_delete;
    delete m_compareTest;
    delete m_roots;
    delete m_disks;
    delete m_quickSearch;
    m_quickSearch = nullptr;
    delete m_cdCache;
    m_cdCache = nullptr;
    delete m_fileWindow;
    delete m_treeController;
    m_fileMenuState = nullptr;
    m_toolsCtl = nullptr;
    m_wizard = nullptr;
    m_menus = nullptr;
    m_ops = nullptr;
    m_tagging = nullptr;
    m_copyMove = nullptr;
    m_delete = nullptr;
    m_compareTest = nullptr;
    m_roots = nullptr;
    m_disks = nullptr;
    m_fileWindow = nullptr;
    m_treeController = nullptr;
    m_state.onRefillRequested = nullptr;
    m_state.onBusyChanged = nullptr;
}

void TMainForm::buildLayout() {
    auto* central = named(new QWidget(this), "MainFormClient", "Zentrix");
    auto* outer = new QVBoxLayout(central);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    scVertical = named(new QSplitter(Qt::Horizontal, central), "scVertical", "Main and statistics splitter");
    MainPanel = named(new QWidget(scVertical), "MainPanel", "Main panel");
    auto* mainLayout = new QVBoxLayout(MainPanel);
    mainLayout->setContentsMargins(2, 2, 2, 2);
    mainLayout->setSpacing(2);

    // Drive and tool strip.
    pnDrivesTools = named(new QWidget(MainPanel), "pnDrivesTools", "Drives and tools");
    auto* tools = new QHBoxLayout(pnDrivesTools);
    tools->setContentsMargins(0, 0, 0, 0);
    lbDrives = m_disks->lbDrives;
    sbDrivesDown = named(new QToolButton(pnDrivesTools), "sbDrivesDown", "Drop down the drive list");
    sbDrivesDown->setArrowType(Qt::DownArrow);
    sbPrevDisk = named(new QToolButton(pnDrivesTools), "sbPrevDisk", "Previous disk");
    sbPrevDisk->setText("<");
    sbPrevDisk->setToolTip("Previous disk");
    sbNextDisk = named(new QToolButton(pnDrivesTools), "sbNextDisk", "Next disk");
    sbNextDisk->setText(">");
    sbNextDisk->setToolTip("Next disk");
    sbDirUp = named(new QToolButton(pnDrivesTools), "sbDirUp", "Go to parent directory");
    sbDirUp->setArrowType(Qt::UpArrow);
    sbDirUp->setToolTip("Go to parent directory ...");
    tools->addWidget(lbDrives, 1);
    tools->addWidget(sbDrivesDown);
    tools->addWidget(sbPrevDisk);
    tools->addWidget(sbNextDisk);
    tools->addWidget(sbDirUp);
    for (QToolButton* button : m_roots->makeButtons(pnDrivesTools))
        tools->addWidget(button);
    mainLayout->addWidget(pnDrivesTools);

    CurrDirPanel = named(new QFrame(MainPanel), "CurrDirPanel", "Current directory panel");
    CurrDirPanel->setFrameShape(QFrame::StyledPanel);
    auto* dirLayout = new QHBoxLayout(CurrDirPanel);
    dirLayout->setContentsMargins(4, 1, 4, 1);
    CurrDirLabel = new QLabel(CurrDirPanel);
    NameValueLabel(CurrDirLabel, "CurrDirLabel", "Current directory");
    CurrDirLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    dirLayout->addWidget(CurrDirLabel);
    mainLayout->addWidget(CurrDirPanel);

    scHorizontal = named(new QSplitter(Qt::Vertical, MainPanel), "scHorizontal", "Tree and file window splitter");
    pnMainTreeView = named(new QWidget(scHorizontal), "pnMainTreeView", "Directory panel");
    auto* treeLayout = new QVBoxLayout(pnMainTreeView);
    treeLayout->setContentsMargins(0, 0, 0, 0);
    DirPageControl = named(new QTabWidget(pnMainTreeView), "DirPageControl", "Directory pages");
    tsDirTree = named(new QWidget, "tsDirTree", "Directory tree page");
    auto* pageLayout = new QVBoxLayout(tsDirTree);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->setSpacing(0);
    LoggedDrivesTabSet = m_disks->LoggedDrivesTabSet;
    MainTreeView = named(new THETreeView(tsDirTree), "MainTreeView", "Directory tree");
    pageLayout->addWidget(LoggedDrivesTabSet);
    pageLayout->addWidget(MainTreeView);
    DirPageControl->addTab(tsDirTree, QIcon::fromTheme("folder"), "Tree");
    DirPageControl->tabBar()->hide();
    treeLayout->addWidget(DirPageControl);
    scHorizontal->addWidget(pnMainTreeView);
    // The file window panel (pnMainListBox) comes with the file window.
    mainLayout->addWidget(scHorizontal, 1);

    StatisticsPanel = named(new QWidget(scVertical), "StatisticsPanel", "Statistics panel");
    StatisticsPanel->setMinimumWidth(200);
    auto* statLayout = new QVBoxLayout(StatisticsPanel);
    statLayout->setContentsMargins(2, 2, 2, 2);
    pnFileSpecHolder =
        named(new QWidget(StatisticsPanel), "pnFileSpecHolder", "File specification");
    new QVBoxLayout(pnFileSpecHolder);
    pnFileSpecHolder->layout()->setContentsMargins(0, 0, 0, 0);
    statLayout->addWidget(pnFileSpecHolder);
    scQuickView = named(new QSplitter(Qt::Vertical, StatisticsPanel), "scQuickView", "Quick view splitter");
    pnQuickView = new TQuickViewPane(scQuickView);
    pnQuickView->hide();
    pnStatistics = named(new QWidget(scQuickView), "pnStatistics", "Statistics");
    new QVBoxLayout(pnStatistics);
    pnStatistics->layout()->setContentsMargins(0, 0, 0, 0);
    scQuickView->addWidget(pnQuickView);
    scQuickView->addWidget(pnStatistics);
    // The quick view shows only now and then: its splitter keeps the size given
    // beside it for as long as the window lives.
    m_quickViewSplit = new TSplitControl(scQuickView, pnStatistics, this);
    m_quickViewSplit->IniFileName = QString::fromStdString(SettingsIniName());
    statLayout->addWidget(scQuickView, 1);
    scVertical->addWidget(MainPanel);
    scVertical->addWidget(StatisticsPanel);
    scVertical->setStretchFactor(0, 3);
    scVertical->setStretchFactor(1, 1);
    outer->addWidget(scVertical, 1);

    pnCmdLine = named(new QWidget(central), "pnCmdLine", "Command line");
    pnCmdLine->hide();
    outer->addWidget(pnCmdLine);

    ZenPageControl = named(new QStackedWidget(central), "ZenPageControl", "Command strip");
    ts_TitlePage = named(new QWidget, "ts_TitlePage", "Title page");
    auto* title = new QHBoxLayout(ts_TitlePage);
    title->setContentsMargins(6, 2, 6, 2);
    lbProgramName = new QLabel("Zentrix", ts_TitlePage);
    NameValueLabel(lbProgramName, "lbProgramName", QString());
    QFont big = lbProgramName->font();
    big.setBold(true);
    lbProgramName->setFont(big);
    lbVersion = new QLabel("Version 1.0", ts_TitlePage);
    NameValueLabel(lbVersion, "lbVersion", QString());
    pnSysInfo = new QLabel(ts_TitlePage);
    NameValueLabel(pnSysInfo, "pnSysInfo", "System information");
    title->addWidget(lbProgramName);
    title->addWidget(lbVersion);
    title->addStretch(1);
    title->addWidget(pnSysInfo);
    ZenPageControl->addWidget(ts_TitlePage);
    m_disks->InstallPages(ZenPageControl, ts_TitlePage);
    ZenPageControl->setVisible(m_settings.ShowMemStat);
    outer->addWidget(ZenPageControl);

    MainStatusBar = new TMainStatusBar(m_state, central);
    outer->addWidget(MainStatusBar);
    setCentralWidget(central);

    SysTimer = new QTimer(this);
    SysTimer->setObjectName("SysTimer");
    SysTimer->setInterval(10000);
    connect(SysTimer, &QTimer::timeout, this, &TMainForm::SysTimerTimer);
    SysTimer->start();
    SplashTimer = new QTimer(this);
    SplashTimer->setObjectName("SplashTimer");
    SplashTimer->setInterval(1000);
    SplashTimer->setSingleShot(true);
    DragTimer = new QTimer(this);
    DragTimer->setObjectName("DragTimer");
    MediaTimer = new QTimer(this);
    MediaTimer->setObjectName("MediaTimer");

    connect(scHorizontal, &QSplitter::splitterMoved, this, &TMainForm::scHorizontalMoved);
    connect(scVertical, &QSplitter::splitterMoved, this, &TMainForm::scVerticalMoved);
    connect(sbDirUp, &QToolButton::clicked, this, &TMainForm::sbDirUpClick);
    connect(sbNextDisk, &QToolButton::clicked, m_disks, &DiskController::sbNextDiskClick);
    connect(sbPrevDisk, &QToolButton::clicked, m_disks, &DiskController::sbPrevDiskClick);
    connect(sbDrivesDown, &QToolButton::clicked, m_disks, &DiskController::sbDrivesDownClick);
    // While the drive list is dropped down the directory pages stay as they are.
    connect(DirPageControl, &QTabWidget::currentChanged, this, [this] {
        if (m_disks->DirPagesLocked() && DirPageControl->currentWidget() != tsDirTree)
            DirPageControl->setCurrentWidget(tsDirTree);
    });
}

void TMainForm::wireTree() {
    m_treeModel = new CatalogueTreeModel(m_cat.Tree(), this);
    m_treeController = new TreeController(MainTreeView, m_treeModel, *m_treeCommands, m_state,
                                          m_settings, this);
    connect(m_treeController, &TreeController::logDiskRequested, this, &TMainForm::LogDisk);
    connect(m_treeController, &TreeController::entered, this, [this] {
        // The tree gains the focus: its parent button shows, the statistics
        // follow it.
        sbDirUp->show();
        updateStatistics();
    });
    connect(m_treeController, &TreeController::shellMenuRequested, this, &TMainForm::showDirectoryMenu);
    connect(m_treeModel, &CatalogueTreeModel::selectionMoved, this, [this] { showCurrentDirectory(); });
}

void TMainForm::wireFileWindow() {
    m_fileWindow = new FileWindowController(m_cat, m_state, m_settings, *m_prompter, *MainStatusBar,
                                            *m_logger, this);
    pnMainListBox = m_fileWindow->listPanel();
    scHorizontal->addWidget(pnMainListBox);
    scHorizontal->setStretchFactor(0, 1);
    scHorizontal->setStretchFactor(1, 1);
    pnStatistics->layout()->addWidget(m_fileWindow->statisticsPanel());
    pnFileSpecHolder->hide();
    m_fileWindow->setTreeWidget(MainTreeView);
    m_fileWindow->setCurrDirLabelWidget(CurrDirLabel);
    if (const HistoryBoxSpec* spec = FindHistoryBox(kMainWindow, "hbFileSpec")) {
        hbFileSpec = THistoryComboBox::Create(*spec, m_fileWindow->statisticsPanel(), true);
        m_fileWindow->setFileSpecBox(hbFileSpec);
    }
    m_fileWindow->setPlugins(m_plugins.get(), &m_cat.UserFileTypes);
    m_fileWindow->applySettings();

    FileWindow& model = m_fileWindow->model();
    FillMainListBox = [this] { m_fileWindow->FillMainListBox(); };
    onEmptyFileWindow = [&model] { model.EmptyWindow(); };
    onFileWindowHasEntries = [&model] { return model.Count() > 0; };
    onFocusFileWindow = [this] { m_fileWindow->focusFileWindow(); };
    onUpdateStatistics = [&model] { model.UpdateStatistics(); };
    fileListWidget = [this]() -> QWidget* { return m_fileWindow->MainListBox; };
    onSetFileItemHeight = [&model](std::optional<int>) { model.ApplyFormat(); };
    onResortFileWindow = [&model] { model.SortMainListBox(); };
    fileWindowHasFocus = [this] { return m_fileWindow->fileWindowHasFocus(); };
    onResetFileWindow = [&model] { model.MaximizeMainListBox(false); };
    onApplyDescriptionColumn = [this](bool show) {
        if (!show && m_settings.FileSortOption == 5) {
            // Without the column a sort by description falls back to the name.
            m_settings.FileSortOption = 0;
            m_settings.SortOrder = false;
        }
        m_settings.ShowFileDescOption = show;
        m_fileWindow->applySettings();
    };

    connect(m_fileWindow, &FileWindowController::maximizedChanged, this, [this](bool maximized) {
        pnMainTreeView->setVisible(!maximized);
        lbDrives->setEnabled(!maximized);
    });
    connect(m_fileWindow, &FileWindowController::treeUpdatesLocked, this,
            [this](bool locked) { MainTreeView->setUpdatesEnabled(!locked); });
    connect(m_fileWindow, &FileWindowController::treeSelectionScrollRequested, this,
            [this] { scrollIntoView(m_cat.Tree().Selected()); });
    connect(m_fileWindow, &FileWindowController::treeFocusRequested, this, [this] { focusTree(); });
    connect(m_fileWindow, &FileWindowController::fileWindowFocusChanged, this, [this](bool focused) {
        // The parent button belongs to the tree; the quick view to the file window.
        sbDirUp->setVisible(!focused);
        UpdateQuickViewPanel(m_settings.QuickView);
    });
    connect(m_fileWindow, &FileWindowController::commandRequested, this,
            [this](FileCommand command) { fileCommandRequested(static_cast<int>(command)); });
    connect(m_fileWindow, &FileWindowController::popupMenuRequested, this,
            [this](const QPoint& pos) { showPopup("ListBoxPopupMenu", pos); });
    connect(m_fileWindow, &FileWindowController::shellContextMenuRequested, this,
            [this](const QString& fullName, const QPoint& pos) {
                if (const auto host = m_drives.ToHostPath(fullName.toStdString()))
                    ShowFileMenu(this, *host, pos);
            });
    connect(m_treeController, &TreeController::entered, m_fileWindow, &FileWindowController::treeEntered);
    connect(m_fileWindow, &FileWindowController::currentFileUpdated, this, &TMainForm::UpdateQuickView);

    m_tagging = new TaggingController(m_cat, m_state, m_settings, m_fileWindow->model(), *m_prompter,
                                      *m_plugins, this);
    m_tagging->setTreeWidget(MainTreeView);
    m_tagging->setFileListWidget(m_fileWindow->MainListBox);
    ZenPageControl->addWidget(m_tagging->fileAttrPage());
    m_ops = new OpsController(m_cat, m_state, m_fileWindow->model(), *m_prompter, *MainStatusBar,
                              *m_watchDog, *this, *m_plugins, *m_tagging, this);
    m_ops->installPages(ZenPageControl);
    m_ops->attachTree(*m_treeCommands);
    m_wizard = new TagWizardController({m_cat, m_state, *m_logger, m_fileWindow->model(), *this,
                                        *MainStatusBar, *m_prompter, *m_plugins, *m_store},
                                       this);
    m_wizard->showHelp = [this](int topic) {
        ShowHelpTopic(topic, false);
    };

    m_search = new SearchController(m_cat, m_state, m_settings, m_drives, *m_logger,
                                    m_fileWindow->model(), *m_prompter, *MainStatusBar,
                                    *m_plugins, this);
    m_search->setWatchDog(m_watchDog.get());
    m_search->setTreeWidget(MainTreeView);
    m_search->setFileList(m_fileWindow->MainListBox);
    m_search->installPages(DirPageControl, ZenPageControl);
    m_search->treePanelVisible = [this] { return pnMainTreeView->isVisible(); };

    m_copyMove = new CopyMoveController(m_cat, m_state, model, *m_logger, *m_watchDog,
                                        *m_fileOperator, *m_prompter, *this, *m_plugins, this);
    for (TCopyMovePage* page : m_copyMove->pages())
        ZenPageControl->addWidget(page);
    m_copyMove->prevDisk = [this] { PrevDisk(); };
    m_copyMove->nextDisk = [this] { NextDisk(); };
    m_copyMove->loggedDiskCount = [this] { return m_tabs->Count(); };
    m_delete = new DeleteController(m_cat, m_state, m_settings, m_fileWindow->model(), *m_logger,
                                    *m_prompter, *MainStatusBar, *m_watchDog, *this, this);
    m_dirOps = new DirOpsController({m_cat, m_state, m_settings, *m_logger, *m_watchDog,
                                     *m_fileOperator, *m_prompter, *MainStatusBar, *this,
                                     *m_treeController, *m_treeCommands, *m_treeModel,
                                     m_copyMove->model(), model, DragTimer},
                                    this);
    m_dirOps->installPages(ZenPageControl);
    m_dirOps->watchCurrDirLabel(CurrDirLabel);
    m_dirOps->showTreePage = [this] { DirPageControl->setCurrentWidget(tsDirTree); };

    m_quickSearch = new QuickSearchController(m_cat, m_state, m_settings, *m_logger, *m_prompter,
                                              *this, model, this);
    // The quick search boxes sit above the tree and above the file list.
    auto* treeColumn = qobject_cast<QVBoxLayout*>(pnMainTreeView->layout());
    treeColumn->insertWidget(0, m_quickSearch->pnDirSearch);
    auto* fileColumn = qobject_cast<QVBoxLayout*>(pnMainListBox->layout());
    fileColumn->insertWidget(0, m_quickSearch->hbFileSearch);
    m_quickSearch->showTreePage = [this] { DirPageControl->setCurrentWidget(tsDirTree); };
    connect(m_treeController, &TreeController::browseDirectoryRequested, m_quickSearch,
            &QuickSearchController::pmiBrowseClick);
    m_compareTest = new CompareTestController(m_cat, m_state, m_settings, m_fileWindow->model(),
                                              *m_prompter, *MainStatusBar, this);
    m_compareTest->showHelp = [this](int topic) { ShowHelpTopic(topic, false); };

    // What the commands do is recorded for undo.
    UndoJournal& journal = m_undo->journal();
    m_copyMove->model().SetJournal(&journal);
    m_delete->model().SetJournal(&journal);
    m_dirOps->model().SetJournal(&journal);
    m_ops->model().SetJournal(&journal);
}

void TMainForm::wireLive() {
    m_live = new LiveController(m_cat, *m_logger, m_settings, m_state, MainTreeView, *m_fileWindow,
                                this);
    connect(m_live, &LiveController::hint, MainStatusBar, &TMainStatusBar::setHint);
    connect(m_treeModel, &CatalogueTreeModel::selectionMoved, m_live,
            &LiveController::screenChanged);
}

void TMainForm::fileCommandRequested(int command) {
    switch (static_cast<FileCommand>(command)) {
    case FileCommand::LogDisk:
        LogDisk();
        break;
    case FileCommand::SortFileWindow:
        showPopup("ListBoxPopupMenu", m_fileWindow->MainListBox->mapToGlobal(QPoint(5, 5)));
        break;
    case FileCommand::PopupAtCurrent:
        showPopup("ListBoxPopupMenu", m_fileWindow->MainListBox->mapToGlobal(QPoint(20, 20)));
        break;
    case FileCommand::ToggleFileTags:
    case FileCommand::TagFilesSpecial:
    case FileCommand::UnTagFilesSpecial:
        m_tagging->fileCommand(static_cast<FileCommand>(command));
        break;
    case FileCommand::Execute:
        m_view->miFileExecuteClick();
        break;
    case FileCommand::StopMedia:
        pnQuickView->btnStopClick();
        break;
    case FileCommand::Delete:
        runCommand("DeleteSingleFile");
        break;
    default:
        // Running files comes with its command; the menu shows it greyed out
        // until then.
        break;
    }
}

void TMainForm::showPopup(const QString& name, const QPoint& globalPos) {
    if (QMenu* menu = m_menus ? m_menus->menu(name) : nullptr)
        menu->exec(globalPos);
}

void TMainForm::wireMenus() {
    m_menus = new MainMenuBar(this);
    for (const auto& [name, handler] : m_commands)
        m_menus->registerCommand(name, handler);
    m_menus->applyStartupCaptions();
    pmiHideShowWindow = m_menus->action("pmiHideShowWindow");
    tray = new TZentrixTray(this, m_menus->menu("TrayPopupMenu"), pmiHideShowWindow, aiForm->icon());
    m_menus->copyCommandMenus();
    m_undo->attachMenus(*m_menus);
    m_quickView->attachMenus(*m_menus);
    m_menus->bindPopupShortcuts("ListBoxPopupMenu", m_fileWindow->MainListBox);
    m_menus->followFocus(MainTreeView, m_fileWindow->MainListBox);
    m_fileMenuState = new FileMenuState(*m_menus, *m_fileWindow, m_settings, this);
    new OpenWithMenu(m_menus->action("pmiOpenWith"), m_cat, m_fileWindow->model(), *m_prompter,
                     m_fileMenuState);
    // Letters typed in the drive list choose drives, whichever way it got the focus.
    m_menus->addInputBox(lbDrives);
    connect(m_menus, &MainMenuBar::hintChanged, MainStatusBar, &TMainStatusBar::setHint);
    wireTools();
    connect(m_treeController, &TreeController::treePopupRequested, this,
            [this](const QPoint& pos) { showPopup("TreeViewPopupMenu", pos); });
    CurrDirLabel->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(CurrDirLabel, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        m_quickSearch->pmCurrDirPopup(m_menus->menu("pmCurrDir"), CurrDirLabel->mapToGlobal(pos));
    });
    connect(pnQuickView, &TQuickViewPane::popupRequested, this,
            [this](const QPoint& pos) { showPopup("pmQView", pos); });
    connect(m_treeController, &TreeController::labelEditStarted, this,
            [this] { m_menus->inputBoxFocused(true); });
    connect(m_treeController, &TreeController::labelEditEnded, this,
            [this] { m_menus->inputBoxFocused(false); });

    // The window menu's two switches live in the program menu here.
    if (QMenu* program = m_menus->menu("miZentrix")) {
        QAction* exitAction = m_menus->action("miQuitZentrix");
        QAction* separator = program->insertSeparator(exitAction);
        miAnimatePrgIcon = new QAction("&Animate program icon?", program);
        miAnimatePrgIcon->setObjectName("miAnimatePrgIcon");
        miAnimatePrgIcon->setCheckable(true);
        miAnimatePrgIcon->setChecked(m_settings.AnimatePrgIcon);
        miDisableScreenSaver = new QAction("&Disable screen saver?", program);
        miDisableScreenSaver->setObjectName("miDisableScreenSaver");
        miDisableScreenSaver->setCheckable(true);
        miDisableScreenSaver->setChecked(m_settings.DisableScreenSaver);
        program->insertAction(separator, miAnimatePrgIcon);
        program->insertAction(separator, miDisableScreenSaver);
        connect(miAnimatePrgIcon, &QAction::toggled, this, [this](bool on) {
            m_settings.AnimatePrgIcon = on;
            aiForm->setAnimated(on && isActiveWindow());
        });
        connect(miDisableScreenSaver, &QAction::toggled, this, [this](bool on) {
            m_settings.DisableScreenSaver = on;
            screenSaver->setInhibited(on);
        });
        screenSaver->setInhibited(m_settings.DisableScreenSaver);
        // The recent directories, above "E&xit".
        mruDirs->attachTo(program, exitAction, [this](const QString& path) {
            m_quickSearch->mruDirsMRUItemClick(path.toStdString());
        });
    }
}

void TMainForm::wireTools() {
    m_toolsCtl = new ToolsController(*m_menus, *m_store, m_settings, *m_prompter, this);
    m_toolsCtl->attachFileWindow(
        m_cat, m_fileWindow->model(), [this] { return m_fileWindow->fileWindowHasFocus(); },
        [this] { focusFileWindow(); });
    m_toolsCtl->openOptions = [this](int page) {
        OpenOptions(page);
    };
    m_toolsCtl->showHelp = [this](int topic, bool popup) {
        ShowHelpTopic(topic, popup);
    };
    connect(m_toolsCtl, &ToolsController::hintChanged, MainStatusBar, &TMainStatusBar::setHint);
    for (const auto& [name, handler] : m_toolsCtl->commands()) {
        m_commands[name] = handler;
        m_menus->registerCommand(name, handler);
    }
    m_toolsCtl->Start();
}

void TMainForm::showDirectoryMenu(TTreeNode* node, const QPoint& pos) {
    if (CheckCompatibility(1, m_settings, *m_prompter))
        ShowDirectoryMenu(this, m_cat, node, pos);
}

void TMainForm::wireDisks() {
    m_disks->fileWindowHasFocus = [this] { return m_fileWindow->fileWindowHasFocus(); };
    m_disks->fileWindowMaximised = [this] { return m_fileWindow->model().Maximized(); };
    m_disks->restoreFileWindow = [this] { m_fileWindow->model().MaximizeMainListBox(false); };
    m_disks->refillNow = [this] {
        m_state.requestRefill();
        IdleHandler();
    };
    m_disks->treePanelVisible = [this] { return pnMainTreeView->isVisible(); };
    m_disks->showTreePage = [this] { DirPageControl->setCurrentWidget(tsDirTree); };
    m_disks->scrollTreeLineDown = [this] { MainTreeView->ScrollLineDown(); };
    connect(m_disks, &DiskController::drivesPopupRequested, this,
            [this](const QPoint& pos) { showPopup("DrivesPopupMenu", pos); });
    connect(m_disks, &DiskController::shellMenuRequested, this, &TMainForm::showDirectoryMenu);
    connect(m_disks, &DiskController::lbDrivesEntered, this, [this] {
        if (m_menus)
            m_menus->inputBoxFocused(true);
    });
    connect(m_disks, &DiskController::lbDrivesLeft, this, [this] {
        if (m_menus)
            m_menus->inputBoxFocused(false);
    });
    pnStatistics->layout()->addWidget(m_disks->DiskInfoPanel);
}

void TMainForm::buildCommands() {
    m_commands = {
        {"QuitZentrix", [this] { QuitZentrix(); }},
        {"LogDisk", [this] { LogDisk(); }},
        {"LogOneLevel", [this] { LogOneLevel(); }},
        {"LogDirBranch", [this] { LogDirBranch(); }},
        {"RelogDir", [this] { RelogDir(); }},
        {"miVolRefreshAllDirsClick", [this] { miVolRefreshAllDirsClick(); }},
        {"miVolRefillClick", [this] { miVolRefillClick(); }},
        {"ReleaseDisk", [this] { ReleaseDisk(); }},
        {"NextDisk", [this] { NextDisk(); }},
        {"PrevDisk", [this] { PrevDisk(); }},
        {"sbDirUpClick", [this] { sbDirUpClick(); }},
        {"pmiCollapseAllDrivesClick", [this] { pmiCollapseAllDrivesClick(); }},
        {"ChangeTreeViewFont", [this] { ChangeTreeViewFont(); }},
        {"DirProperties", [this] { DirProperties(); }},
        {"pmiHideShowWindowClick", [this] { pmiHideShowWindowClick(); }},
        {"pmiTrayAboutClick", [this] { pmiTrayAboutClick(); }},
        {"miZentrixPropertiesClick", [this] { miZentrixPropertiesClick(); }},
        {"miHelpAboutClick", [this] { m_plugins->CallShowAboutForm(this); }},
        {"miHelpTipClick", [this] { TTipsForm::Execute(m_settings, *m_prompter, this); }},
        {"miHelpQuoteClick", [this] { TQuotesForm::Execute(m_settings, *m_prompter, this); }},
        {"miClipBrdClick", [this] { m_plugins->CallShowZentrixQCV(this); }},
        {"btnDiskImageClick", [this] { m_disks->btnDiskImageClick(); }},
        {"DiskVolumeName", [this] { m_disks->DiskVolumeName(); }},
        {"DiskSerialNumber", [this] { m_disks->DiskSerialNumber(); }},
        {"miVolPropertiesClick", [this] { DiskProperties(); }},
        {"pmiPropertiesClick", [this] { DiskProperties(); }},
        {"pmiDirContextMenuClick", [this] { pmiDirContextMenuClick(); }},
        {"pmiFileContextMenuClick", [this] { pmiFileContextMenuClick(); }},
        {"pmiQViewCopyClick", [this] { pnQuickView->pmiQViewCopyClick(); }},
        {"pmiQViewAppendToClipboardClick", [this] { pnQuickView->pmiQViewAppendToClipboardClick(); }},
        {"pmiQViewFontClick", [this] { pnQuickView->pmiQViewFontClick(); }},
    };
    // The file window's commands.
    FileWindowController* fw = m_fileWindow;
    FileWindow* model = &fw->model();
    const std::map<std::string, Command> fileCommands = {
        {"GlobalShowAllLogged", [model] { model->GlobalShowAllLogged(); }},
        {"DiskShowAllLogged", [model] { model->DiskShowAllLogged(); }},
        {"BranchShowAllLogged", [model] { model->BranchShowAllLogged(); }},
        {"GlobalShowAllTagged", [model] { model->GlobalShowAllTagged(); }},
        {"DiskShowAllTagged", [model] { model->DiskShowAllTagged(); }},
        {"BranchShowAllTagged", [model] { model->BranchShowAllTagged(); }},
        {"MaxFileWin", [model] { model->MaxFileWin(); }},
        {"SetFileSpec", [model] { model->SetFileSpec(); }},
        {"miFileTglFileSpecClick", [model] { model->miFileTglFileSpecClick(); }},
        {"miDirToggleFileSpecClick", [model] { model->miDirToggleFileSpecClick(); }},
        {"SortFilesByName", [model] { model->SortFilesByName(); }},
        {"SortFilesByExtension", [model] { model->SortFilesByExtension(); }},
        {"SortFilesBySize", [model] { model->SortFilesBySize(); }},
        {"SortFilesByDate", [model] { model->SortFilesByDate(); }},
        {"SortFilesByAttr", [model] { model->SortFilesByAttr(); }},
        {"SortFilesByDesc", [model] { model->SortFilesByDesc(); }},
        {"ReversedSortOrder", [model] { model->ReversedSortOrder(); }},
        {"ChangeFileDisplay", [fw] { fw->ChangeFileDisplay(); }},
        {"miFileDispSmallIconsClick", [fw] { fw->miFileDispSmallIconsClick(); }},
        {"miFileDispLargeIconsClick", [fw] { fw->miFileDispLargeIconsClick(); }},
        {"miFileDispNormalClick", [fw] { fw->miFileDispNormalClick(); }},
        {"miFileDisp3ColClick", [fw] { fw->miFileDisp3ColClick(); }},
        {"miFileDisp5ColClick", [fw] { fw->miFileDisp5ColClick(); }},
        {"ChangeFileListBoxFont", [fw] { fw->ChangeFileListBoxFont(); }},
        {"pmiFileDisplayFullpathClick", [fw] { fw->pmiFileDisplayFullpathClick(); }},
        {"pmiFileOptimumClick", [fw] { fw->pmiFileOptimumClick(); }},
        {"miFileRefillWindowClick", [this] { m_state.requestRefill(); }},
    };
    m_commands.insert(fileCommands.begin(), fileCommands.end());
    for (const auto& [name, handler] : m_tagging->commands())
        m_commands[name] = handler;
    for (const auto& [name, handler] : m_view->commands())
        m_commands[name] = handler;
    for (const auto& [name, handler] : m_quickView->commands())
        m_commands[name] = handler;
    for (const auto& [name, handler] : m_ops->commands())
        m_commands[name] = handler;
    for (const auto& [name, handler] : m_search->commands())
        m_commands[name] = handler;
    for (const auto& [name, handler] : m_wizard->commands())
        m_commands[name] = handler;
    for (auto& [name, handler] : m_help->commands())
        m_commands[name] = std::move(handler);
    for (const auto& [name, handler] : m_copyMove->commands())
        m_commands[name] = handler;
    for (const auto& [name, handler] : m_delete->commands())
        m_commands[name] = handler;
    for (const auto& [name, handler] : m_compareTest->commands())
        m_commands[name] = handler;
    for (const auto& [name, handler] : m_roots->commands())
        m_commands[name] = handler;
    for (const auto& [name, handler] : m_dirOps->commands())
        m_commands[name] = handler;
    for (const auto& [name, handler] : m_quickSearch->commands())
        m_commands[name] = handler;
    for (const auto& [name, handler] : m_cdCache->commands())
        m_commands[name] = handler;
    for (const auto& [name, handler] : m_undo->commands())
        m_commands[name] = handler;
}

void TMainForm::wireView() {
    m_view = new ViewController(m_cat, m_state, m_settings, *m_prompter, *m_plugins, m_drives,
                                *m_logger, *m_watchDog, this);
    FileWindow& model = m_fileWindow->model();
    m_view->currentFile = [&model] { return model.Record(model.Current()); };
    m_view->taggedFiles = [&model] {
        std::vector<TFileClass*> tagged;
        for (int i = 0; i < model.Count(); ++i)
            if (TFileClass* record = model.Record(i); record && record->Tagged())
                tagged.push_back(record);
        return tagged;
    };
    m_view->fileWindowHasFocus = [this] { return m_fileWindow->fileWindowHasFocus(); };
    m_view->fileSpec = [&model] { return model.FileSpec(); };
    m_view->focusTree = [this] { focusTree(); };
    m_view->closeInlinePanels = [this] {
        ZenPageControl->setCurrentWidget(ts_TitlePage);
        ZenPageControl->setVisible(m_settings.ShowMemStat);
    };
    m_view->InstallCommandLine(pnCmdLine);
    m_view->InstallPages(ZenPageControl, ts_TitlePage);
    m_quickView = new QuickViewController(pnQuickView, m_settings, MediaTimer, this);
    m_quickView->fileWindowHasFocus = [this] { return m_fileWindow->fileWindowHasFocus(); };
    m_quickView->focusFileWindow = [this] { focusFileWindow(); };
    m_quickView->updatePanel = [this] { UpdateQuickViewPanel(m_settings.QuickView); };
    m_quickView->warn = [this](const std::string& text) { m_prompter->warn(text); };
    static_cast<QVBoxLayout*>(StatisticsPanel->layout())->insertWidget(1, m_quickView->btnQuickFileView);
}

bool TMainForm::runCommand(const std::string& name) {
    auto it = m_commands.find(name);
    if (it == m_commands.end())
        return false;
    it->second();
    return true;
}

void TMainForm::Start(const StartupOptions& options) {
    StartDrives(options);
    OpenStartDirectory(options);
}

void TMainForm::StartDrives(const StartupOptions& options) {
    // Step 17: tabs empty, captions.
    setWindowTitle("Zentrix 1.0");
    lbProgramName->setText("Zentrix");
    // Step 18. The bar is made up for the tree now: the window may not be
    // active yet, and then no focus change would tell the menus.
    focusTree();
    m_menus->treeGainedFocus();
    // Step 19: the start-up drives.
    AppFrame::LogStartupDrives(*m_logger, m_cat, options.logDrivesAtStartup, m_state.currentDisk);
    showCurrentDirectory();
}

void TMainForm::OpenStartDirectory(const StartupOptions& options) {
    // Steps 13 and 21: the start directory, from the command line or "LastDir".
    OpenDirectory(AppFrame::StartDirectory(options.args, m_settings.LastDir));
}

void TMainForm::OpenDirectory(const std::string& path) {
    std::string file;
    AppFrame::OpenStartDirectory(*m_logger, m_drives, *m_prompter, m_state, path, &file);
    showCurrentDirectory();
    if (!file.empty()) { // a file named: shown at once, with the cursor on it
        IdleHandler();
        m_fileWindow->SelectFile(file);
    }
}

void TMainForm::scheduleIdle() {
    if (m_idleScheduled)
        return;
    m_idleScheduled = true;
    // A zero timer fires once the event queue has run empty: the idle pass.
    QTimer::singleShot(0, this, [this] {
        m_idleScheduled = false;
        IdleHandler();
    });
}

void TMainForm::IdleHandler() {
    m_state.started = true;
    if (!m_state.refillRequested)
        return;
    m_state.refillRequested = false;
    m_state.treeSelectionChanged = false;
    ++m_fillCount;
    if (FillMainListBox)
        FillMainListBox();
    showCurrentDirectory();
    m_live->screenChanged();
}

void TMainForm::showCurrentDirectory() {
    // Without a selected directory the label must not keep a "Please wait ...".
    TTreeNode* node = m_cat.Tree().Selected();
    CurrDirLabel->setText(node ? q(node->Path()) : QString());
}

// --- status, timers, splitters ------------------------------------------------------

void TMainForm::SysTimerTimer() {
    if (m_sysInfoLines.empty() || m_sysInfoIndex >= m_sysInfoLines.size()) {
        m_sysInfoLines = AppFrame::SystemInfoLines(platform::ReadSystemFigures());
        m_sysInfoIndex = 0;
    }
    pnSysInfo->setText(q(m_sysInfoLines[m_sysInfoIndex++]));
}

QString TMainForm::sysInfoText() const { return pnSysInfo->text(); }

int TMainForm::fileWindowMinimumHeight() const {
    // Five rows as the list draws them now (icons make them taller than the
    // font), and what the panel puts around them as it is laid out: header,
    // frame, scroll bar. A panel squeezed to nothing has at least its header
    // and frame around the rows.
    const TVirtualListBox* list = m_fileWindow->MainListBox;
    const QWidget* header = m_fileWindow->fileHeader();
    const int around = pnMainListBox->height() - list->viewport()->height();
    int least = 2 * list->frameWidth();
    if (header->isVisibleTo(pnMainListBox))
        least += header->sizeHint().height();
    return 5 * std::max(1, m_fileWindow->model().ItemHeight()) + std::max(around, least);
}

void TMainForm::scHorizontalMoved() {
    // The file window keeps room for five rows and its header; the tree panel
    // gives way.
    // What surrounds the rows is known exactly only once the panel has a
    // height: a second pass corrects the first.
    for (int pass = 0; pass < 2; ++pass) {
        QList<int> sizes = scHorizontal->sizes();
        if (sizes.size() != 2 || pnMainTreeView->isHidden())
            break;
        const int total = sizes[0] + sizes[1];
        const int minimum = std::min(fileWindowMinimumHeight(), total);
        if (total <= 0 || sizes[1] >= minimum)
            break;
        sizes[0] = total - minimum;
        sizes[1] = minimum;
        scHorizontal->setSizes(sizes);
    }
    if (TTreeNode* node = m_cat.Tree().Selected())
        scrollIntoView(node);
}

void TMainForm::scVerticalMoved() {
    QList<int> sizes = scVertical->sizes();
    if (sizes.size() != 2)
        return;
    const int total = sizes[0] + sizes[1];
    const int stats = std::clamp(sizes[1], 200, std::max(200, total - 200));
    if (stats != sizes[1]) {
        scVertical->setSizes({total - stats, stats});
    }
}

void TMainForm::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    scHorizontalMoved();
}

// --- commands -------------------------------------------------------------------------

void TMainForm::QuitZentrix() {
    m_settings.LastDir = AppFrame::LastDirOnQuit(m_cat.Tree().Selected());
    close();
}

void TMainForm::LogDisk() { m_disks->LogDisk(); }

void TMainForm::LogOneLevel() { m_logger->LogOneLevel(); }
void TMainForm::LogDirBranch() { m_logger->LogDirBranch(); }
void TMainForm::RelogDir() { m_logger->RelogDir(); }
void TMainForm::miVolRefreshAllDirsClick() { m_logger->RefreshAllDirectories(*MainStatusBar); }
void TMainForm::miVolRefillClick() { m_state.requestRefill(); }
void TMainForm::ReleaseDisk() { m_logger->ReleaseDisk(); }
void TMainForm::NextDisk() { m_disks->NextDisk(); }
void TMainForm::PrevDisk() { m_disks->PrevDisk(); }
void TMainForm::sbDirUpClick() { m_treeCommands->DirUp(true); }
void TMainForm::pmiCollapseAllDrivesClick() { m_treeCommands->CollapseAllDrives(); }

void TMainForm::ChangeTreeViewFont() {
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, MainTreeView->font(), this, "Font");
    if (ok) {
        MainTreeView->setFont(font); // kept as TreeViewFont when the settings are saved
    }
}

void TMainForm::DirProperties() {
    if (!CheckCompatibility(1, m_settings, *m_prompter))
        return;
    TTreeNode* node = m_cat.Tree().Selected();
    if (!node)
        return;
    TDirPropertiesDialog dialog(m_cat, node, this);
    dialog.exec();
}

void TMainForm::DiskProperties() {
    if (!CheckCompatibility(1, m_settings, *m_prompter))
        return;
    for (int i = 0; i < m_cat.Tree().TopCount(); ++i) {
        TTreeNode* root = m_cat.Tree().Top(i);
        if (root->DriveLetter() == m_state.currentDisk) {
            TDirPropertiesDialog dialog(m_cat, root, this, q(m_live->live().FollowText(root)));
            dialog.exec();
            return;
        }
    }
}

void TMainForm::pmiDirContextMenuClick() {
    TTreeNode* node = m_cat.Tree().Selected();
    if (!node || !CheckCompatibility(1, m_settings, *m_prompter))
        return;
    const QRect r = MainTreeView->visualRect(m_treeModel->indexOf(node));
    emit m_treeController->shellMenuRequested(node, MainTreeView->viewport()->mapToGlobal(r.center()));
}

void TMainForm::pmiFileContextMenuClick() {
    FileWindow& model = m_fileWindow->model();
    TFileClass* record = model.Record(model.Current());
    if (!record || !CheckCompatibility(1, m_settings, *m_prompter))
        return;
    emit m_fileWindow->shellContextMenuRequested(QString::fromStdString(record->FullName()),
                                                 m_fileWindow->MainListBox->mapToGlobal(QPoint(20, 20)));
}

void TMainForm::pmiHideShowWindowClick() { tray->pmiHideShowWindowClick(); }

bool TMainForm::hiddenInTray() const { return tray && tray->hidden(); }

void TMainForm::pmiTrayAboutClick() { m_plugins->CallShowAboutForm(this); }

void TMainForm::miZentrixPropertiesClick() {
    OpenOptions(static_cast<int>(TOptionsForm::Page::General));
}

void TMainForm::OpenOptions(int page) {
    OptionsContext context{m_settings,
                           m_cat.UserFileTypes,
                           m_drives,
                           *m_prompter,
                           SettingsEnvironment::FromDrives(m_drives),
                           SettingsIniName(),
                           m_store->StorePath(),
                           this,
                           this};
    context.tools = &m_toolsCtl->config();
    TOptionsForm::Execute(context, static_cast<TOptionsForm::Page>(page), this);
}

void TMainForm::RestoreState() {
    TPlacement placement;
    placement.IniFileName = QString::fromStdString(SettingsIniName());
    placement.Section = "MainForm";
    placement.Restore(this);
    TEnhHeaderControl::RestoreWidths(m_fileWindow->fileHeader(), "FileHeader",
                                     QString::fromStdString(SettingsIniName()));
    // With descriptions shown the last column is wide, so that they are never cut.
    if (m_settings.ShowFileDescOption && m_fileWindow->fileHeader()->count() > 5)
        m_fileWindow->fileHeader()->resizeSection(5, 1000);
    // The splitters can place their panes only once they have their own size.
    m_splittersPending = true;
    if (isVisible())
        restoreSplitters();
}

void TMainForm::restoreSplitters() {
    m_splittersPending = false;
    for (auto [splitter, target] : {std::pair<QSplitter*, QWidget*>{scHorizontal, pnMainTreeView},
                                    {scVertical, StatisticsPanel}}) {
        TSplitControl control(splitter, target);
        control.IniFileName = QString::fromStdString(SettingsIniName());
        control.Restore();
    }
    m_quickViewSplit->Restore();
    // Stored sizes are taken only within the layout's minimums.
    scVerticalMoved();
    scHorizontalMoved();
}

void TMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (m_splittersPending && !event->spontaneous())
        restoreSplitters();
}

void TMainForm::SaveState() {
    try {
        SaveSettings(*m_store, m_settings, this);
    } catch (const std::exception& e) {
        m_prompter->error(e.what(), "Zentrix");
    }
    TPlacement placement;
    placement.IniFileName = QString::fromStdString(SettingsIniName());
    placement.Section = "MainForm";
    placement.Save(this);
    TEnhHeaderControl::SaveWidths(m_fileWindow->fileHeader(), "FileHeader",
                                  QString::fromStdString(SettingsIniName()));
    for (auto [splitter, target] : {std::pair<QSplitter*, QWidget*>{scHorizontal, pnMainTreeView},
                                    {scVertical, StatisticsPanel}}) {
        TSplitControl control(splitter, target);
        control.IniFileName = QString::fromStdString(SettingsIniName());
        control.Save();
    }
    m_quickViewSplit->Save();
}

void TMainForm::ResetAfterError() {
    m_tagging->ResetAttributePage();
    ZenPageControl->setCurrentWidget(ts_TitlePage);
    ZenPageControl->setVisible(m_settings.ShowMemStat);
    emptyFileWindow();
    m_state.scope = 1;
    if (onResetFileWindow)
        onResetFileWindow();
    pnMainTreeView->show();
    if (m_cat.Tree().TopCount() > 0)
        m_cat.Tree().Select(m_cat.Tree().Top(0));
}

void TMainForm::AfterErrorReport() {
    focusTree();
    m_state.requestRefill();
}

void TMainForm::UpdateQuickView() {
    if (!m_settings.QuickView || !pnQuickView->isVisible())
        return;
    FileWindow& model = m_fileWindow->model();
    pnQuickView->AutoPlay = m_settings.AutoPlay;
    if (TFileClass* record = model.Record(model.Current()))
        pnQuickView->ShowFile(std::string(record->FileName()),
                              m_cat.HostPath(record).value_or(std::string()));
    else
        pnQuickView->Clear();
}

void TMainForm::ShowStartupTips() {
    if (m_settings.ShowHintsAtStartUp)
        TTipsForm::Execute(m_settings, *m_prompter, this);
    if (m_settings.ShowQuotesAtStartUp)
        TQuotesForm::Execute(m_settings, *m_prompter, this);
}

void TMainForm::RestoreAndRaise() {
    tray->Restore();
    if (isMinimized())
        showNormal();
    show();
    raise();
    activateWindow();
}

// --- window events ----------------------------------------------------------------------

void TMainForm::closeEvent(QCloseEvent* event) {
    // A close from the window manager (the title bar's button or menu) clears
    // "LastDir"; the Exit command has set it already, Alt+F4 leaves it alone.
    if (event->spontaneous())
        m_settings.LastDir.clear();
    if (!AppFrame::QueryClose(m_state, m_settings, *m_prompter, [] {
            QApplication::processEvents(QEventLoop::AllEvents, 50);
            QThread::msleep(5); // the workers get the processor
        })) {
        event->ignore();
        return;
    }
    // A window hidden in the tray gets its real position back first.
    tray->Restore();
    tray->Remove();
    event->accept();
    SaveState();
}

bool TMainForm::event(QEvent* event) {
    // Hints go to the first panel of the status line, not over the whole line.
    if (event->type() == QEvent::StatusTip) {
        MainStatusBar->setHint(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

void TMainForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F4 && event->modifiers() == Qt::AltModifier) {
        close();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void TMainForm::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange) {
        // The icon turns only while the program is active and the setting asks.
        aiForm->setAnimated(isActiveWindow() && m_settings.AnimatePrgIcon);
        if (isActiveWindow() && m_state.started)
            m_logger->ProgramActivated();
    }
    QMainWindow::changeEvent(event);
}

void TMainForm::dragEnterEvent(QDragEnterEvent* event) {
    // The file window's own drags carry their files' URIs for other programs;
    // dropped back on the window they do nothing.
    const QMimeData* data = event->mimeData();
    if (data->hasUrls() && !data->hasFormat(DirOpsController::kFileWindowMime))
        event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* event) {
    if (event->mimeData()->hasFormat(DirOpsController::kFileWindowMime))
        event->ignore();
    else if (const auto files = FilesOfMimeData(event->mimeData());
             files && DropFiles(event->position().toPoint(), files->paths,
                                event->modifiers().testFlag(Qt::ShiftModifier)))
        event->acceptProposedAction();
    else
        event->ignore();
}

bool TMainForm::DropFiles(const QPoint& at, const QList<QUrl>& urls, bool move) {
    std::vector<std::string> paths;
    for (const QUrl& url : urls)
        if (url.isLocalFile())
            paths.push_back(url.toLocalFile().toStdString());
    return DropFiles(at, paths, move);
}

bool TMainForm::DropFiles(const QPoint& at, const std::vector<std::string>& paths, bool move) {
    const QPoint local = pnMainListBox->mapFrom(this, at);
    if (!pnMainListBox->rect().contains(local)) {
        // On the tree: a copy to the directory under the point (or the selected one).
        const QPoint inTree = MainTreeView->viewport()->mapFrom(this, at);
        if (!MainTreeView->viewport()->rect().contains(inTree))
            return false;
        const TTreeNode* node = CatalogueTreeModel::nodeOf(MainTreeView->indexAt(inTree));
        if (!node)
            node = m_cat.Tree().Selected();
        if (!node)
            return false;
        RestoreAndRaise();
        m_copyMove->model().DropOnTree(node->Path(), AppFrame::DroppedNames(m_drives, paths), move);
        return true;
    }
    m_fileWindow->model().DropShellFiles(AppFrame::DroppedNames(m_drives, paths));
    RestoreAndRaise();
    return true;
}

// --- CatalogueUi ----------------------------------------------------------------------------

void TMainForm::setAppTitle(const std::string& title) {
    m_state.appTitle = title;
    setWindowTitle(title == "Zentrix" ? QString("Zentrix 1.0") : q(title));
}

void TMainForm::setCurrDirLabel(const std::string& text) {
    CurrDirLabel->setText(q(text));
    CurrDirLabel->repaint();
}

void TMainForm::emptyFileWindow() {
    if (onEmptyFileWindow)
        onEmptyFileWindow();
}

bool TMainForm::fileWindowHasEntries() const { return onFileWindowHasEntries && onFileWindowHasEntries(); }

void TMainForm::focusFileWindow() {
    if (onFocusFileWindow)
        onFocusFileWindow();
}

void TMainForm::focusTree() { MainTreeView->setFocus(); }
void TMainForm::repaintTree() { MainTreeView->viewport()->update(); }
void TMainForm::repaintMainWindow() { repaint(); }
void TMainForm::freezeTree(bool frozen) { MainTreeView->setUpdatesEnabled(!frozen); }

void TMainForm::scrollIntoView(TTreeNode* node) {
    if (node)
        MainTreeView->scrollTo(m_treeModel->indexOf(node));
}

void TMainForm::makeTopItem(TTreeNode* node) {
    if (node)
        MainTreeView->MakeTopItem(m_treeModel->indexOf(node));
}

void TMainForm::updateDiskInfo() {
    if (m_disks)
        m_disks->UpdateDiskInfo();
}

void TMainForm::updateStatistics() {
    if (onUpdateStatistics)
        onUpdateStatistics();
}

void TMainForm::refreshDriveList() {
    if (m_disks)
        m_disks->RebuildDriveList();
}

void TMainForm::addRecentDir(const std::string& path) {
    mruDirs->Add(q(path));
    if (onRecentDir)
        onRecentDir(path);
}

void TMainForm::playCompletionSound() { PlayCompletionSound(m_settings); }

// --- SettingsTarget ---------------------------------------------------------------------------

QWidget* TMainForm::fontTarget(FontSlot slot) const {
    switch (slot) {
    case FontSlot::Tree:
        return MainTreeView;
    case FontSlot::FileList:
        return fileListWidget ? fileListWidget() : nullptr;
    case FontSlot::QuickView:
        return pnQuickView->meFileInfo;
    }
    return nullptr;
}

void TMainForm::ApplyFont(FontSlot slot, const std::string& fontText) {
    QWidget* target = fontTarget(slot);
    if (!target)
        return;
    QColor color = target->palette().color(QPalette::Text);
    const QFont font = ApplyFontTextToQFont(q(fontText), target->font(), color);
    if (slot == FontSlot::FileList && m_fileWindow)
        m_fileWindow->setListFont(font);
    else
        target->setFont(font);
    QPalette pal = target->palette();
    pal.setColor(QPalette::Text, ReadableTextColor(color, pal.color(QPalette::Base),
                                                   QApplication::palette().color(QPalette::Text)));
    target->setPalette(pal);
}

std::string TMainForm::CurrentFontText(FontSlot slot) {
    // All five fields, also for a window that keeps its first font.
    QWidget* target = fontTarget(slot);
    if (!target)
        return slot == FontSlot::Tree       ? m_settings.TreeViewFont
               : slot == FontSlot::FileList ? m_settings.FileListBoxFont
                                            : m_settings.QuickViewFont;
    return FontTextOf(target->font(), target->palette().color(QPalette::Text)).toStdString();
}

void TMainForm::ShowButtonBars(bool dirButtons, bool fileButtons) {
    if (m_toolsCtl)
        m_toolsCtl->ShowButtonBars(dirButtons, fileButtons);
}

void TMainForm::LoadCommandButtons() {
    if (m_toolsCtl)
        m_toolsCtl->LoadCommandButtons();
}

void TMainForm::SaveCommandButtons() {
    if (m_toolsCtl)
        m_toolsCtl->SaveCommandButtons();
}

void TMainForm::ShowTreeIcons(bool on) { m_treeModel->setShowIcons(on); }

void TMainForm::SetFileItemHeight(std::optional<int> pixels) {
    if (onSetFileItemHeight)
        onSetFileItemHeight(pixels);
}

void TMainForm::UpdateQuickViewPanel(bool quickView) {
    const bool show = quickView && fileWindowHasFocus && fileWindowHasFocus();
    pnQuickView->setVisible(show);
    if (show)
        UpdateQuickView();
}

void TMainForm::ShowToolHints(bool on) {
    if (m_toolsCtl)
        m_toolsCtl->ShowToolHints(on);
}

// --- OptionsHost ------------------------------------------------------------------------------

void TMainForm::ApplyDescriptionColumn(bool show) {
    if (onApplyDescriptionColumn)
        onApplyDescriptionColumn(show);
}

void TMainForm::ApplyConfirmedOptions(const Settings& settings) {
    m_watchDog->LoadFlags(settings.WatchDogOperations);
    if (onResortFileWindow)
        onResortFileWindow();
    // The header's mark and the menus' checks follow the key and order chosen.
    m_fileWindow->model().ToggleFileLBoxPMenuItems();
    m_logger->ApplyHiddenDirsOption();
    m_live->applySettings();
    ZenPageControl->setVisible(settings.ShowMemStat);
    m_view->ApplySettings();
    m_toolsCtl->Rebuild();
    m_undo->applySettings(settings);
}

void TMainForm::SaveMenuShortcuts() {
    m_toolsCtl->SaveMenuShortcuts();
}
void TMainForm::ReloadMenuShortcuts() {
    m_toolsCtl->ReloadMenuShortcuts();
}

void TMainForm::ShowHelpTopic(int topic, bool popup) {
    m_help->ShowHelpTopic(topic, popup);
}

} // namespace zentrix
