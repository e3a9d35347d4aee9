#include "gui/ops/rootscontroller.h"

namespace zentrix {

RootsController::RootsController(Catalogue& catalogue, platform::DriveTable& drives,
                                 Settings& settings, DiskLogger& logger, Prompter& prompter,
                                 CatalogueUi& ui, TEnhIniFile& store, QObject* parent)
    : QObject(parent), m_model(std::make_unique<RootCommands>(catalogue, drives, settings, logger,
                                                              prompter, ui, store)) {
    setObjectName("RootsController");
    m_model->RestoreRoots();
    RootCommands* m = m_model.get();
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

} // namespace zentrix
