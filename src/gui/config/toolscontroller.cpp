#include "gui/config/toolscontroller.h"

#include "catalogue/catalogue.h"
#include "config/menushortcuts.h"
#include "config/settings.h"
#include "config/tenhinifile.h"
#include "core/prompter.h"
#include "filewindow/filewindow.h"
#include "gui/app/mainmenubar.h"
#include "gui/config/commandimages.h"
#include "gui/config/toptionsform.h"
#include "platform/fileprobe.h"
#include "platform/process.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFile>
#include <QFileDialog>
#include <QMainWindow>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

namespace zentrix {
namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

// A caption shows "&" only doubled.
QString menuText(const std::string& text) {
    return q(text).replace('&', "&&");
}

QToolBar* makeBar(QMainWindow* window, const char* name, const QString& title) {
    auto* bar = new QToolBar(title, window);
    bar->setObjectName(name);
    bar->setAccessibleName(title);
    bar->setIconSize(QSize(16, 16));
    bar->setMovable(false);
    bar->setContextMenuPolicy(Qt::CustomContextMenu);
    window->addToolBar(Qt::TopToolBarArea, bar);
    return bar;
}

} // namespace

ToolsController::ToolsController(MainMenuBar& menus, TEnhIniFile& store, Settings& settings,
                                 Prompter& prompter, QMainWindow* window)
    : QObject(window), m_menus(menus), m_store(store), m_settings(settings), m_prompter(prompter),
      m_window(window) {
    findProgram = [](const std::string& name) {
        return platform::FindProgram(name);
    };
    m_config.table = &m_menus.table();
    m_config.prompter = &m_prompter;
    m_config.dirButtons = &m_dirButtons;
    m_config.fileButtons = &m_fileButtons;
    m_config.commandImage = [](const MenuItem& item) {
        return CommandImages::Image(item);
    };
    m_config.buttonImage = [](const MenuItem& item) {
        return CommandImages::ButtonImage(item);
    };
    m_config.toolIcon = [this](const TToolClass& tool) {
        return toolIcon(tool);
    };
    m_config.shortcutsChanged = [this] {
        applyShortcuts();
    };
    m_config.chooseFile = [this](const QString& caption, const QString& filter,
                                 const QString& start, bool save) {
        QWidget* parent = QApplication::activeModalWidget();
        if (!parent)
            parent = m_window;
        return save ? QFileDialog::getSaveFileName(parent, caption, start, filter)
                    : QFileDialog::getOpenFileName(parent, caption, start, filter);
    };

    sbarTools = makeBar(window, "sbarTools", "Tools");
    sbarDirButtons = makeBar(window, "sbarDirButtons", "Directory commands");
    sbarFileButtons = makeBar(window, "sbarFileButtons", "File commands");
    sbarDirButtons->hide();
    sbarFileButtons->hide();
    connect(sbarTools, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { popupAt("ToolsPopup", sbarTools, pos); });
    connect(sbarDirButtons, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { popupAt("pmDirToolbar", sbarDirButtons, pos); });
    connect(sbarFileButtons, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { popupAt("pmFileToolbar", sbarFileButtons, pos); });

    auto options = [this](TOptionsForm::Page page) {
        return [this, page] {
            if (openOptions)
                openOptions(static_cast<int>(page));
        };
    };
    m_commands = {
        {"miToolsOptions2Click", options(TOptionsForm::Page::Tools)},
        {"miDirToolBarOptionsClick", options(TOptionsForm::Page::DirButtons)},
        {"miFileToolbarOptionsClick", options(TOptionsForm::Page::FileButtons)},
    };
}

ToolsController::~ToolsController() = default;

void ToolsController::attachFileWindow(Catalogue& cat, FileWindow& fw,
                                       std::function<bool()> fileWindowHasFocus,
                                       std::function<void()> focusFileWindow) {
    toolContext = [&cat, &fw] {
        ToolContext context;
        if (TFileClass* record = fw.Record(fw.Current())) {
            context.file = cat.HostPath(record).value_or(std::string());
            context.name = std::string(record->FileName());
        }
        if (TTreeNode* node = cat.Tree().Selected())
            context.directory = cat.HostPath(node).value_or(std::string());
        for (const TFileClass* record : fw.Records())
            if (record->Tagged())
                if (auto host = cat.HostPath(record))
                    context.tagged.push_back(std::move(*host));
        return context;
    };
    fileWindowReady = [this, &fw, hasFocus = std::move(fileWindowHasFocus),
                       focus = std::move(focusFileWindow)] {
        if (hasFocus && hasFocus())
            return true;
        if (fw.Count() == 0) {
            m_prompter.beep();
            return false;
        }
        if (focus)
            focus();
        return true;
    };
}

void ToolsController::Start() {
    m_tools.Load(m_store, m_config.probe);
    if (MenuShortcuts::Load(m_store, m_menus.table()) == MenuShortcuts::LoadResult::Unreadable)
        m_prompter.warn(MenuShortcuts::kChangedMessage);
    // The command images stand beside the menu items that have one.
    for (const MenuItem* e : m_menus.table().entries())
        if (QAction* a = m_menus.action(q(e->name)); a && !e->hasItems())
            a->setIcon(CommandImages::Image(*e));
    applyShortcuts();
    LoadCommandButtons();
    m_permanent = PermanentTools(findProgram);
    buildToolsMenu();
    buildToolsBar();
}

void ToolsController::applyShortcuts() {
    m_menus.applyShortcuts();
    // The buttons' hints name the shortcuts.
    buildButtonBars();
}

// --- the settings' side --------------------------------------------------------------------

void ToolsController::LoadCommandButtons() {
    CommandButtons::Load(m_store, m_menus.table(), m_dirButtons, m_fileButtons);
    buildButtonBars();
}

void ToolsController::SaveCommandButtons() {
    CommandButtons::Save(m_store, m_dirButtons, m_fileButtons);
}

void ToolsController::SaveMenuShortcuts() {
    MenuShortcuts::Save(m_store, m_menus.table());
}

void ToolsController::ReloadMenuShortcuts() {
    if (MenuShortcuts::Load(m_store, m_menus.table()) == MenuShortcuts::LoadResult::Unreadable)
        m_prompter.warn(MenuShortcuts::kChangedMessage);
    applyShortcuts();
}

void ToolsController::ShowButtonBars(bool dirButtons, bool fileButtons) {
    sbarDirButtons->setVisible(dirButtons);
    sbarFileButtons->setVisible(fileButtons);
}

void ToolsController::ShowToolHints(bool on) {
    m_showHints = on;
    const QList<QAction*> actions = sbarTools->actions();
    for (int i = 0; i < actions.size() && i < static_cast<int>(m_tools.Items.size()); ++i)
        actions[i]->setToolTip(on ? menuText(m_tools.Items[static_cast<size_t>(i)].ToolHint)
                                  : QString());
}

void ToolsController::Rebuild() {
    m_tools.Load(m_store, m_config.probe);
    buildToolsMenu();
    buildToolsBar();
    buildButtonBars();
    ShowToolHints(m_settings.ShowToolTips);
}

// --- the Tools menu and the bars ----------------------------------------------------------

QIcon ToolsController::toolIcon(const TToolClass& tool) const {
    const ToolCommand cmd = SplitToolCommand(tool.ToolCmdLine, m_config.probe);
    return CommandImages::ToolIcon(tool, platform::FindProgram(cmd.program));
}

void ToolsController::buildToolsMenu() {
    QMenu* menu = m_menus.menu("miTools");
    if (!menu)
        return;
    // The menu's own items stay; what was added after them is built afresh.
    for (const auto& action : m_toolsMenuActions)
        delete action.data();
    m_toolsMenuActions.clear();
    auto add = [this, menu](QAction* a) {
        menu->addAction(a);
        m_toolsMenuActions.emplace_back(a);
    };
    auto* separator = new QAction(menu);
    separator->setSeparator(true);
    add(separator);
    for (size_t i = 0; i < m_permanent.size(); ++i) {
        const PermanentTool& tool = m_permanent[i];
        auto* a = new QAction(menuText(tool.name), menu);
        a->setObjectName(QString("miPermanentTool%1").arg(i));
        a->setStatusTip(q(tool.path));
        a->setIcon(QIcon::fromTheme(q(tool.name)));
        connect(a, &QAction::triggered, this, [this, i] { RunPermanentTool(static_cast<int>(i)); });
        connect(a, &QAction::hovered, this, [this, a] { emit hintChanged(a->statusTip()); });
        add(a);
    }
    if (!m_tools.Items.empty()) {
        auto* second = new QAction(menu);
        second->setSeparator(true);
        add(second);
    }
    for (size_t i = 0; i < m_tools.Items.size(); ++i) {
        const TToolClass& tool = m_tools.Items[i];
        auto* a = new QAction(toolIcon(tool), menuText(tool.ToolHint), menu);
        a->setObjectName(QString("miUserTool%1").arg(i));
        a->setStatusTip(q(tool.ToolCmdLine));
        connect(a, &QAction::triggered, this, [this, i] { RunTool(static_cast<int>(i)); });
        connect(a, &QAction::hovered, this, [this, a] { emit hintChanged(a->statusTip()); });
        add(a);
    }
}

void ToolsController::buildToolsBar() {
    sbarTools->clear();
    for (size_t i = 0; i < m_tools.Items.size(); ++i) {
        const TToolClass& tool = m_tools.Items[i];
        QAction* a = sbarTools->addAction(toolIcon(tool), menuText(tool.ToolHint));
        a->setObjectName(QString("sbUserTool%1").arg(i));
        a->setToolTip(m_showHints ? menuText(tool.ToolHint) : QString());
        connect(a, &QAction::triggered, this, [this, i] { RunTool(static_cast<int>(i)); });
    }
    sbarTools->setVisible(!m_tools.Items.empty());
}

void ToolsController::buildButtonBars() {
    buildBar(sbarDirButtons, m_dirButtons, false);
    buildBar(sbarFileButtons, m_fileButtons, true);
}

void ToolsController::buildBar(QToolBar* bar, const TCommandList& list, bool file) {
    bar->clear();
    const auto entries = m_menus.table().entries();
    int tag = 0;
    for (int command : list.Commands()) {
        if (command < 0 || command >= static_cast<int>(entries.size()))
            continue;
        const MenuItem& item = *entries[static_cast<size_t>(command)];
        ++tag;
        QAction* a =
            bar->addAction(CommandImages::ButtonImage(item), q(PlainCaption(item.caption)));
        // Directory buttons are tagged 1, 2, 3 ..., file buttons -1, -2, -3 ...
        a->setData(file ? -tag : tag);
        a->setObjectName(QString("%1%2").arg(file ? "sbFileButton" : "sbDirButton").arg(tag));
        a->setToolTip(m_menus.commandButtonHint(q(item.name)));
        a->setEnabled(m_menus.hasCommand(item.command));
        connect(a, &QAction::triggered, this,
                [this, command = item.command, file] { runButton(command, file); });
    }
}

void ToolsController::runButton(const std::string& command, bool file) {
    if (file && fileWindowReady && !fileWindowReady())
        return;
    m_menus.runCommand(command);
}

void ToolsController::popupAt(const char* menu, QToolBar* bar, const QPoint& pos) {
    if (QMenu* popup = m_menus.menu(menu))
        popup->exec(bar->mapToGlobal(pos));
}

// --- running -------------------------------------------------------------------------------

bool ToolsController::RunTool(int index) {
    if (index < 0 || index >= static_cast<int>(m_tools.Items.size()))
        return false;
    const TToolClass& tool = m_tools.Items[static_cast<size_t>(index)];
    const ToolCommand cmd = SplitToolCommand(tool.ToolCmdLine, m_config.probe);
    const std::string program = platform::FindProgram(cmd.program);
    const std::string directory = ToolWorkingDirectory(program);
    if (program.empty() || directory.empty() || !platform::IsDirectory(directory))
        return false;
    const ToolContext context = toolContext ? toolContext() : ToolContext{};
    // An argument vector, never a shell: whatever a file name holds stays one
    // argument of the program.
    return platform::StartDetachedIn(program, ToolArguments(cmd.parameters, context), directory);
}

bool ToolsController::RunPermanentTool(int index) {
    if (index < 0 || index >= static_cast<int>(m_permanent.size()))
        return false;
    return platform::StartDetached(m_permanent[static_cast<size_t>(index)].name, {});
}

} // namespace zentrix
