#pragma once

#include "config/settingsstore.h"
#include "platform/apppaths.h"

#include <QDialog>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSlider;
class QSpinBox;
class QTabWidget;

namespace zentrix {

namespace platform {
class DriveTable;
}
class OptionsHost;
class Prompter;
struct ToolsConfig;
class TCommandButtonsPage;
class TShortCutsPage;
class TToolsPage;
class SettingsTarget;
class TEnhIniFile;
class TRadioGroup;

/// Everything the options dialog works with. The dialog owns none of it.
struct OptionsContext {
    Settings& settings;
    std::vector<std::string>& userFileTypes; ///< the catalogue's user file types
    const platform::DriveTable& drives;
    Prompter& prompter;
    SettingsEnvironment environment;
    std::string iniName = SettingsIniName(); ///< selects the store's key
    std::string storePath;                   ///< the settings file; empty: the user's
    SettingsTarget* target = nullptr;        ///< the main window's settings side
    OptionsHost* host = nullptr;             ///< the main window's other duties
    /// The program the shell integration offers.
    std::string executablePath = platform::AppPaths::ExecutablePath();
    /// The user tools, command buttons and shortcuts; without them the dialog has
    /// no pages for them.
    ToolsConfig* tools = nullptr;
};

/// The options dialog. Created on a page, shown modally, destroyed after it
/// closes. OK copies every control into the settings and saves them (with the
/// list sections); Cancel, Esc and closing the window reload the settings from
/// the store, undoing what the dialog changed at once (the chosen sound, the
/// associated programs). The shell integration box acts at once and is not
/// undone.
class TOptionsForm : public QDialog {
    Q_OBJECT
public:
    enum class Page {
        General,
        View,
        Sort,
        Disks,
        Extensions,
        Delete,
        Compatibility,
        Sounds,
        WatchDog,
        Confirmation,
        ViewerEditor,
        Tools,
        DirButtons,
        FileButtons,
        ShortCuts
    };

    TOptionsForm(OptionsContext& context, Page page = Page::General, QWidget* parent = nullptr);
    ~TOptionsForm() override;

    /// Saves the menu shortcuts and the settings, then shows the dialog modally on
    /// a page. Returns the dialog's result.
    static int Execute(OptionsContext& context, Page page, QWidget* parent);

    /// Replaces the directory browser (start directory in, chosen directory out,
    /// empty when cancelled), the program chooser (caption and start file in), or
    /// the viewer of WATCHDOG.LOG (false when it could not show the file).
    using DirectoryChooser = std::function<QString(const QString& start)>;
    using FileChooser = std::function<QString(const QString& caption, const QString& start)>;
    using FileViewer = std::function<bool(const QString& hostPath)>;
    void setDirectoryChooser(DirectoryChooser chooser) { m_chooseDirectory = std::move(chooser); }
    void setFileChooser(FileChooser chooser) { m_chooseFile = std::move(chooser); }
    void setFileViewer(FileViewer viewer) { m_viewFile = std::move(viewer); }

    /// Help context and help topic of each page.
    static int HelpContext(Page page);
    static int HelpTopic(Page page);
    Page currentPage() const;

    void accept() override;
    void reject() override;

    QTabWidget* pcOptions = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;
    QPushButton* btnHelp = nullptr;

    // General
    QCheckBox* cbLogCDFromArchive = nullptr;
    QCheckBox* cbShowCmdPanel = nullptr;
    QCheckBox* cbShowContextMenus = nullptr;
    QCheckBox* cbRefreshOnActivate = nullptr;
    QCheckBox* cbDMCExecuteFile = nullptr;
    QCheckBox* cbShowMemStat = nullptr;
    QCheckBox* cbShowTips = nullptr;
    QCheckBox* cbShowQuotes = nullptr;
    QCheckBox* cbOneInst = nullptr;
    QCheckBox* cbWinMakeDir = nullptr;
    QCheckBox* cbWinRenameDir = nullptr;
    QCheckBox* cbQuickView = nullptr;
    QCheckBox* cbAutoPlay = nullptr;
    QCheckBox* cbShellExt = nullptr;
    // View
    TRadioGroup* rgFileDisplay = nullptr;
    QSpinBox* seSmallIconSize = nullptr;
    QSpinBox* seLargeIconSize = nullptr;
    QCheckBox* cbDisplayFullPath = nullptr;
    QCheckBox* cbFetchFileDesc = nullptr;
    QCheckBox* cbShowFileDesc = nullptr;
    QCheckBox* cbShortNames = nullptr;
    QCheckBox* cbShowFolderIcons = nullptr;
    QCheckBox* cbAllowManyEntries = nullptr;
    // Sort
    TRadioGroup* rgFileSort = nullptr;
    QCheckBox* cbReverseSort = nullptr;
    // Disks
    QSlider* trLogDrivePrecision = nullptr;
    QListWidget* lbLogDrives = nullptr;
    QCheckBox* cbShowHiddenDirs = nullptr;
    QCheckBox* cbFollowChanges = nullptr;
    QPushButton* btnDrivesSelectAll = nullptr;
    QPushButton* btnDrivesDeselectAll = nullptr;
    // Extensions
    QListWidget* lbUserExt = nullptr;
    QLineEdit* edExtDescription = nullptr;
    QLineEdit* edExtSpecification = nullptr;
    QPushButton* btnExtAdd = nullptr;
    QPushButton* btnExtModify = nullptr;
    QPushButton* btnExtDelete = nullptr;
    // Delete
    TRadioGroup* rgFileDeletion = nullptr;
    QPushButton* btnEmptyRecycleBin = nullptr;
    QLabel* imgRecycleBin = nullptr;
    // Compatibility
    TRadioGroup* rgCompatibility = nullptr;
    // Sounds
    QCheckBox* cbSoundWhenComplete = nullptr;
    QListWidget* lbSounds = nullptr;
    QLabel* lbChosenSound = nullptr;
    QPushButton* btnPlaySound = nullptr;
    QPushButton* btnChooseSound = nullptr;
    // WatchDog
    QCheckBox* cbWDEnabled = nullptr;
    QListWidget* lbWatchDog = nullptr;
    QPushButton* btnWDSelectAll = nullptr;
    QPushButton* btnWDDeselectAll = nullptr;
    QCheckBox* cbWDAutoDelete = nullptr;
    QSpinBox* seWDFSize = nullptr;
    QSpinBox* seUndoEntries = nullptr;
    QLabel* lbWDFilePath = nullptr;
    QPushButton* btnWDBrowse = nullptr;
    QPushButton* btnViewWDFile = nullptr;
    QPushButton* btnRemoveWDFile = nullptr;
    // Confirmation ("Get confirmation before": each box is the inverse of its Skip setting)
    QCheckBox* cbSkipReleaseDrv = nullptr;
    QCheckBox* cbSkipEjectCDROM = nullptr;
    QCheckBox* cbSkipQuit = nullptr;
    QCheckBox* cbSkipRemoveRoot = nullptr;
    QCheckBox* cbSkipArchive = nullptr;
    QCheckBox* cbSkipDisconnectNet = nullptr;
    QCheckBox* cbSkipRestore = nullptr;
    QCheckBox* cbSkipDeleteSpecialAttr = nullptr;
    QLabel* lbWipeNote = nullptr; // beside the wipe modes: what overwriting cannot reach
    QCheckBox* cbSkipProtected = nullptr;
    QCheckBox* cbSkipPrune = nullptr;
    // Viewer/Editor
    QCheckBox* cbUseDefEditor = nullptr;
    QCheckBox* cbUseDefViewer = nullptr;
    QCheckBox* cbViewAutoHex = nullptr;
    QLabel* lbEditorPath = nullptr;
    QLabel* lbEditorDesc = nullptr;
    QLabel* imgEditorIcon = nullptr;
    QPushButton* btnBrowseEditor = nullptr;
    QLabel* lbViewerPath = nullptr;
    QLabel* lbViewerDesc = nullptr;
    QLabel* imgViewerIcon = nullptr;
    QPushButton* btnBrowseViewer = nullptr;

    // Tools, Directory buttons, File buttons, ShortCuts (present with ToolsConfig)
    TToolsPage* tsTools = nullptr;
    TCommandButtonsPage* tsDirButtons = nullptr;
    TCommandButtonsPage* tsFileButtons = nullptr;
    TShortCutsPage* tsShortCuts = nullptr;

    // Handlers
    void btnOKClick();
    void btnCancelClick();
    void btnHelpClick();
    void cbQuickViewClick();
    void cbShellExtClick(bool checked);
    void btnExtAddClick();
    void btnExtModifyClick();
    void btnExtDeleteClick();
    void lbUserExtClick();
    void btnDrivesSelectAllClick(bool check);
    void btnEmptyRecycleBinClick();
    void btnPlaySoundClick();
    void btnChooseSoundClick();
    void btnWDSelectAllClick(bool check);
    void btnWDBrowseClick();
    void btnViewWDFileClick();
    void btnRemoveWDFileClick();
    void btnBrowseEditorClick();
    void btnBrowseViewerClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildGeneralPage();
    QWidget* buildViewPage();
    QWidget* buildSortPage();
    QWidget* buildDisksPage();
    QWidget* buildExtensionsPage();
    QWidget* buildDeletePage();
    QWidget* buildCompatibilityPage();
    QWidget* buildSoundsPage();
    QWidget* buildWatchDogPage();
    QWidget* buildConfirmationPage();
    QWidget* buildViewerEditorPage();
    QCheckBox* checkBox(const char* name, const QString& caption);

    void loadControls();
    void storeControls();
    void updateExtButtons();
    void updateWDEnabled();
    void updateWDFileButtons();
    void showProgram(bool editor);
    void recycleBinMenu(const QPoint& globalPos);
    QString watchDogLogPath() const;
    void pageChanged();
    QString hostPathOf(const std::string& path) const;
    OptionsDialogLists dialogLists() const;

    OptionsContext& m_ctx;
    std::unique_ptr<TEnhIniFile> m_store;
    std::string m_wdFilePath; // the WatchDog directory the page shows
    DirectoryChooser m_chooseDirectory;
    FileChooser m_chooseFile;
    FileViewer m_viewFile;
    std::vector<Page> m_pages;
};

} // namespace zentrix
