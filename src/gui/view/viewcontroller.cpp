#include "gui/view/viewcontroller.h"

#include "catalogue/catalogue.h"
#include "catalogue/disklogger.h"
#include "catalogue/fileclass.h"
#include "catalogue/treenode.h"
#include "config/compatibility.h"
#include "config/historyboxes.h"
#include "config/settings.h"
#include "core/appstate.h"
#include "core/plugincalls.h"
#include "core/prompter.h"
#include "filewindow/filetexts.h"
#include "gui/controls/a11y.h"
#include "gui/controls/thistorycombobox.h"
#include "gui/view/tfileinfoform.h"
#include "gui/view/tfilepropertiesdialog.h"
#include "gui/view/tgifform.h"
#include "gui/view/tviewer.h"
#include "gui/view/tviewerform.h"
#include "ops/twdlist.h"
#include "platform/drivetable.h"
#include "platform/mimetypes.h"
#include "platform/pluginlibrary.h"
#include "platform/process.h"
#include "view/dispatchrules.h"
#include "view/shellhistory.h"
#include "view/zipplan.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPixmap>
#include <QPushButton>
#include <QStackedWidget>
#include <QToolButton>
#include <QUrl>

#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zentrix {

namespace {

QString q(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

std::string hostDirectoryOf(const std::string& hostPath) {
    const size_t slash = hostPath.rfind('/');
    return slash == std::string::npos ? std::string()
                                      : hostPath.substr(0, std::max<size_t>(slash, 1));
}

bool isFile(const std::string& hostPath) {
    struct stat st {};
    return ::stat(hostPath.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool isDirectory(const std::string& hostPath) {
    struct stat st {};
    return ::stat(hostPath.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// A host path in double quotes as the shell reads it.
std::string quotedForShell(const std::string& path) {
    std::string out = "\"";
    for (const char c : path) {
        if (c == '"' || c == '\\' || c == '$' || c == '`')
            out.push_back('\\');
        out.push_back(c);
    }
    return out + "\" ";
}

// The process's current directory for the length of a scope.
class CurrentDirectoryGuard {
public:
    explicit CurrentDirectoryGuard(const std::string& dir) : m_old(platform::CurrentDirectory()) {
        if (!dir.empty())
            platform::SetCurrentDirectory(dir);
    }
    ~CurrentDirectoryGuard() {
        if (!m_old.empty())
            platform::SetCurrentDirectory(m_old);
    }
    CurrentDirectoryGuard(const CurrentDirectoryGuard&) = delete;
    CurrentDirectoryGuard& operator=(const CurrentDirectoryGuard&) = delete;

private:
    std::string m_old;
};

} // namespace

ViewController::ViewController(Catalogue& catalogue, AppState& state, Settings& settings,
                               Prompter& prompter, PluginCalls& plugins,
                               const platform::DriveTable& drives, DiskLogger& logger,
                               TWDList& watchDog, QWidget* window)
    : QObject(window), m_cat(catalogue), m_state(state), m_settings(settings), m_prompter(prompter),
      m_plugins(plugins), m_drives(drives), m_logger(logger), m_watchDog(watchDog),
      m_window(window) {
    viewer = new TViewer(prompter, window);
    viewer->ModalView = true;
    viewer->AutoHex = settings.ViewAutoHex;
    buildCommands();
}

ViewController::~ViewController() = default;

void ViewController::buildCommands() {
    m_commands = {
        {"ViewSingleFile",
         [this] {
             ViewSingleFile();
         }},
        {"EditSingleFile",
         [this] {
             EditSingleFile();
         }},
        {"miFileExecuteClick",
         [this] {
             miFileExecuteClick();
         }},
        {"FileInfo",
         [this] {
             FileInfo();
         }},
        {"FileProperties",
         [this] {
             FileProperties();
         }},
        {"OpenZIPFile",
         [this] {
             OpenZIPFile();
         }},
        {"TestZIPFile",
         [this] {
             TestZIPFile();
         }},
        {"MakeZIPFile",
         [this] {
             MakeZIPFile();
         }},
        {"pmiZIPdirectoryClick",
         [this] {
             pmiZIPdirectoryClick();
         }},
        {"miFilePrintClick",
         [this] {
             miFilePrintClick();
         }},
        {"BrowseIcons",
         [this] {
             BrowseIcons();
         }},
        {"CommandLine",
         [this] {
             CommandLine();
         }},
        {"PasteFileToCmdLine",
         [this] {
             PasteFileToCmdLine();
         }},
        {"miDirEditFileClick",
         [this] {
             miDirEditFileClick();
         }},
        {"DosPrompt",
         [this] {
             DosPrompt();
         }},
        {"ExploreDir",
         [this] {
             ExploreDir();
         }},
        {"Run_DEFRAG",
         [this] {
             Run_DEFRAG();
         }},
        {"pmiDefragAllDisksClick",
         [this] {
             pmiDefragAllDisksClick();
         }},
        {"Run_SCANDISK",
         [this] {
             Run_SCANDISK();
         }},
        {"miVolFormatDiskClick",
         [this] {
             miVolFormatDiskClick();
         }},
        {"miVolCopyDiskClick",
         [this] {
             miVolCopyDiskClick();
         }},
        {"miToolsSysInfoClick",
         [this] {
             m_plugins.CallShowSysInfo(m_window);
         }},
        {"miToolsCDBrowserClick",
         [this] {
             m_plugins.CallShowCDBrowser(m_window);
         }},
    };
}

// --- panels ----------------------------------------------------------------------------------

void ViewController::InstallCommandLine(QWidget* panel) {
    pnCmdLine = panel;
    auto* layout = new QHBoxLayout(panel);
    layout->setContentsMargins(2, 1, 2, 1);
    layout->setSpacing(2);
    // No mnemonic: Alt+C belongs to the menu ("Copy with paths"), and the
    // panel is reached with its own command key.
    auto* label = new QLabel("Command:", panel);
    if (const HistoryBoxSpec* spec = FindHistoryBox(kMainWindow, "hbCmdLine"))
        hbCmdLine = THistoryComboBox::Create(*spec, panel, true);
    else
        hbCmdLine = new THistoryComboBox(panel);
    label->setBuddy(hbCmdLine);
    auto button = [&](const char* name, const QString& text, const QString& hint) {
        auto* b = new QToolButton(panel);
        NameComponent(b, name, hint);
        b->setText(text);
        b->setToolTip(hint);
        b->setFocusPolicy(Qt::NoFocus);
        layout->addWidget(b);
        return b;
    };
    layout->addWidget(label);
    layout->addWidget(hbCmdLine, 1);
    sbExecuteCmd = button("sbExecuteCmd", "Run", "Execute the command line (Enter)");
    sbBrowseCmd = button("sbBrowseCmd", "...", "Browse for a program (F2)");
    sbStartMenuHistory = button("sbStartMenuHistory", "History", "Shell history (F3)");
    connect(sbExecuteCmd, &QToolButton::clicked, this, &ViewController::sbExecuteCmdClick);
    connect(sbBrowseCmd, &QToolButton::clicked, this, &ViewController::sbBrowseCmdClick);
    connect(sbStartMenuHistory, &QToolButton::clicked, this,
            &ViewController::sbStartMenuHistoryClick);
    connect(hbCmdLine, &TEnhComboBox::OnCloseUp, this,
            [this] { HistoryBoxWriteIniOnCloseUp(hbCmdLine); });
    hbCmdLine->installEventFilter(this);
    if (hbCmdLine->lineEdit()) {
        hbCmdLine->lineEdit()->installEventFilter(this);
        hbCmdLine->lineEdit()->setAcceptDrops(true);
    }
    hbCmdLine->setAcceptDrops(true);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now && pnCmdLine && !pnCmdLine->isAncestorOf(now) &&
            now->window()->windowType() != Qt::Popup)
            hideCommandLineIfUnwanted();
    });
    ApplySettings();
}

void ViewController::ApplySettings() {
    viewer->AutoHex = m_settings.ViewAutoHex;
    if (pnCmdLine)
        pnCmdLine->setVisible(m_settings.ShowCmdLinePanel);
}

void ViewController::hideCommandLineIfUnwanted() {
    if (pnCmdLine && !m_settings.ShowCmdLinePanel)
        pnCmdLine->hide();
}

void ViewController::InstallPages(QStackedWidget* zenPageControl, QWidget* titlePage) {
    m_zen = zenPageControl;
    m_titlePage = titlePage;
    ts_FC_EditFile = new QWidget;
    NameComponent(ts_FC_EditFile, "ts_FC_EditFile", "Edit file page");
    auto* layout = new QHBoxLayout(ts_FC_EditFile);
    layout->setContentsMargins(6, 2, 6, 2);
    auto* label = new QLabel("&Edit file:", ts_FC_EditFile);
    if (const HistoryBoxSpec* spec = FindHistoryBox(kMainWindow, "hbEditFile"))
        hbEditFile = THistoryComboBox::Create(*spec, ts_FC_EditFile, true);
    else
        hbEditFile = new THistoryComboBox(ts_FC_EditFile);
    label->setBuddy(hbEditFile);
    btnEditOK = new QPushButton("OK", ts_FC_EditFile);
    NameComponent(btnEditOK, "btnEditOK", "OK");
    btnEditCancel = new QPushButton("Cancel", ts_FC_EditFile);
    NameComponent(btnEditCancel, "btnEditCancel", "Cancel");
    layout->addWidget(label);
    layout->addWidget(hbEditFile, 1);
    layout->addWidget(btnEditOK);
    layout->addWidget(btnEditCancel);
    connect(btnEditOK, &QPushButton::clicked, this, &ViewController::btnEditOKClick);
    connect(btnEditCancel, &QPushButton::clicked, this, [this] {
        if (closeInlinePanels)
            closeInlinePanels();
    });
    hbEditFile->installEventFilter(this);
    if (hbEditFile->lineEdit())
        hbEditFile->lineEdit()->installEventFilter(this);
    if (m_zen)
        m_zen->addWidget(ts_FC_EditFile);
}

bool ViewController::eventFilter(QObject* watched, QEvent* event) {
    const bool cmdBox = hbCmdLine && (watched == hbCmdLine || watched == hbCmdLine->lineEdit());
    const bool editBox = hbEditFile && (watched == hbEditFile || watched == hbEditFile->lineEdit());
    if (event->type() == QEvent::KeyPress && (cmdBox || editBox)) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool plain = (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
        if (plain && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            if (cmdBox && !hbCmdLine->currentText().trimmed().isEmpty())
                hbCmdLine->Save();
            cmdBox ? sbExecuteCmdClick() : btnEditOKClick();
            return true;
        }
        if (plain && key->key() == Qt::Key_Escape) {
            if (closeInlinePanels)
                closeInlinePanels();
            if (cmdBox)
                hideCommandLineIfUnwanted();
            return true;
        }
        if (cmdBox && plain && key->key() == Qt::Key_F2) {
            sbBrowseCmdClick();
            return true;
        }
        if (cmdBox && plain && key->key() == Qt::Key_F3) {
            sbStartMenuHistoryClick();
            return true;
        }
    }
    if (cmdBox && (event->type() == QEvent::DragEnter || event->type() == QEvent::Drop)) {
        auto* drop = static_cast<QDropEvent*>(event);
        if (!drop->mimeData()->hasUrls())
            return false;
        drop->acceptProposedAction();
        if (event->type() == QEvent::Drop) {
            QString text = hbCmdLine->currentText();
            for (const QUrl& url : drop->mimeData()->urls())
                if (url.isLocalFile())
                    text += q(quotedForShell(url.toLocalFile().toStdString()));
            hbCmdLine->setEditText(text);
        }
        return true;
    }
    return QObject::eventFilter(watched, event);
}

// --- helpers --------------------------------------------------------------------------------

std::optional<ViewController::Selected> ViewController::selected() {
    TFileClass* record = currentFile ? currentFile() : nullptr;
    if (!record)
        return std::nullopt;
    Selected s;
    s.fullName = record->FullName();
    s.hostPath = m_cat.HostPath(record).value_or(std::string());
    s.description = m_cat.Description(record);
    if (s.hostPath.empty())
        return std::nullopt;
    return s;
}

std::string ViewController::selectedDirectory() const {
    const TTreeNode* node = m_cat.Tree().Selected();
    return node ? node->Path() : std::string();
}

std::string ViewController::selectedDirectoryHost() const {
    return m_drives.ToHostPath(selectedDirectory()).value_or(std::string());
}

std::string ViewController::PictureViewerPath() {
    return platform::PluginLibrary::Directory() + "/zenview";
}

void ViewController::logSingle(WDOperation op, const std::string& text) {
    m_watchDog.LoadFlags(m_settings.WatchDogOperations);
    m_watchDog.LogSingle(op, text);
}

bool ViewController::plainStart(const std::string& program, const std::string& argument,
                                const std::string& workingDirectory) {
    if (program.empty()) {
        openWithDesktop(argument, workingDirectory);
        return true;
    }
    // A program that cannot be started is not reported.
    return platform::StartDetachedIn(program, {argument}, workingDirectory);
}

void ViewController::openWithDesktop(const std::string& hostPath,
                                     const std::string& workingDirectory) {
    platform::StartDetachedIn("xdg-open", {hostPath}, workingDirectory);
}

void ViewController::rereadSelectedDirectory() {
    if (TTreeNode* node = m_cat.Tree().Selected(); node && node->Logged()) {
        m_logger.RefreshDir(node);
        m_state.requestRefill();
    }
}

// --- view, edit, execute ---------------------------------------------------------------------

void ViewController::ViewInBuiltInViewer(const std::string& hostPath, const std::string& title) {
    viewer->AutoHex = m_settings.ViewAutoHex;
    viewer->ViewFile(hostPath, title);
}

void ViewController::ViewSingleFile() {
    const auto sel = selected();
    if (!sel)
        return;
    logSingle(WDOperation::ViewFile, sel->fullName);
    const std::string name = sel->fullName.substr(sel->fullName.rfind('\\') + 1);
    switch (ChooseViewAction(name, m_settings.UseDefaultFileViewer, isFile(PictureViewerPath()))) {
    case ViewAction::OpenZip:
        OpenZIPFile();
        break;
    case ViewAction::LoadCursor: {
        const QPixmap cursor(q(sel->hostPath));
        if (cursor.isNull()) {
            m_prompter.beep();
            break;
        }
        m_window->setCursor(QCursor(cursor));
        break;
    }
    case ViewAction::PictureViewer:
        platform::StartDetached(PictureViewerPath(), {sel->hostPath});
        break;
    case ViewAction::BuiltInViewer:
        ViewInBuiltInViewer(sel->hostPath, sel->fullName);
        break;
    case ViewAction::GifWindow: {
        TGifForm form(m_window);
        bool loaded = false;
        {
            BusyGuard busy(m_state);
            loaded = form.Load(q(sel->hostPath));
        }
        if (!loaded) {
            m_prompter.warn("Error loading GIF file!     ");
            break;
        }
        form.setWindowTitle(q(sel->fullName));
        form.exec();
        break;
    }
    case ViewAction::AssociatedViewer:
        plainStart(AssociatedProgram(m_settings.AssociatedFileViewer), sel->hostPath,
                   std::string());
        break;
    }
}

void ViewController::editHostFile(const std::string& hostPath, const std::string&) {
    if (m_settings.UseDefaultFileEditor)
        m_plugins.CallEditFile(hostPath, m_window);
    else
        plainStart(AssociatedProgram(m_settings.AssociatedFileEditor), hostPath,
                   hostDirectoryOf(hostPath));
}

void ViewController::EditSingleFile() {
    const auto sel = selected();
    if (!sel)
        return;
    if (!m_watchDog.MayTouchFile(
            sel->fullName,
            "Changing this file could cause Windows to malfunction! Proceed anyway?"))
        return;
    logSingle(WDOperation::EditFile, sel->fullName);
    editHostFile(sel->hostPath, sel->fullName);
    if (m_settings.RefreshOnActivate && m_state.scope == 1)
        rereadSelectedDirectory();
}

void ViewController::miFileExecuteClick() {
    const auto sel = selected();
    if (!sel || !isFile(sel->hostPath))
        return;
    logSingle(WDOperation::ExecuteFile, sel->description + " (" + sel->fullName + ")");
    const std::string dir = hostDirectoryOf(sel->hostPath);
    // A program runs itself; any other file opens in the desktop's application.
    if (::access(sel->hostPath.c_str(), X_OK) == 0)
        platform::StartDetachedIn(sel->hostPath, {}, dir);
    else
        openWithDesktop(sel->hostPath, dir);
}

void ViewController::FileInfo() {
    const auto sel = selected();
    if (!sel)
        return;
    TFileClass* record = currentFile();
    FileInfoFacts facts;
    facts.fileName = std::string(record->FileName());
    facts.path = sel->fullName.substr(0, sel->fullName.rfind('\\') + 1);
    facts.hostPath = sel->hostPath;
    facts.type = ShowsRegisteredTypeName(facts.fileName)
                     ? platform::RegisteredTypeDescription(facts.fileName)
                     : sel->description;
    const QFileInfo info(q(sel->hostPath));
    facts.sizeText = FileSizeText(static_cast<uint64_t>(std::max<qint64>(0, info.size())));
    facts.dateText = DateText(record->LastWriteTime());
    facts.infoLines = PluginCalls::CallGetFileInfo(sel->hostPath);
    TFileInfoForm form(facts, m_window);
    form.exec();
}

void ViewController::FileProperties() {
    const auto sel = selected();
    if (!sel || !CheckCompatibility(1, m_settings, m_prompter))
        return;
    TFilePropertiesDialog dialog(q(sel->fullName), q(sel->hostPath), m_window);
    dialog.exec();
}

// --- archives, printing, icons -------------------------------------------------------------------

void ViewController::OpenZIPFile() {
    const auto sel = selected();
    if (!sel || !IsArchiveCandidate(sel->fullName))
        return;
    const auto result = m_plugins.CallOpenZip(sel->hostPath, m_window);
    if (result && !*result)
        m_prompter.warn("Could not open ZIP file!     ");
    // Extracting may have written into logged directories.
    rereadSelectedDirectory();
}

void ViewController::TestZIPFile() {
    const auto sel = selected();
    if (!sel || !IsArchiveCandidate(sel->fullName))
        return;
    const auto result = m_plugins.CallTestZIPArchive(sel->hostPath, m_window);
    if (result && !*result)
        m_prompter.warn("Error in ZIP file!     ");
}

void ViewController::MakeZIPFile() {
    const std::vector<TFileClass*> tagged =
        taggedFiles ? taggedFiles() : std::vector<TFileClass*>();
    if (tagged.empty()) {
        m_prompter.warn("There are no tagged files to operate with!     ");
        return;
    }
    std::vector<std::string> fullNames, hostNames;
    for (TFileClass* record : tagged) {
        fullNames.push_back(record->FullName());
        hostNames.push_back(m_cat.HostPath(record).value_or(std::string()));
    }
    const ZipPlan plan = PlanTaggedZip(fullNames, selectedDirectory());
    std::string base = m_drives.ToHostPath(plan.baseDirectory).value_or(std::string());
    const auto archive = m_drives.ToHostPath(plan.archivePath);
    if (base.empty() || !archive)
        return;
    if (base.back() != '/')
        base.push_back('/');
    // Each tagged file goes by its exact name, relative to the common
    // directory (the library runs there): never a mask, never split.
    std::vector<ZipListItem> relative;
    bool keep = false;
    for (const std::string& host : hostNames) {
        if (host.rfind(base, 0) != 0)
            continue;
        relative.push_back({host.substr(base.size()), false});
        keep = keep || relative.back().path.find('/') != std::string::npos;
    }
    {
        CurrentDirectoryGuard cwd(base);
        m_plugins.CallZIPFiles(false, keep, ZipFileList(relative), *archive, m_window);
    }
    const std::string archiveDir = plan.archivePath.substr(0, plan.archivePath.rfind('\\') + 1);
    if (TTreeNode* node = m_logger.FindNodeByPath(archiveDir); node && node->Logged())
        m_logger.RefreshDir(node);
    m_state.requestRefill();
}

void ViewController::pmiZIPdirectoryClick() {
    TTreeNode* node = m_cat.Tree().Selected();
    if (!node)
        return;
    const std::string dir = node->Path();
    const std::string hostDir = m_drives.ToHostPath(dir).value_or(std::string());
    if (hostDir.empty())
        return;
    bool hasSubdirectories = node->HasChildren();
    if (!node->Logged() || !hasSubdirectories) {
        const QDir d(q(hostDir));
        hasSubdirectories =
            !d.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty();
    }
    const bool recurse = hasSubdirectories && m_prompter.askYesNo("Recurse subdirectories?");
    const ZipPlan plan = PlanDirectoryZip(dir, fileSpec ? fileSpec() : std::string("*.*"), recurse);
    // The file specification is what the user typed: its words are masks.
    std::vector<ZipListItem> names;
    const std::string base = hostDir.back() == '/' ? hostDir : hostDir + "/";
    for (const std::string& name : plan.names)
        names.push_back({base + name.substr(dir.size()), true});
    const auto archive = m_drives.ToHostPath(plan.archivePath);
    if (!archive)
        return;
    {
        CurrentDirectoryGuard cwd(base);
        m_plugins.CallZIPFiles(plan.recurse, plan.keepSubdirectories, ZipFileList(names), *archive,
                               m_window);
    }
    if (TTreeNode* again = m_logger.FindNodeByPath(dir); again && again->Logged())
        m_logger.RefreshDir(again);
    m_state.requestRefill();
    PlayCompletionSound(m_settings);
}

void ViewController::miFilePrintClick() {
    const auto sel = selected();
    if (!sel)
        return;
    const auto result = m_plugins.CallPrintFile(sel->hostPath, m_window);
    if (!result)
        return;
    if (!*result)
        m_prompter.warn("Could not print file!     ");
    else
        logSingle(WDOperation::PrintFile, sel->fullName);
}

void ViewController::BrowseIcons() {
    const auto sel = selected();
    if (sel)
        m_plugins.CallViewIcons(sel->description, sel->hostPath, m_window);
}

// --- the command line -------------------------------------------------------------------------

void ViewController::CommandLine() {
    if (!pnCmdLine)
        return;
    pnCmdLine->show();
    hbCmdLine->setFocus();
}

void ViewController::PasteFileToCmdLine() {
    if (!hbCmdLine || !m_settings.ShowCmdLinePanel || !fileWindowHasFocus || !fileWindowHasFocus())
        return;
    const auto sel = selected();
    if (!sel)
        return;
    hbCmdLine->setEditText(hbCmdLine->currentText() + q(quotedForShell(sel->hostPath)));
}

void ViewController::executeCommandText(const std::string& text) {
    const std::string dir = selectedDirectoryHost();
    logSingle(WDOperation::ExecuteFile, text);
    // A text that names a directory (as the program shows paths, or as the
    // system does, also relative to the selected directory) opens it.
    std::string named = m_drives.ToHostPath(text).value_or(std::string());
    if (named.empty() && !text.empty())
        named = text[0] == '/' ? text : dir + "/" + text;
    if (!named.empty() && isDirectory(named))
        openWithDesktop(named, dir);
    else
        platform::StartDetachedIn("/bin/sh", {"-c", text}, dir);
}

void ViewController::sbExecuteCmdClick() {
    if (!hbCmdLine)
        return;
    const std::string text = hbCmdLine->currentText().trimmed().toStdString();
    if (text.empty()) {
        sbBrowseCmdClick();
        return;
    }
    hbCmdLine->Save();
    executeCommandText(text);
    if (closeInlinePanels)
        closeInlinePanels();
}

void ViewController::sbBrowseCmdClick() {
    if (!hbCmdLine)
        return;
    const QString chosen = QFileDialog::getOpenFileName(
        m_window, "Browse", hbCmdLine->currentText(),
        "Program files (*.EXE *.COM *.PIF *.LNK *.sh *.desktop);;All files (*)");
    if (!chosen.isEmpty())
        hbCmdLine->setEditText(q(quotedForShell(chosen.toStdString())).trimmed());
}

void ViewController::sbStartMenuHistoryClick() {
    if (!hbCmdLine)
        return;
    const std::vector<std::string> commands =
        ReadShellHistory(ShellHistoryPath(std::getenv("HISTFILE"), std::getenv("HOME")));
    hbCmdLine->clear();
    for (const std::string& command : commands)
        hbCmdLine->addItem(q(command));
    // Marked: when the list closes, the box's own history comes back with the
    // chosen command set as the text.
    hbCmdLine->Tag = 1;
    hbCmdLine->setFocus();
    hbCmdLine->showPopup();
}

// --- edit a named file ---------------------------------------------------------------------------

void ViewController::miDirEditFileClick() {
    if (!m_zen || !ts_FC_EditFile)
        return;
    m_zen->setVisible(true);
    m_zen->setCurrentWidget(ts_FC_EditFile);
    hbEditFile->setFocus();
    if (hbEditFile->lineEdit())
        hbEditFile->lineEdit()->selectAll();
}

void ViewController::btnEditOKClick() {
    if (!hbEditFile)
        return;
    const std::string name = hbEditFile->currentText().trimmed().toStdString();
    if (name.empty()) {
        PlayCompletionSound(m_settings);
        return;
    }
    std::string fullName = name;
    if (name.find('\\') == std::string::npos && name.find('/') == std::string::npos)
        fullName = selectedDirectory() + name;
    std::string host =
        name[0] == '/' ? name : m_drives.ToHostPath(fullName).value_or(std::string());
    if (host.empty())
        return;
    hbEditFile->Save();
    bool created = false;
    if (!isFile(host)) {
        if (!m_prompter.askYesNo("Create new file " + name + " ?"))
            return;
        const int fd = ::open(host.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0) {
            m_prompter.warn("Could not create " + name + "     ");
            return;
        }
        ::close(fd);
        created = true;
    }
    if (closeInlinePanels)
        closeInlinePanels();
    logSingle(WDOperation::EditFile, fullName);
    editHostFile(host, fullName);
    // A new file that is still empty is not kept.
    struct stat st {};
    if (created && ::stat(host.c_str(), &st) == 0 && st.st_size == 0)
        ::unlink(host.c_str());
    rereadSelectedDirectory();
    if (focusTree)
        focusTree();
}

// --- launchers
// ------------------------------------------------------------------------------------

void ViewController::DosPrompt() {
    const char* term = std::getenv("TERMINAL");
    const LaunchCommand terminal = TerminalCommand(term ? term : "");
    platform::StartDetachedIn(terminal.program, terminal.arguments, selectedDirectoryHost());
}

void ViewController::ExploreDir() {
    const std::string dir = selectedDirectoryHost();
    if (!dir.empty())
        openWithDesktop(dir, dir);
}

bool ViewController::startAndWait(const std::vector<std::string>& command) {
    if (command.empty() || !platform::ProgramExists(command.front()))
        return false;
    const std::vector<std::string> args(command.begin() + 1, command.end());
    return platform::RunAndWaitIn(command.front(), args, std::string()) >= 0;
}

void ViewController::runDiskTool(const std::vector<std::vector<std::string>>& commands,
                                 const char* failure) {
    const char* term = std::getenv("TERMINAL");
    const LaunchCommand terminal = TerminalCommand(term ? term : "");
    if (commands.empty() || !platform::ProgramExists(terminal.program)) {
        m_prompter.warn(failure);
        return;
    }
    // The window waits minimised until the tool's window closes.
    const Qt::WindowStates before = m_window->windowState();
    m_window->setWindowState(before | Qt::WindowMinimized);
    bool ok = true;
    for (const std::vector<std::string>& command : commands) {
        LaunchCommand tool{command.front(), {command.begin() + 1, command.end()}};
        if (!platform::ProgramExists(tool.program)) {
            ok = false;
            break;
        }
        const LaunchCommand wrapped = InTerminal(terminal, tool);
        std::vector<std::string> line{wrapped.program};
        line.insert(line.end(), wrapped.arguments.begin(), wrapped.arguments.end());
        ok = startAndWait(line) && ok;
    }
    m_window->setWindowState(before);
    if (!ok)
        m_prompter.warn(failure);
}

void ViewController::Run_DEFRAG() {
    const platform::DriveInfo* drive = m_drives.Find(m_state.currentDisk);
    std::vector<std::vector<std::string>> commands;
    if (drive) {
        const LaunchCommand c = DefragCommand(drive->fsType, drive->mountPoint);
        if (!c.empty()) {
            commands.push_back({c.program});
            commands.back().insert(commands.back().end(), c.arguments.begin(), c.arguments.end());
        }
    }
    runDiskTool(commands, "DEFRAG execution failed!     ");
}

void ViewController::pmiDefragAllDisksClick() {
    std::vector<std::vector<std::string>> commands;
    std::vector<std::string> seen;
    for (const platform::DriveInfo& drive : m_drives.Drives()) {
        if (drive.kind != platform::DriveKind::Fixed ||
            std::find(seen.begin(), seen.end(), drive.mountPoint) != seen.end())
            continue;
        const LaunchCommand c = DefragCommand(drive.fsType, drive.mountPoint);
        if (c.empty())
            continue;
        seen.push_back(drive.mountPoint);
        commands.push_back({c.program});
        commands.back().insert(commands.back().end(), c.arguments.begin(), c.arguments.end());
    }
    runDiskTool(commands, "DEFRAG execution failed!     ");
}

void ViewController::Run_SCANDISK() {
    const platform::DriveInfo* drive = m_drives.Find(m_state.currentDisk);
    std::vector<std::vector<std::string>> commands;
    if (drive) {
        const LaunchCommand c = CheckDiskCommand(drive->device);
        if (!c.empty()) {
            commands.push_back({c.program});
            commands.back().insert(commands.back().end(), c.arguments.begin(), c.arguments.end());
        }
    }
    runDiskTool(commands, "SCANDISK execution failed!     ");
}

void ViewController::miVolFormatDiskClick() {
    FormatDrive(m_state.currentDisk - 'A', false);
}

void ViewController::FormatDrive(int driveNumber, bool fromPopup) {
    if (fromPopup && !CheckCompatibility(1, m_settings, m_prompter))
        return;
    const platform::DriveInfo* drive = m_drives.Find(static_cast<char>('A' + driveNumber));
    if (!drive)
        return;
    // Formatting is left to the desktop's disk tool; we never format ourselves.
    if (!platform::ProgramExists("gnome-disks")) {
        m_prompter.inform("Formatting a disk needs the program gnome-disks (Debian package "
                          "gnome-disk-utility).     ");
        return;
    }
    std::vector<std::string> args;
    if (drive->device.rfind("/dev/", 0) == 0)
        args = {"--block-device", drive->device, "--format-device"};
    platform::StartDetached("gnome-disks", args);
}

void ViewController::miVolCopyDiskClick() {
    const platform::DriveInfo* drive = m_drives.Find(m_state.currentDisk);
    if (!platform::ProgramExists("gnome-disks")) {
        m_prompter.inform("Duplicating a disk needs the program gnome-disks (Debian package "
                          "gnome-disk-utility).     ");
        return;
    }
    std::vector<std::string> args;
    if (drive && drive->device.rfind("/dev/", 0) == 0)
        args = {"--block-device", drive->device};
    platform::StartDetached("gnome-disks", args);
}

} // namespace zentrix
