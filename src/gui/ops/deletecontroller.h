#pragma once

// How the main window takes this controller in (TMainForm):
//
//   m_delete = new DeleteController(m_cat, m_state, m_settings, m_fileWindow->model(),
//                                   *m_logger, *m_prompter, *MainStatusBar, *m_watchDog,
//                                   *this, this);
//   // in buildCommands():
//   for (const auto& [name, handler] : m_delete->commands())
//       m_commands[name] = handler;

#include "ops/filedeletion.h"

#include <QObject>

#include <functional>
#include <map>
#include <memory>
#include <string>

namespace zentrix {

class AppState;
class Catalogue;
class CatalogueUi;
class DiskLogger;
class FileWindow;
class Progress;
class Prompter;
class TWDList;
struct Settings;

/// The delete commands of the file window (D, the Delete key, Ctrl+D). Owns
/// the FileDeletion rules; their questions go through the main window's
/// Prompter and their "STOP" through its status bar.
class DeleteController : public QObject {
    Q_OBJECT
public:
    using Command = std::function<void()>;

    DeleteController(Catalogue& catalogue, AppState& state, const Settings& settings,
                     FileWindow& fileWindow, DiskLogger& logger, Prompter& prompter,
                     Progress& progress, TWDList& watchDog, CatalogueUi& ui, QObject* parent);
    ~DeleteController() override;

    FileDeletion& model() { return *m_model; }
    const std::map<std::string, Command>& commands() const { return m_commands; }

private:
    std::unique_ptr<FileDeletion> m_model;
    std::map<std::string, Command> m_commands;
};

} // namespace zentrix
