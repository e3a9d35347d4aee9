#pragma once

// How the main window takes this controller in (TMainForm::wireMenus, once the
// menus exist):
//
//   m_toolsCtl = new ToolsController(*m_menus, *m_store, m_settings, *m_prompter, this);
//   ... hooks (toolContext, fileWindowReady, openOptions, showHelp) ...
//   m_toolsCtl->Start();
//   for (const auto& [name, handler] : m_toolsCtl->commands()) ...register...
//
// and hands it the SettingsTarget and OptionsHost calls about command buttons,
// tool hints and menu shortcuts.

#include "config/commandbuttons.h"
#include "config/usertools.h"
#include "gui/config/toolsconfig.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <map>
#include <string>
#include <vector>

class QAction;
class QMainWindow;
class QToolBar;

namespace zentrix {

class Catalogue;
class FileWindow;
class MainMenuBar;
class Prompter;
struct Settings;
class TEnhIniFile;

/// The user tools (Tools menu and tools bar), the two command button bars and the
/// menu shortcuts of the main window: loaded at start, rebuilt after the options
/// dialog's OK, saved and reloaded as the dialog asks. Owns the tool list and the
/// two command lists; the menus belong to MainMenuBar.
class ToolsController : public QObject {
    Q_OBJECT
public:
    using Command = std::function<void()>;

    ToolsController(MainMenuBar& menus, TEnhIniFile& store, Settings& settings, Prompter& prompter,
                    QMainWindow* window);
    ~ToolsController() override;

    /// Start-up: the tools, the stored shortcuts ("Shortcuts have changed.
    /// Defaults will be used." when they cannot be read), the command buttons, the
    /// Tools menu and the three bars.
    void Start();

    ToolsConfig& config() { return m_config; }
    const TToolList& tools() const { return m_tools; }
    const std::vector<PermanentTool>& permanentTools() const { return m_permanent; }
    TCommandList& dirButtons() { return m_dirButtons; }
    TCommandList& fileButtons() { return m_fileButtons; }

    // --- the settings' side --------------------------------------------------------------
    void LoadCommandButtons();
    void SaveCommandButtons();
    void SaveMenuShortcuts();
    /// The stored shortcuts again (the options dialog's Cancel).
    void ReloadMenuShortcuts();
    void ShowButtonBars(bool dirButtons, bool fileButtons);
    void ShowToolHints(bool on);
    /// After the options dialog's OK: the tools from the store, the Tools menu
    /// and the bars rebuilt.
    void Rebuild();

    // --- running -----------------------------------------------------------------------------
    /// Starts a user tool in its program's directory with its parameters'
    /// placeholders filled; a tool whose program or directory is gone does not
    /// start, silently. False when it did not start.
    bool RunTool(int index);
    bool RunPermanentTool(int index);

    /// miToolsOptions2Click, miDirToolBarOptionsClick and miFileToolbarOptionsClick
    /// (the bars' "&What is this?" items belong to the help).
    const std::map<std::string, Command>& commands() const { return m_commands; }

    // --- hooks the main window installs ------------------------------------------------------
    /// The placeholders' files come from the file window (its current entry and
    /// its tagged entries) and the directory selected in the tree; a file button
    /// moves the focus to the file window first.
    void attachFileWindow(Catalogue& catalogue, FileWindow& fileWindow,
                          std::function<bool()> fileWindowHasFocus,
                          std::function<void()> focusFileWindow);
    /// What the placeholders stand for at this moment.
    std::function<ToolContext()> toolContext;
    /// Before a file button's command: the focus goes to the file window; false
    /// (after a beep) when the window is empty.
    std::function<bool()> fileWindowReady;
    /// Opens the options dialog on a page (TOptionsForm::Page).
    std::function<void(int page)> openOptions;
    std::function<void(int topic, bool popup)> showHelp;
    /// Finds a program by name (the permanent tools).
    std::function<std::string(const std::string&)> findProgram;

    QToolBar* sbarTools = nullptr;
    QToolBar* sbarDirButtons = nullptr;
    QToolBar* sbarFileButtons = nullptr;

signals:
    /// The status line's hint for a tool's menu item.
    void hintChanged(const QString& hint);

private:
    void applyShortcuts();
    void buildToolsMenu();
    void buildToolsBar();
    void buildButtonBars();
    void buildBar(QToolBar* bar, const TCommandList& list, bool file);
    void runButton(const std::string& command, bool file);
    void popupAt(const char* menu, QToolBar* bar, const QPoint& pos);
    QIcon toolIcon(const TToolClass& tool) const;

    MainMenuBar& m_menus;
    TEnhIniFile& m_store;
    Settings& m_settings;
    Prompter& m_prompter;
    QMainWindow* m_window;
    ToolsConfig m_config;
    TToolList m_tools;
    std::vector<PermanentTool> m_permanent;
    TCommandList m_dirButtons;
    TCommandList m_fileButtons;
    std::vector<QPointer<QAction>> m_toolsMenuActions;
    std::map<std::string, Command> m_commands;
    bool m_showHints = true;
};

} // namespace zentrix
