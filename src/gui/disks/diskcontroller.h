#pragma once

// How the main window creates and wires the disk controller (in its constructor,
// after m_tabs, m_logger, m_treeCommands and m_plugins exist and before
// buildLayout places the widgets):
//
//   m_disks = new DiskController(m_cat, m_state, m_settings, *m_logger, *m_treeCommands,
//                                *m_tabs, *m_prompter, *m_plugins, m_drives, *this, this);
//
// - Layout: `lbDrives = m_disks->lbDrives` goes where the QComboBox was
//   (tools->addWidget(lbDrives, 1)); `LoggedDrivesTabSet = m_disks->LoggedDrivesTabSet`
//   above MainTreeView; `m_disks->DiskInfoPanel` into the statistics side
//   (pnStatistics); `m_disks->InstallPages(ZenPageControl, ts_TitlePage)` once the
//   command strip exists.
// - The controller keeps the tab strip in step with LoggedDiskTabs itself (it sets
//   LoggedDiskTabs::OnChanged): drop rebuildTabs() and the main window's own
//   OnChanged, rebuildDriveList() and the lbDrives/LoggedDrivesTabSet connections.
// - Buttons: sbDrivesDown -> sbDrivesDownClick, sbNextDisk -> sbNextDiskClick,
//   sbPrevDisk -> sbPrevDiskClick. Commands: LogDisk, NextDisk, PrevDisk,
//   DiskVolumeName ("Na&me ..."), DiskSerialNumber ("&Serial number ..."),
//   btnDiskImageClick ("&Info ...").
// - CatalogueUi: updateDiskInfo() -> m_disks->UpdateDiskInfo(); refreshDriveList()
//   -> m_disks->RebuildDriveList().
// - Hooks: fileWindowHasFocus, fileWindowMaximised, restoreFileWindow, refillNow,
//   treePanelVisible, showTreePage (DirPageControl->setCurrentWidget(tsDirTree)),
//   scrollTreeLineDown (MainTreeView->ScrollLineDown()).
// - Signals: drivesPopupRequested -> DrivesPopupMenu->popup(pos);
//   shellMenuRequested -> the same handler as TreeController's; lbDrivesEntered ->
//   suspend the single-key shortcuts and rebuild the disk-format popup;
//   lbDrivesLeft -> restore the shortcuts.
// - DirPageControl must refuse page changes while DirPagesLocked() is true.

#include <QObject>
#include <QPoint>

#include <functional>
#include <memory>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QStackedWidget;
class QToolButton;

namespace zentrix {

class AppState;
class Catalogue;
class CatalogueUi;
class DiskCommands;
class DiskLogger;
class LoggedDiskTabs;
class PluginCalls;
class Prompter;
class TDiskInfoPanel;
class TLoggedDrivesTabSet;
class TreeCommands;
class TTreeNode;
class TZentrixDrives;
struct Settings;

namespace platform {
class DriveTable;
}

/// The logged-disk tabs, the drive list, the disk information panel and the
/// volume-label and serial-number pages of the command strip, with what they do.
/// The widgets are children of the given window until the main window places
/// them; Qt owns them.
class DiskController : public QObject {
    Q_OBJECT
public:
    DiskController(Catalogue& catalogue, AppState& state, Settings& settings, DiskLogger& logger,
                   TreeCommands& treeCommands, LoggedDiskTabs& tabs, Prompter& prompter,
                   PluginCalls& plugins, const platform::DriveTable& drives, CatalogueUi& ui,
                   QWidget* window);
    ~DiskController() override;

    // --- components -------------------------------------------------------------------
    TLoggedDrivesTabSet* LoggedDrivesTabSet = nullptr;
    TZentrixDrives* lbDrives = nullptr;
    TDiskInfoPanel* DiskInfoPanel = nullptr;
    QWidget* ts_DC_VolumeLabel = nullptr;
    QLineEdit* VolumeLabelEdit = nullptr;
    QPushButton* bbVolLabOK = nullptr;
    QPushButton* bbVolLabCancel = nullptr;
    QWidget* ts_DC_SerialNum = nullptr;
    QLineEdit* SerNumberEdit = nullptr;
    QPushButton* bbSerNumOK = nullptr;
    QPushButton* bbSerNumCancel = nullptr;

    /// Adds the two pages to the command strip; `titlePage` is the page shown
    /// when a prompt closes.
    void InstallPages(QStackedWidget* zenPageControl, QWidget* titlePage);

    /// The rules behind the widgets (tests replace its hardware hooks).
    DiskCommands& Commands() { return *m_commands; }

    // --- commands ---------------------------------------------------------------------
    /// "Disk L ...": the drive list drops down (restoring a maximised file window first).
    void LogDisk();
    void sbDrivesDownClick();
    void sbNextDiskClick();
    void sbPrevDiskClick();
    void NextDisk();
    void PrevDisk();
    /// Shows DiskLogger::DiskInfo() and selects the current disk in the list.
    void UpdateDiskInfo();
    /// Rebuilds the drive list without touching floppies.
    void RebuildDriveList();
    void DiskVolumeName();
    void bbVolLabOKClick();
    void DiskSerialNumber();
    void bbSerNumOKClick();
    void btnDiskImageClick();
    /// Closes an open volume page of the command strip and focuses the tree.
    void CancelPage();

    void AddLoggedDriveToTabSet(char letter);
    void RemoveLoggedDriveFromTabSet(char letter);
    void SetActiveTabSet(char letter);

    /// While the drive list is dropped down the directory pages stay as they are.
    bool DirPagesLocked() const;

    // --- event handlers -----------------------------------------------------------------
    void lbDrivesClick();
    void lbDrivesKeyPress(QChar key);
    void lbDrivesEnter();
    void lbDrivesExit();
    void lbDrivesChoice(char letter);
    void LoggedDrivesTabSetClick(int index);
    void LoggedDrivesTabSetChange(int index);
    void LoggedDrivesTabSetDragOver(int index);
    void LoggedDrivesTabSetMouseDown(Qt::MouseButton button, const QPoint& pos,
                                     Qt::KeyboardModifiers modifiers);

    // --- what the main window tells -----------------------------------------------------
    std::function<bool()> fileWindowHasFocus;
    std::function<bool()> fileWindowMaximised;
    /// Leaves the file window's maximised state.
    std::function<void()> restoreFileWindow;
    /// Runs a refill now (default: asks for one).
    std::function<void()> refillNow;
    std::function<bool()> treePanelVisible;
    std::function<void()> showTreePage;
    std::function<void()> scrollTreeLineDown;

signals:
    /// The program's popup for the disks (DrivesPopupMenu) at a global position.
    void drivesPopupRequested(const QPoint& globalPos);
    /// The system's context menu for a disk's root.
    void shellMenuRequested(TTreeNode* root, const QPoint& globalPos);
    /// The drive list got the focus: single-key shortcuts off, format popup rebuilt.
    void lbDrivesEntered();
    /// The drive list lost the focus.
    void lbDrivesLeft();

private:
    void buildPages(QWidget* window);
    void syncTabs();
    void openPage(QWidget* page);
    void closePage();
    void backToCurrentDisk();
    TTreeNode* rootOf(char letter) const;
    bool fileWindowIsMaximised() const { return fileWindowMaximised && fileWindowMaximised(); }

    Catalogue& m_cat;
    AppState& m_state;
    Settings& m_settings;
    DiskLogger& m_logger;
    TreeCommands& m_treeCommands;
    LoggedDiskTabs& m_tabs;
    Prompter& m_prompter;
    PluginCalls& m_plugins;
    const platform::DriveTable& m_drives;
    CatalogueUi& m_ui;
    QWidget* m_window;
    std::unique_ptr<DiskCommands> m_commands;
    QStackedWidget* m_zen = nullptr;
    QWidget* m_titlePage = nullptr;
};

} // namespace zentrix
