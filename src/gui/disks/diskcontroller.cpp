#include "gui/disks/diskcontroller.h"

#include "catalogue/catalogue.h"
#include "catalogue/catalogueui.h"
#include "catalogue/diskcommands.h"
#include "catalogue/disklogger.h"
#include "catalogue/loggeddisktabs.h"
#include "catalogue/treecommands.h"
#include "config/compatibility.h"
#include "config/settings.h"
#include "core/appstate.h"
#include "core/plugincalls.h"
#include "gui/controls/a11y.h"
#include "gui/disks/driveicons.h"
#include "gui/disks/tdiskinfopanel.h"
#include "gui/disks/tloggeddrivestabset.h"
#include "gui/disks/tzentrixdrives.h"
#include "platform/drivetable.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QStackedWidget>

#include <cctype>

namespace zentrix {

namespace {

char upper(char c) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

} // namespace

DiskController::DiskController(Catalogue& catalogue, AppState& state, Settings& settings,
                               DiskLogger& logger, TreeCommands& treeCommands, LoggedDiskTabs& tabs,
                               Prompter& prompter, PluginCalls& plugins,
                               const platform::DriveTable& drives, CatalogueUi& ui, QWidget* window)
    : QObject(window), m_cat(catalogue), m_state(state), m_settings(settings), m_logger(logger),
      m_treeCommands(treeCommands), m_tabs(tabs), m_prompter(prompter), m_plugins(plugins),
      m_drives(drives), m_ui(ui), m_window(window),
      m_commands(std::make_unique<DiskCommands>(catalogue, state, settings, logger, prompter)) {
    setObjectName("DiskController");

    LoggedDrivesTabSet = new TLoggedDrivesTabSet(window);
    NameComponent(LoggedDrivesTabSet, "LoggedDrivesTabSet", "Logged disks");
    LoggedDrivesTabSet->IconFor = [this](char letter) {
        const platform::DriveInfo* drive = m_drives.Find(letter);
        return DriveIcon(drive ? drive->kind : platform::DriveKind::Unknown);
    };
    connect(LoggedDrivesTabSet, &TLoggedDrivesTabSet::LoggedDrivesTabSetClick, this,
            &DiskController::LoggedDrivesTabSetClick);
    connect(LoggedDrivesTabSet, &TLoggedDrivesTabSet::LoggedDrivesTabSetChange, this,
            &DiskController::LoggedDrivesTabSetChange);
    connect(LoggedDrivesTabSet, &TLoggedDrivesTabSet::LoggedDrivesTabSetDragOver, this,
            &DiskController::LoggedDrivesTabSetDragOver);
    connect(LoggedDrivesTabSet, &TLoggedDrivesTabSet::LoggedDrivesTabSetMouseDown, this,
            &DiskController::LoggedDrivesTabSetMouseDown);
    m_tabs.OnChanged = [this] {
        syncTabs();
    };
    syncTabs();

    lbDrives = new TZentrixDrives(window);
    NameComponent(lbDrives, "lbDrives", "Drives");
    lbDrives->SetExtraOptions(DriveListOption::ShowAll | DriveListOption::ShowBitmaps);
    lbDrives->SetTextCase(TextCase::tcUpperCase);
    lbDrives->SetDrives(&m_drives);
    connect(lbDrives, &TZentrixDrives::lbDrivesClick, this, &DiskController::lbDrivesClick);
    connect(lbDrives, &TZentrixDrives::lbDrivesKeyPress, this, &DiskController::lbDrivesKeyPress);
    connect(lbDrives, &TZentrixDrives::lbDrivesEnter, this, &DiskController::lbDrivesEnter);
    connect(lbDrives, &TZentrixDrives::lbDrivesExit, this, &DiskController::lbDrivesExit);
    RebuildDriveList();

    DiskInfoPanel = new TDiskInfoPanel(window);
    connect(DiskInfoPanel, &TDiskInfoPanel::VolumeLabelClick, this,
            &DiskController::DiskVolumeName);
    connect(DiskInfoPanel, &TDiskInfoPanel::btnDiskImageClick, this,
            &DiskController::btnDiskImageClick);

    buildPages(window);
}

DiskController::~DiskController() {
    m_tabs.OnChanged = nullptr;
}

void DiskController::buildPages(QWidget* window) {
    auto page = [window](const char* name, const QString& accessible, const QString& caption,
                         QLineEdit*& edit, const char* editName, const QString& editAccessible,
                         QPushButton*& ok, const char* okName, QPushButton*& cancel,
                         const char* cancelName) {
        auto* widget = new QWidget(window);
        NameComponent(widget, name, accessible);
        widget->hide();
        auto* row = new QHBoxLayout(widget);
        row->setContentsMargins(6, 2, 6, 2);
        auto* label = new QLabel(caption, widget);
        edit = new QLineEdit(widget);
        NameComponent(edit, editName, editAccessible);
        label->setBuddy(edit);
        ok = new QPushButton("OK", widget);
        NameComponent(ok, okName, "OK");
        cancel = new QPushButton("Cancel", widget);
        NameComponent(cancel, cancelName, "Cancel");
        row->addWidget(label);
        row->addWidget(edit, 1);
        row->addWidget(ok);
        row->addWidget(cancel);
        return widget;
    };
    ts_DC_VolumeLabel = page("ts_DC_VolumeLabel", "Volume label", "&Volume label:", VolumeLabelEdit,
                             "VolumeLabelEdit", "New volume label", bbVolLabOK, "bbVolLabOK",
                             bbVolLabCancel, "bbVolLabCancel");
    VolumeLabelEdit->setMaxLength(32);
    ts_DC_SerialNum =
        page("ts_DC_SerialNum", "Serial number", "&Serial number:", SerNumberEdit, "SerNumberEdit",
             "New serial number", bbSerNumOK, "bbSerNumOK", bbSerNumCancel, "bbSerNumCancel");
    // Eight hexadecimal digits shown as "    -    " while empty.
    SerNumberEdit->setInputMask("HHHH-HHHH; ");

    connect(bbVolLabOK, &QPushButton::clicked, this, &DiskController::bbVolLabOKClick);
    connect(VolumeLabelEdit, &QLineEdit::returnPressed, this, &DiskController::bbVolLabOKClick);
    connect(bbSerNumOK, &QPushButton::clicked, this, &DiskController::bbSerNumOKClick);
    connect(SerNumberEdit, &QLineEdit::returnPressed, this, &DiskController::bbSerNumOKClick);
    for (QPushButton* cancel : {bbVolLabCancel, bbSerNumCancel})
        connect(cancel, &QPushButton::clicked, this, &DiskController::CancelPage);
    for (QWidget* page : {ts_DC_VolumeLabel, ts_DC_SerialNum}) {
        auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), page);
        escape->setContext(Qt::WidgetWithChildrenShortcut);
        connect(escape, &QShortcut::activated, this, &DiskController::CancelPage);
    }
}

void DiskController::InstallPages(QStackedWidget* zenPageControl, QWidget* titlePage) {
    m_zen = zenPageControl;
    m_titlePage = titlePage;
    if (!m_zen)
        return;
    m_zen->addWidget(ts_DC_VolumeLabel);
    m_zen->addWidget(ts_DC_SerialNum);
}

void DiskController::openPage(QWidget* page) {
    if (m_zen) {
        m_zen->setVisible(true);
        m_zen->setCurrentWidget(page);
    } else {
        page->show();
    }
}

void DiskController::closePage() {
    if (m_zen) {
        if (m_titlePage)
            m_zen->setCurrentWidget(m_titlePage);
        m_zen->setVisible(m_settings.ShowMemStat);
    } else {
        ts_DC_VolumeLabel->hide();
        ts_DC_SerialNum->hide();
    }
}

void DiskController::CancelPage() {
    closePage();
    m_ui.focusTree();
}

// --- tabs ----------------------------------------------------------------------------------

void DiskController::syncTabs() {
    LoggedDrivesTabSet->SetTabs(m_tabs.Letters(), m_tabs.ActiveIndex());
}

void DiskController::AddLoggedDriveToTabSet(char letter) {
    m_tabs.Add(letter);
}
void DiskController::RemoveLoggedDriveFromTabSet(char letter) {
    m_tabs.Remove(letter);
}
void DiskController::SetActiveTabSet(char letter) {
    m_tabs.SetActive(letter);
}

TTreeNode* DiskController::rootOf(char letter) const {
    return m_logger.FindNodeByPath(std::string(1, letter) + ":\\");
}

void DiskController::LoggedDrivesTabSetClick(int index) {
    const char letter = LoggedDrivesTabSet->LetterAt(index);
    if (letter)
        m_treeCommands.TabClicked(letter);
}

void DiskController::LoggedDrivesTabSetChange(int index) {
    m_tabs.ActivateIndex(index);
    if (fileWindowHasFocus && fileWindowHasFocus() && !fileWindowIsMaximised())
        m_ui.focusTree();
}

void DiskController::LoggedDrivesTabSetDragOver(int index) {
    if (showTreePage)
        showTreePage();
    if (index < 0) {
        if (scrollTreeLineDown)
            scrollTreeLineDown();
        return;
    }
    if (index == m_tabs.ActiveIndex())
        return;
    const char letter = LoggedDrivesTabSet->LetterAt(index);
    m_tabs.SetActive(letter);
    if (TTreeNode* root = rootOf(letter))
        m_ui.scrollIntoView(root);
}

void DiskController::LoggedDrivesTabSetMouseDown(Qt::MouseButton button, const QPoint& pos,
                                                 Qt::KeyboardModifiers modifiers) {
    if (button != Qt::RightButton)
        return;
    int index = LoggedDrivesTabSet->tabAt(pos);
    if (index < 0)
        index = m_tabs.ActiveIndex();
    const char letter = LoggedDrivesTabSet->LetterAt(index);
    if (!letter)
        return;
    const QPoint global = LoggedDrivesTabSet->mapToGlobal(pos);
    const bool shift = modifiers & Qt::ShiftModifier;
    if (shift == m_settings.ShowContextMenus) {
        m_tabs.SetActive(letter);
        emit drivesPopupRequested(global);
        return;
    }
    if (!CheckCompatibility(kCompatibilityMedium, m_settings, m_prompter))
        return;
    emit shellMenuRequested(rootOf(letter), global);
}

void DiskController::NextDisk() {
    m_treeCommands.NextDisk();
}
void DiskController::PrevDisk() {
    m_treeCommands.PrevDisk();
}

void DiskController::sbNextDiskClick() {
    NextDisk();
    m_state.requestRefill();
}

void DiskController::sbPrevDiskClick() {
    PrevDisk();
    m_state.requestRefill();
}

// --- drive list ---------------------------------------------------------------------------

void DiskController::RebuildDriveList() {
    lbDrives->Rebuild(false);
    lbDrives->SetSelectedLetter(m_state.currentDisk);
}

void DiskController::backToCurrentDisk() {
    lbDrives->FoldUp();
    lbDrives->SetSelectedLetter(m_state.currentDisk);
    m_ui.focusTree();
}

void DiskController::LogDisk() {
    if (fileWindowIsMaximised()) {
        if (restoreFileWindow)
            restoreFileWindow();
        if (!treePanelVisible || treePanelVisible())
            m_ui.focusTree();
        if (m_state.scope > 1) {
            m_state.scope = 1;
            m_state.requestRefill();
        }
    }
    lbDrives->DropDown();
}

void DiskController::sbDrivesDownClick() {
    if (fileWindowIsMaximised()) {
        if (restoreFileWindow)
            restoreFileWindow();
        m_ui.focusTree();
        if (m_state.scope > 1) {
            m_state.scope = 1;
            if (refillNow)
                refillNow();
            else
                m_state.requestRefill();
        }
        LogDisk();
        return;
    }
    if (lbDrives->DroppedDown()) {
        backToCurrentDisk();
    } else {
        lbDrives->Rebuild(false);
        lbDrives->DropDown();
    }
}

void DiskController::lbDrivesClick() {
    if (lbDrives->DroppedDown()) {
        if (const char letter = lbDrives->SelectedLetter())
            lbDrivesChoice(letter);
    } else {
        lbDrives->DropDown();
    }
}

void DiskController::lbDrivesKeyPress(QChar key) {
    if (key.unicode() == 0x1B) {
        backToCurrentDisk();
        return;
    }
    if (key.unicode() > 0x7F)
        return;
    const char letter = upper(static_cast<char>(key.unicode()));
    if (letter < 'A' || letter > 'Z' || !lbDrives->List().IsAvailable(letter))
        return;
    lbDrives->SetSelectedLetter(letter);
    lbDrivesChoice(letter);
}

void DiskController::lbDrivesEnter() {
    if (showTreePage)
        showTreePage();
    emit lbDrivesEntered();
}

void DiskController::lbDrivesExit() {
    if (lbDrives->DroppedDown())
        lbDrives->FoldUp();
    lbDrives->SetSelectedLetter(m_state.currentDisk);
    emit lbDrivesLeft();
}

void DiskController::lbDrivesChoice(char letter) {
    letter = upper(letter);
    switch (m_commands->CheckChosenDrive(letter)) {
    case DiskCommands::Choice::BackToCurrent:
    case DiskCommands::Choice::Ejected:
        backToCurrentDisk();
        return;
    case DiskCommands::Choice::KeepList:
        return;
    case DiskCommands::Choice::Log:
        break;
    }
    lbDrives->FoldUp();
    m_ui.repaintMainWindow();
    m_ui.focusTree();
    m_commands->LogChosenDrive(letter);
}

bool DiskController::DirPagesLocked() const {
    return lbDrives->DroppedDown();
}

// --- disk information -------------------------------------------------------------------

void DiskController::UpdateDiskInfo() {
    const DiskPanelInfo& info = m_logger.DiskInfo();
    DiskInfoPanel->ShowDisk(info, DriveIcon(info.kind));
    lbDrives->SetSelectedLetter(info.letter);
}

void DiskController::btnDiskImageClick() {
    m_plugins.CallShowDiskInfo(m_state.currentDisk, m_window);
}

void DiskController::DiskVolumeName() {
    std::string label;
    if (!m_commands->BeginVolumeName(label))
        return;
    VolumeLabelEdit->setText(QString::fromStdString(label));
    openPage(ts_DC_VolumeLabel);
    VolumeLabelEdit->selectAll();
    VolumeLabelEdit->setFocus();
}

void DiskController::bbVolLabOKClick() {
    m_commands->SetVolumeLabel(VolumeLabelEdit->text().toStdString());
    closePage();
    RebuildDriveList();
    m_ui.focusTree();
}

void DiskController::DiskSerialNumber() {
    std::string text;
    if (!m_commands->BeginSerialNumber(text))
        return;
    SerNumberEdit->setText(QString::fromStdString(text));
    openPage(ts_DC_SerialNum);
    SerNumberEdit->setFocus();
    SerNumberEdit->setCursorPosition(0);
}

void DiskController::bbSerNumOKClick() {
    if (m_commands->SetSerialNumber(SerNumberEdit->text().toStdString()) ==
        DiskCommands::SerialResult::Invalid) {
        SerNumberEdit->setFocus(); // the page stays open for the rest of the digits
        return;
    }
    closePage();
    m_ui.focusTree();
}

} // namespace zentrix
