#pragma once

// How the main window takes this controller in (TMainForm), before the
// start-up drives are logged:
//
//   m_roots = new RootsController(m_cat, m_drives, m_settings, *m_logger, *m_prompter,
//                                 *this, *m_store, this);
//   m_roots->model().LoggedDiskCount = [this] { return m_tabs->Count(); };
//   // in buildLayout(), on the drive and tool strip:
//   for (QToolButton* button : m_roots->makeButtons(pnDrivesTools))
//       tools->addWidget(button);
//   // in buildCommands():
//   for (const auto& [name, handler] : m_roots->commands())
//       m_commands[name] = handler;

#include "ops/rootcommands.h"

#include <QObject>

class QToolButton;
class QWidget;

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace zentrix {

/// The commands of virtual roots and network disks (Make Root, Remove Root,
/// Map and Unmap a network disk). Owns the RootCommands rules; their questions
/// and input boxes go through the main window's Prompter; the share to map
/// and the disk to unmap are chosen in dialogs of their own. Makes the
/// virtual roots and network disks kept in the settings again when it is
/// made.
class RootsController : public QObject {
    Q_OBJECT
public:
    using Command = std::function<void()>;

    RootsController(Catalogue& catalogue, platform::DriveTable& drives, Settings& settings,
                    DiskLogger& logger, Prompter& prompter, CatalogueUi& ui, TEnhIniFile& store,
                    QObject* parent);
    ~RootsController() override;

    RootCommands& model() { return *m_model; }
    const std::map<std::string, Command>& commands() const { return m_commands; }

    /// Makes the buttons sbConnect and sbDisconnect on `parent` (the main
    /// window's button strip), once; they run the map and unmap commands.
    std::vector<QToolButton*> makeButtons(QWidget* parent);

    QToolButton* sbConnect = nullptr;
    QToolButton* sbDisconnect = nullptr;

private:
    std::unique_ptr<RootCommands> m_model;
    std::map<std::string, Command> m_commands;
};

} // namespace zentrix
