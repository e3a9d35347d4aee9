#include "gui/tagging/tagwizardcontroller.h"

#include "catalogue/catalogue.h"
#include "core/plugincalls.h"
#include "filewindow/tagwizardrun.h"
#include "gui/tagging/ttagwizardform.h"
#include "platform/drivetable.h"

#include <QFileDialog>
#include <QWidget>

namespace zentrix {

TagWizardController::TagWizardController(const TagWizardParts& parts, QWidget* parent)
    : QObject(parent), m_parts(parts), m_owner(parent) {
    m_commands["miDirTagWizardClick"] = [this] {
        miDirTagWizardClick();
    };
}

void TagWizardController::miDirTagWizardClick() {
    std::vector<std::string> criteria;
    {
        TTagWizardForm form(m_parts.store, m_parts.prompter, m_owner);
        const platform::DriveTable& drives = m_parts.catalogue.Drives();
        form.setPathForms([&drives](const std::string& p) { return drives.ToHostPath(p); },
                          [&drives](const std::string& p) { return drives.ToCataloguePath(p); });
        form.setDrives(drives);
        form.setFolderChooser([&form](const QString& start) {
            return QFileDialog::getExistingDirectory(&form, "Select directory", start,
                                                     QFileDialog::ShowDirsOnly);
        });
        Catalogue& cat = m_parts.catalogue;
        PluginCalls& plugins = m_parts.plugins;
        form.setExtendedSpec([&cat, &plugins, &form](const std::string& current) {
            return plugins.CallExtendedFileSpec(cat.UserFileTypes, current, &form);
        });
        form.showHelp = showHelp;
        if (onShown)
            onShown(form);
        if (form.exec() != QDialog::Accepted)
            return;
        criteria = form.criteria();
    }
    // The window is gone before the passes start: nothing of it is held while
    // the catalogue changes.
    TagWizardRun run(m_parts.catalogue, m_parts.state, m_parts.logger, m_parts.fileWindow,
                     m_parts.ui, m_parts.progress);
    run.Apply(criteria);
}

} // namespace zentrix
