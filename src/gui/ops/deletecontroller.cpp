#include "gui/ops/deletecontroller.h"

namespace zentrix {

DeleteController::DeleteController(Catalogue& catalogue, AppState& state, const Settings& settings,
                                   FileWindow& fileWindow, DiskLogger& logger, Prompter& prompter,
                                   Progress& progress, TWDList& watchDog, CatalogueUi& ui,
                                   QObject* parent)
    : QObject(parent),
      m_model(std::make_unique<FileDeletion>(catalogue, state, settings, fileWindow, logger,
                                             prompter, progress, watchDog, ui)) {
    setObjectName("DeleteController");
    for (auto& [name, handler] : m_model->Commands())
        m_commands.emplace(name, std::move(handler));
}

DeleteController::~DeleteController() = default;

} // namespace zentrix
