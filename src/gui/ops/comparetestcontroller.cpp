#include "gui/ops/comparetestcontroller.h"

#include "catalogue/catalogue.h"
#include "core/appstate.h"
#include "core/prompter.h"
#include "gui/controls/thistorycombobox.h"
#include "gui/ops/tcompareform.h"
#include "ops/comparefilelist.h"
#include "ops/filetest.h"
#include "platform/drivetable.h"

#include <QFileDialog>
#include <QWidget>

namespace zentrix {

CompareTestController::CompareTestController(Catalogue& catalogue, AppState& state,
                                             const Settings& settings, FileWindow& fileWindow,
                                             Prompter& prompter, Progress& progress,
                                             QWidget* parent)
    : QObject(parent), m_cat(catalogue), m_state(state), m_prompter(prompter), m_owner(parent),
      m_compare(std::make_unique<CompareFileList>(catalogue, fileWindow)),
      m_test(
          std::make_unique<FileTest>(catalogue, state, settings, fileWindow, prompter, progress)) {
    setObjectName("CompareTestController");
    m_commands["miFileCompareClick"] = [this] {
        miFileCompareClick();
    };
    for (auto& [name, handler] : m_test->Commands())
        m_commands.emplace(name, std::move(handler));
}

CompareTestController::~CompareTestController() = default;

void CompareTestController::miFileCompareClick() {
    if (m_state.fileOperationRunning)
        return;
    std::string target;
    int relation = 0;
    {
        CompareFileList& compare = *m_compare;
        TCompareForm form(
            m_prompter,
            [&compare](const std::string& text) { return compare.TargetDirectory(text); }, m_owner);
        form.hbDir->setEditText(QString::fromStdString(m_compare->StartDirectory()));
        const platform::DriveTable& drives = m_cat.Drives();
        form.setFolderChooser([&form, &drives](const QString& current) {
            // The browser starts at the typed directory, on disk.
            QString start = current;
            std::string path = current.toStdString();
            if (!path.empty() && path.back() != '\\' && path.front() != '/')
                path.push_back('\\');
            if (const auto host = drives.ToHostPath(path))
                start = QString::fromStdString(*host);
            const QString chosen = QFileDialog::getExistingDirectory(
                &form, "Select directory", start, QFileDialog::ShowDirsOnly);
            if (chosen.isEmpty())
                return chosen;
            const auto catalogue = drives.ToCataloguePath(chosen.toStdString());
            return catalogue ? QString::fromStdString(*catalogue) : chosen;
        });
        form.showHelp = showHelp;
        if (onShown)
            onShown(form);
        if (form.exec() != QDialog::Accepted)
            return;
        target = form.targetDirectory();
        relation = form.relation();
    }
    // The dialog is gone before the records are touched.
    if (!m_compare->Compare(target, static_cast<CompareRelation>(relation < 0 ? 0 : relation)))
        m_prompter.error(CompareFileList::kInvalidDirectory);
}

} // namespace zentrix
