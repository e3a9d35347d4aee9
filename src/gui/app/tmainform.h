#pragma once

#include "catalogue/catalogueui.h"
#include "config/settingstarget.h"
#include "gui/config/optionshost.h"

#include <QColor>
#include <QMainWindow>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QComboBox;
class QFrame;
class QLabel;
class QSplitter;
class QStackedWidget;
class QSystemTrayIcon;
class QTabBar;
class QTabWidget;
class QTimer;
class QToolButton;
class QMenu;
class QAction;
class QUrl;

namespace zentrix {

class AppState;
class Catalogue;
class CatalogueTreeModel;
class DiskLogger;
class GuiPrompter;
class LiveController;
class LoggedDiskTabs;
class Prompter;
class THETreeView;
class TMainStatusBar;
class TreeCommands;
class TreeController;
class TTreeNode;
class TEnhIniFile;
class TMRUFileList;
class TSplitControl;
class PluginCalls;
class FileWindowController;
class FileMenuState;
class MainMenuBar;
class THistoryComboBox;
class ProgramIcon;
class DiskController;
class CdCacheController;
class TaggingController;
class SearchController;
class TagWizardController;
class ToolsController;
class HelpController;
class CopyMoveController;
class CompareTestController;
class DeleteController;
class DirOpsController;
class RootsController;
class QuickSearchController;
class TFileOperator;
class OpsController;
class TWDList;
class ViewController;
class QuickViewController;
class TQuickViewPane;
class TZentrixTray;
class UndoController;
class TZentrixDrives;
class TLoggedDrivesTabSet;
class ScreenSaverInhibitor;
struct Settings;

namespace platform {
class DriveTable;
}

/// Start-up facts the main window needs: the command line and the settings
/// that decide what is logged and opened.
struct StartupOptions {
    std::vector<std::string> args;               // command-line parameters
    std::vector<std::string> logDrivesAtStartup; // values of "LogDrivesAtStartup"
};

/// The main window: the fixed layout with its named components, the
/// application-wide handlers (idle refill, hints, activation, drops, status
/// line, tray) and the orderly way out. Each area's behaviour lives in its own
/// controller; this class wires them together.
class TMainForm : public QMainWindow,
                  public CatalogueUi,
                  public SettingsTarget,
                  public OptionsHost {
    Q_OBJECT
public:
    /// Without a prompter the window asks with message boxes.
    TMainForm(Catalogue& catalogue, AppState& state, Settings& settings,
              platform::DriveTable& drives, Prompter* prompter = nullptr,
              QWidget* parent = nullptr);
    ~TMainForm() override;

    // --- components, by their names ----------------------------------------------
    QWidget* MainPanel = nullptr;
    QWidget* pnDrivesTools = nullptr;
    TZentrixDrives* lbDrives = nullptr;
    QToolButton* sbDrivesDown = nullptr;
    QToolButton* sbPrevDisk = nullptr;
    QToolButton* sbNextDisk = nullptr;
    QToolButton* sbDirUp = nullptr;
    QFrame* CurrDirPanel = nullptr;
    QLabel* CurrDirLabel = nullptr;
    QSplitter* scHorizontal = nullptr;
    QWidget* pnMainTreeView = nullptr;
    QTabWidget* DirPageControl = nullptr;
    QWidget* tsDirTree = nullptr;
    TLoggedDrivesTabSet* LoggedDrivesTabSet = nullptr;
    THETreeView* MainTreeView = nullptr;
    QWidget* pnMainListBox = nullptr;
    QSplitter* scVertical = nullptr;
    QWidget* StatisticsPanel = nullptr;
    QWidget* pnFileSpecHolder = nullptr;
    QSplitter* scQuickView = nullptr;
    TQuickViewPane* pnQuickView = nullptr;
    QWidget* pnStatistics = nullptr;
    QWidget* pnCmdLine = nullptr;
    QStackedWidget* ZenPageControl = nullptr;
    QWidget* ts_TitlePage = nullptr;
    QLabel* lbProgramName = nullptr;
    QLabel* lbVersion = nullptr;
    QLabel* pnSysInfo = nullptr;
    TMainStatusBar* MainStatusBar = nullptr;
    TZentrixTray* tray = nullptr;
    QTimer* SysTimer = nullptr;
    QTimer* SplashTimer = nullptr;
    QTimer* DragTimer = nullptr;
    QTimer* MediaTimer = nullptr;
    QAction* pmiHideShowWindow = nullptr;
    TMRUFileList* mruDirs = nullptr;
    THistoryComboBox* hbFileSpec = nullptr;
    QAction* miAnimatePrgIcon = nullptr;
    QAction* miDisableScreenSaver = nullptr;
    ProgramIcon* aiForm = nullptr;
    ScreenSaverInhibitor* screenSaver = nullptr;

    // --- core collaborators ---------------------------------------------------------
    DiskLogger& logger() { return *m_logger; }
    TreeCommands& treeCommands() { return *m_treeCommands; }
    TreeController& treeController() { return *m_treeController; }
    LoggedDiskTabs& tabs() { return *m_tabs; }
    Prompter& prompter() { return *m_prompter; }
    CatalogueTreeModel& treeModel() { return *m_treeModel; }

    /// The end of the start: StartDrives, then OpenStartDirectory.
    void Start(const StartupOptions& options);
    /// Captions, the tree focused (and the menu bar made up for it), the
    /// start-up drives logged.
    void StartDrives(const StartupOptions& options);
    /// The directory of the command line, else "LastDir", opened.
    void OpenStartDirectory(const StartupOptions& options);

    /// Runs the idle pass now (tests call it instead of waiting for the loop).
    void IdleHandler();

    // --- commands ------------------------------------------------------------------
    void QuitZentrix();
    void LogDisk();
    void LogOneLevel();
    void LogDirBranch();
    void RelogDir();
    void miVolRefreshAllDirsClick();
    void miVolRefillClick();
    void ReleaseDisk();
    void NextDisk();
    void PrevDisk();
    void sbDirUpClick();
    void pmiCollapseAllDrivesClick();
    void ChangeTreeViewFont();
    void DirProperties();
    void pmiHideShowWindowClick();
    void pmiTrayAboutClick();
    /// Properties of the current disk (its root directory and volume).
    void DiskProperties();
    void pmiDirContextMenuClick();
    void pmiFileContextMenuClick();
    void miZentrixPropertiesClick();
    /// Placement, splitters and header widths from the store (start step 13/16).
    void RestoreState();
    /// Everything that outlives the run: settings, placement, splitters.
    void SaveState();
    /// After an error escaped a command: inline panels closed, the file window
    /// emptied and back to one directory, the first node selected.
    void ResetAfterError();
    /// Steps after the error window closed: the tree focused, a refill asked.
    void AfterErrorReport();
    /// The quick view follows the current file (when the setting asks for it).
    void UpdateQuickView();
    /// Tip and quote of the day, when the settings ask for them.
    void ShowStartupTips();
    TEnhIniFile& store() { return *m_store; }
    FileWindowController& fileWindow() { return *m_fileWindow; }
    MainMenuBar& menus() { return *m_menus; }
    DiskController& disks() { return *m_disks; }
    TaggingController& tagging() { return *m_tagging; }
    SearchController& search() { return *m_search; }
    HelpController& help() { return *m_help; }
    OpsController& ops() { return *m_ops; }
    ToolsController& toolsController() { return *m_toolsCtl; }
    TagWizardController& tagWizard() { return *m_wizard; }
    /// The options dialog on a page (TOptionsForm::Page).
    void OpenOptions(int page);
    TWDList& watchDog() { return *m_watchDog; }
    PluginCalls& plugins() { return *m_plugins; }
    ViewController& view() { return *m_view; }
    /// FileOperator1: the file operator of the file commands.
    TFileOperator& fileOperator() { return *m_fileOperator; }
    CopyMoveController& copyMove() { return *m_copyMove; }
    DeleteController& deletion() { return *m_delete; }
    CompareTestController& compareTest() { return *m_compareTest; }
    RootsController& roots() { return *m_roots; }
    DirOpsController& dirOps() { return *m_dirOps; }
    QuickSearchController& quickSearch() { return *m_quickSearch; }
    /// The catalogue following the disk.
    LiveController& live() { return *m_live; }
    /// The undo journal, Undo, the operation history and the trash window.
    UndoController& undo() { return *m_undo; }

    /// Brings the window back (the other instance asked, or the tray).
    void RestoreAndRaise();
    /// Files dropped from the desktop at a point of the window; false when the
    /// point is not one that takes them. On the tree they are copied, or moved
    /// with `move` (Shift held).
    bool DropFiles(const QPoint& at, const QList<QUrl>& urls, bool move = false);
    bool DropFiles(const QPoint& at, const std::vector<std::string>& hostPaths, bool move);
    /// Opens a directory by path (catalogue or host form), as the command line does.
    void OpenDirectory(const std::string& path);

    /// A command that runs a handler and keeps its hint; later issues add more.
    using Command = std::function<void()>;
    const std::map<std::string, Command>& commands() const { return m_commands; }
    bool runCommand(const std::string& name);

    /// The text cycling through the system information panel.
    QString sysInfoText() const;
    /// Counts refills (for tests and the status line).
    int fillCount() const { return m_fillCount; }
    /// Runs a file window fill (the file window installs it).
    std::function<void()> FillMainListBox;
    /// True while the window is hidden in the tray.
    bool hiddenInTray() const;

    // --- CatalogueUi ------------------------------------------------------------------
    void setAppTitle(const std::string& title) override;
    void setCurrDirLabel(const std::string& text) override;
    void emptyFileWindow() override;
    bool fileWindowHasEntries() const override;
    void focusFileWindow() override;
    void focusTree() override;
    void repaintTree() override;
    void repaintMainWindow() override;
    void freezeTree(bool frozen) override;
    void scrollIntoView(TTreeNode* node) override;
    void makeTopItem(TTreeNode* node) override;
    void updateDiskInfo() override;
    void updateStatistics() override;
    void refreshDriveList() override;
    void addRecentDir(const std::string& path) override;
    void playCompletionSound() override;

    // --- SettingsTarget -------------------------------------------------------------------
    void ApplyFont(FontSlot slot, const std::string& fontText) override;
    std::string CurrentFontText(FontSlot slot) override;
    void ShowButtonBars(bool dirButtons, bool fileButtons) override;
    void ShowTreeIcons(bool on) override;
    void SetFileItemHeight(std::optional<int> pixels) override;
    void UpdateQuickViewPanel(bool quickView) override;
    void ShowToolHints(bool on) override;
    void LoadCommandButtons() override;
    void SaveCommandButtons() override;

    // --- OptionsHost -----------------------------------------------------------------------
    void ApplyDescriptionColumn(bool show) override;
    void ApplyConfirmedOptions(const Settings& settings) override;
    void ShowHelpTopic(int topic, bool popup) override;
    void SaveMenuShortcuts() override;
    void ReloadMenuShortcuts() override;

    /// The file window's hooks (installed by its controller).
    std::function<void()> onEmptyFileWindow;
    std::function<bool()> onFileWindowHasEntries;
    std::function<void()> onFocusFileWindow;
    std::function<void()> onUpdateStatistics;
    std::function<void(const std::string&)> onRecentDir;
    /// The file window's widget (its font follows FileListBoxFont).
    std::function<QWidget*()> fileListWidget;
    std::function<void(std::optional<int>)> onSetFileItemHeight;
    std::function<void(bool)> onApplyDescriptionColumn;
    std::function<void()> onResortFileWindow;
    std::function<bool()> fileWindowHasFocus;
    /// The file window leaves the maximised state and goes back to one directory.
    std::function<void()> onResetFileWindow;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildLayout();
    void buildCommands();
    void wireFileWindow();
    void wireMenus();
    void wireTools();
    void fileCommandRequested(int command);
    void showPopup(const QString& name, const QPoint& globalPos);
    void wireTree();
    void wireDisks();
    void wireView();
    void wireLive();
    void showDirectoryMenu(TTreeNode* node, const QPoint& globalPos);
    QWidget* fontTarget(FontSlot slot) const;
    void SysTimerTimer();
    void scHorizontalMoved();
    /// The least height that shows five rows of the file window.
    int fileWindowMinimumHeight() const;
    void restoreSplitters();
    void scVerticalMoved();
    void showCurrentDirectory();
    void scheduleIdle();

    Catalogue& m_cat;
    AppState& m_state;
    Settings& m_settings;
    platform::DriveTable& m_drives; // virtual roots and mapped shares add letters
    std::unique_ptr<GuiPrompter> m_ownPrompter;
    Prompter* m_prompter;
    std::unique_ptr<LoggedDiskTabs> m_tabs;
    std::unique_ptr<DiskLogger> m_logger;
    std::unique_ptr<TreeCommands> m_treeCommands;
    std::unique_ptr<TEnhIniFile> m_store;
    std::unique_ptr<PluginCalls> m_plugins;
    TSplitControl* m_quickViewSplit = nullptr;
    std::unique_ptr<TWDList> m_watchDog;
    CatalogueTreeModel* m_treeModel = nullptr;
    FileWindowController* m_fileWindow = nullptr;
    DiskController* m_disks = nullptr;
    CdCacheController* m_cdCache = nullptr;
    TaggingController* m_tagging = nullptr;
    ViewController* m_view = nullptr;
    QuickViewController* m_quickView = nullptr;
    SearchController* m_search = nullptr;
    HelpController* m_help = nullptr;
    OpsController* m_ops = nullptr;
    TagWizardController* m_wizard = nullptr;
    ToolsController* m_toolsCtl = nullptr;
    std::unique_ptr<TFileOperator> m_fileOperator;
    CopyMoveController* m_copyMove = nullptr;
    DeleteController* m_delete = nullptr;
    CompareTestController* m_compareTest = nullptr;
    RootsController* m_roots = nullptr;
    DirOpsController* m_dirOps = nullptr;
    QuickSearchController* m_quickSearch = nullptr;
    LiveController* m_live = nullptr;
    UndoController* m_undo = nullptr;
    MainMenuBar* m_menus = nullptr;
    FileMenuState* m_fileMenuState = nullptr;
    TreeController* m_treeController = nullptr;
    std::map<std::string, Command> m_commands;
    std::vector<std::string> m_sysInfoLines;
    size_t m_sysInfoIndex = 0;
    int m_fillCount = 0;
    bool m_idleScheduled = false;
    bool m_splittersPending = false;
};

} // namespace zentrix
