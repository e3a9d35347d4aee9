#pragma once

#include <QObject>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

class QLabel;
class QPushButton;
class QStackedWidget;
class QToolButton;

namespace zentrix {

class AppState;
class Catalogue;
class DiskLogger;
class PluginCalls;
class Prompter;
class TFileClass;
class THistoryComboBox;
class TViewer;
class TWDList;
struct Settings;
enum class WDOperation : uint8_t;

namespace platform {
class DriveTable;
}

/// The commands that open, edit, run, print, pack and inspect files, the
/// command line panel, the inline "edit file" page and the launchers of the
/// disk tools. The main window creates it, hands it the file window's and
/// tree's state through the hooks below and registers its commands().
class ViewController : public QObject {
    Q_OBJECT
public:
    ViewController(Catalogue& catalogue, AppState& state, Settings& settings, Prompter& prompter,
                   PluginCalls& plugins, const platform::DriveTable& drives, DiskLogger& logger,
                   TWDList& watchDog, QWidget* window);
    ~ViewController() override;

    using Command = std::function<void()>;
    const std::map<std::string, Command>& commands() const { return m_commands; }

    /// Builds the command line panel inside `panel` (the main window's pnCmdLine).
    void InstallCommandLine(QWidget* panel);
    /// Adds the inline "edit file" page to the command strip.
    void InstallPages(QStackedWidget* zenPageControl, QWidget* titlePage);
    /// Shows or hides the command line panel after the settings changed.
    void ApplySettings();

    // --- hooks the main window installs ---------------------------------------------
    std::function<TFileClass*()> currentFile;
    std::function<std::vector<TFileClass*>()> taggedFiles;
    std::function<bool()> fileWindowHasFocus;
    std::function<std::string()> fileSpec;
    std::function<void()> focusTree;
    /// Closes every inline panel of the main window (the command strip's pages).
    std::function<void()> closeInlinePanels;

    TViewer* viewer = nullptr;
    QWidget* pnCmdLine = nullptr;
    THistoryComboBox* hbCmdLine = nullptr;
    QToolButton* sbExecuteCmd = nullptr;
    QToolButton* sbBrowseCmd = nullptr;
    QToolButton* sbStartMenuHistory = nullptr;
    QWidget* ts_FC_EditFile = nullptr;
    THistoryComboBox* hbEditFile = nullptr;
    QPushButton* btnEditOK = nullptr;
    QPushButton* btnEditCancel = nullptr;

    // --- commands -----------------------------------------------------------------------
    void ViewSingleFile();
    /// Shows a file in the built-in viewer (host path; `title` as the program
    /// names the file, the path when empty).
    void ViewInBuiltInViewer(const std::string& hostPath, const std::string& title = {});
    void EditSingleFile();
    void miFileExecuteClick();
    void FileInfo();
    void FileProperties();
    void OpenZIPFile();
    void TestZIPFile();
    void MakeZIPFile();
    void pmiZIPdirectoryClick();
    void miFilePrintClick();
    void BrowseIcons();
    void CommandLine();
    void PasteFileToCmdLine();
    void sbExecuteCmdClick();
    void sbBrowseCmdClick();
    void sbStartMenuHistoryClick();
    void miDirEditFileClick();
    void btnEditOKClick();
    void DosPrompt();
    void ExploreDir();
    void Run_DEFRAG();
    void pmiDefragAllDisksClick();
    void Run_SCANDISK();
    void miVolFormatDiskClick();
    /// The format command for a drive counted from 0 (the disk-format popup).
    void FormatDrive(int driveNumber, bool fromPopup);
    void miVolCopyDiskClick();

    /// The picture viewer program beside the executable.
    static std::string PictureViewerPath();

private:
    struct Selected {
        std::string fullName; // catalogue form
        std::string hostPath;
        std::string description;
    };
    std::optional<Selected> selected();
    std::string selectedDirectory() const;
    std::string selectedDirectoryHost() const;
    void logSingle(WDOperation op, const std::string& text);
    bool plainStart(const std::string& program, const std::string& argument,
                    const std::string& workingDirectory);
    void openWithDesktop(const std::string& hostPath, const std::string& workingDirectory);
    void editHostFile(const std::string& hostPath, const std::string& fullName);
    void rereadSelectedDirectory();
    bool startAndWait(const std::vector<std::string>& command);
    void runDiskTool(const std::vector<std::vector<std::string>>& commands, const char* failure);
    void hideCommandLineIfUnwanted();
    void executeCommandText(const std::string& text);
    bool eventFilter(QObject* watched, QEvent* event) override;
    void buildCommands();

    Catalogue& m_cat;
    AppState& m_state;
    Settings& m_settings;
    Prompter& m_prompter;
    PluginCalls& m_plugins;
    const platform::DriveTable& m_drives;
    DiskLogger& m_logger;
    TWDList& m_watchDog;
    QWidget* m_window;
    QStackedWidget* m_zen = nullptr;
    QWidget* m_titlePage = nullptr;
    std::map<std::string, Command> m_commands;
};

} // namespace zentrix
