#include "gui/undo/undocontroller.h"

#include "catalogue/catalogue.h"
#include "catalogue/tree.h"
#include "catalogue/treenode.h"
#include "config/settings.h"
#include "core/prompter.h"
#include "gui/app/mainmenubar.h"
#include "gui/undo/thistoryform.h"
#include "gui/undo/ttrashform.h"
#include "platform/apppaths.h"
#include "platform/drivetable.h"
#include "undo/trashcan.h"
#include "undo/undocommands.h"
#include "undo/undojournal.h"

#include <QAction>
#include <QTimer>
#include <QWidget>

namespace zentrix {
namespace {

constexpr int kLongestCaption = 90;

/// A menu caption that shows `text` as it is: "&" doubled, control
/// characters as "?", a long middle left out.
QString captionText(const std::string& text) {
    QString s = QString::fromStdString(text);
    for (QChar& c : s)
        if (c.category() == QChar::Other_Control)
            c = QChar('?');
    if (s.size() > kLongestCaption)
        s = s.left(kLongestCaption / 2 - 2) + " ... " + s.right(kLongestCaption / 2 - 3);
    return s.replace('&', "&&");
}

} // namespace

UndoController::UndoController(const Parts& parts, QWidget* window)
    : QObject(window), m_parts(parts), m_window(window),
      m_journal(std::make_unique<UndoJournal>(platform::AppPaths::ProgramDir() + "UNDO.JOURNAL",
                                              parts.settings.UndoEntries)),
      m_commands(std::make_unique<UndoCommands>(*m_journal, parts.catalogue, parts.state,
                                                parts.logger, parts.watchDog, parts.prompter,
                                                parts.progress, parts.ui)),
      m_trash(std::make_unique<TrashCan>(parts.prompter)) {
    setObjectName("UndoController");
    m_journal->onChanged = [this] {
        updateCaptions();
    };
    m_journal->onProblem = [this](const std::string& text) {
        if (onProblem)
            onProblem(text);
    };
    m_trash->display = [this](const std::string& path) {
        return shown(path);
    };
    const std::string message = m_journal->Load();
    if (!message.empty()) {
        // Said once the window is up, not in the middle of building it.
        QTimer::singleShot(0, this, [this, message] { m_parts.prompter.warn(message); });
    }
    for (auto& [name, handler] : m_commands->Commands())
        m_commandMap.emplace(name, std::move(handler));
    m_commandMap.emplace("OperationHistory", [this] { OperationHistory(); });
    m_commandMap.emplace("TrashWindow", [this] { TrashWindow(); });
}

UndoController::~UndoController() {
    // The windows use the models: they go first.
    delete m_history.data();
    delete m_trashForm.data();
}

THistoryForm* UndoController::historyForm() const {
    return m_history.data();
}

TTrashForm* UndoController::trashForm() const {
    return m_trashForm.data();
}

std::string UndoController::shown(const std::string& hostPath) const {
    return m_parts.catalogue.Drives().ToCataloguePath(hostPath, false).value_or(hostPath);
}

void UndoController::attachMenus(MainMenuBar& menus) {
    m_menus = &menus;
    updateCaptions();
}

void UndoController::applySettings(const Settings& settings) {
    m_journal->SetLimit(settings.UndoEntries);
    updateCaptions();
}

void UndoController::updateCaptions() {
    if (m_history)
        m_history->Refresh();
    if (!m_menus)
        return;
    const std::string caption = m_commands->UndoCaption();
    // "Und&o" keeps its key letter; what follows is shown as it is.
    const QString text = "Und&o" + captionText(caption.substr(4));
    for (QAction* action : m_menus->actionsOf("Undo"))
        action->setText(text);
}

void UndoController::OperationHistory() {
    if (!m_history) {
        m_history = new THistoryForm(*m_journal, *m_commands, m_window);
        m_history->setAttribute(Qt::WA_DeleteOnClose);
        m_history->showHelp = [this] {
            if (showTopic)
                showTopic("undo.html#history");
        };
    } else {
        m_history->Refresh();
    }
    m_history->show();
    m_history->raise();
    m_history->activateWindow();
}

void UndoController::rereadTrash() {
    // The trash of every logged drive's file system, and the home trash.
    std::vector<std::string> roots;
    const TTree& tree = m_parts.catalogue.Tree();
    for (int i = 0; i < tree.TopCount(); ++i)
        if (const auto host = m_parts.catalogue.HostPath(tree.Top(i)))
            roots.push_back(*host);
    m_trash->Read(roots);
}

void UndoController::TrashWindow() {
    rereadTrash();
    if (!m_trashForm) {
        m_trashForm = new TTrashForm(*m_trash, m_window);
        m_trashForm->setAttribute(Qt::WA_DeleteOnClose);
        m_trashForm->display = [this](const std::string& path) {
            return shown(path);
        };
        m_trashForm->reread = [this] {
            rereadTrash();
        };
        m_trashForm->restored = [this](const std::vector<std::string>& dirs) {
            m_commands->Reread(dirs);
        };
        m_trashForm->showHelp = [this] {
            if (showTopic)
                showTopic("undo.html#trash");
        };
    }
    m_trashForm->Fill();
    m_trashForm->show();
    m_trashForm->raise();
    m_trashForm->activateWindow();
}

} // namespace zentrix
