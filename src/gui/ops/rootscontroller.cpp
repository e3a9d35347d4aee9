#include "gui/ops/rootscontroller.h"

#include "gui/controls/a11y.h"
#include "gui/ops/tnetworkbrowseform.h"
#include "gui/ops/tnetworkdisconnectform.h"
#include "gui/ops/twaitform.h"

#include <QIcon>
#include <QToolButton>
#include <QWidget>

namespace zentrix {

RootsController::RootsController(Catalogue& catalogue, platform::DriveTable& drives,
                                 Settings& settings, DiskLogger& logger, Prompter& prompter,
                                 CatalogueUi& ui, TEnhIniFile& store, QObject* parent)
    : QObject(parent), m_model(std::make_unique<RootCommands>(catalogue, drives, settings, logger,
                                                              prompter, ui, store)) {
    setObjectName("RootsController");
    m_model->RestoreRoots();
    m_model->RestoreNetworkDisks();
    RootCommands* m = m_model.get();
    QWidget* window = qobject_cast<QWidget*>(parent);
    m->ChooseShare = [window] {
        return TNetworkBrowseForm::Execute(window);
    };
    m->ChooseMappedDisk = [window](const std::vector<std::pair<char, std::string>>& disks) {
        return TNetworkDisconnectForm::Execute(disks, window);
    };
    m->MountWait = new TWaitForm(window);
    m_commands = {
        {"MakeRoot",
         [m] {
             m->MakeRoot();
         }},
        {"RemoveRoot",
         [m] {
             m->RemoveRoot();
         }},
        {"sbConnectClick",
         [m] {
             m->sbConnectClick();
         }},
        {"sbDisconnectClick",
         [m] {
             m->sbDisconnectClick();
         }},
    };
}

RootsController::~RootsController() = default;

std::vector<QToolButton*> RootsController::makeButtons(QWidget* parent) {
    if (sbConnect)
        return {sbConnect, sbDisconnect};
    const auto make = [&](const char* name, const char* accessible, const char* hint,
                          const char* icon, const char* command) {
        auto* button = new QToolButton(parent);
        NameComponent(button, name, accessible);
        button->setIcon(QIcon::fromTheme(icon));
        button->setToolTip(hint);
        button->setStatusTip(hint);
        button->setAutoRaise(true);
        const Command run = m_commands.at(command);
        connect(button, &QToolButton::clicked, this, [run] { run(); });
        return button;
    };
    sbConnect = make("sbConnect", "Map a network disk", "Map a network disk ...", "network-server",
                     "sbConnectClick");
    sbDisconnect = make("sbDisconnect", "Unmap a network disk", "Unmap a network disk ...",
                        "network-offline", "sbDisconnectClick");
    return {sbConnect, sbDisconnect};
}

} // namespace zentrix
