#pragma once

// How the main window takes this controller in (TMainForm):
//
//   m_undo = new UndoController({m_cat, m_state, m_settings, *m_logger, *m_watchDog,
//                                *m_prompter, *MainStatusBar, *this}, this);
//   // the commands that record what they do get &m_undo->journal();
//   // in buildCommands(): m_undo->commands() registered; then attachMenus(*m_menus)

#include <QObject>
#include <QPointer>

#include <functional>
#include <map>
#include <memory>
#include <string>

class QWidget;

namespace zentrix {

class AppState;
class Catalogue;
class CatalogueUi;
class DiskLogger;
class MainMenuBar;
class Progress;
class Prompter;
class THistoryForm;
class TTrashForm;
class TWDList;
class TrashCan;
class UndoCommands;
class UndoJournal;
struct Settings;

/// The undo journal of the program and its commands: "Undo" (whose menu items
/// say what it would undo), "Operation history ..." and "Trash ...". Owns the
/// journal (in the program's data directory, read at once; a damaged one is
/// set aside with a message once the window is up), the undo rules and the
/// trash model; the two windows are its window's children.
class UndoController : public QObject {
    Q_OBJECT
public:
    using Command = std::function<void()>;
    struct Parts {
        Catalogue& catalogue;
        AppState& state;
        const Settings& settings;
        DiskLogger& logger;
        TWDList& watchDog;
        Prompter& prompter;
        Progress& progress;
        CatalogueUi& ui;
    };

    UndoController(const Parts& parts, QWidget* window);
    ~UndoController() override;

    UndoJournal& journal() { return *m_journal; }
    UndoCommands& model() { return *m_commands; }
    TrashCan& trash() { return *m_trash; }
    const std::map<std::string, Command>& commands() const { return m_commandMap; }

    /// The Undo items of the menus say what Undo would undo, from now on.
    void attachMenus(MainMenuBar& menus);
    /// The journal's limit from the settings.
    void applySettings(const Settings& settings);

    /// "Operation history ...": the window, shown (made on first use).
    void OperationHistory();
    /// "Trash ...": the window, its list read afresh.
    void TrashWindow();
    THistoryForm* historyForm() const;
    TTrashForm* trashForm() const;

    /// Opens a help topic ("undo.html#history").
    std::function<void(const QString&)> showTopic;
    /// The journal could not be written (for the status line).
    std::function<void(const std::string&)> onProblem;

private:
    void updateCaptions();
    std::string shown(const std::string& hostPath) const;
    void rereadTrash();

    Parts m_parts;
    QWidget* m_window;
    std::unique_ptr<UndoJournal> m_journal;
    std::unique_ptr<UndoCommands> m_commands;
    std::unique_ptr<TrashCan> m_trash;
    std::map<std::string, Command> m_commandMap;
    MainMenuBar* m_menus = nullptr;
    QPointer<THistoryForm> m_history;
    QPointer<TTrashForm> m_trashForm;
};

} // namespace zentrix
