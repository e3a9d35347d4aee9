#pragma once

#include "filewindow/tagcriterion.h"
#include "filewindow/tagwizard.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QToolButton;
class QWidget;

namespace zentrix {

namespace platform {
class DriveTable;
}
class Prompter;
class TEnhHeaderControl;
class TEnhIniFile;
class THistoryComboBox;

/// The tag wizard: criteria on the page "&Settings", templates on the page
/// "&Templates", and "&Run", which closes it with OK. What the pages do is
/// TagWizard's; the window shows it. Created for each use.
class TTagWizardForm : public QDialog {
    Q_OBJECT
public:
    /// Chooses a folder (start directory in host form in, chosen one out, empty
    /// when cancelled), and runs the extended file specification (none when
    /// cancelled or missing). Either may be empty: the button does nothing.
    using FolderChooser = std::function<QString(const QString& start)>;
    using ExtendedSpec = std::function<std::optional<std::string>(const std::string& current)>;
    /// Catalogue and host forms of a directory.
    using ToHost = std::function<std::optional<std::string>(const std::string& cataloguePath)>;
    using ToCatalogue = std::function<std::optional<std::string>(const std::string& hostPath)>;

    TTagWizardForm(TEnhIniFile& store, Prompter& prompter, QWidget* parent = nullptr);
    ~TTagWizardForm() override;

    void setFolderChooser(FolderChooser chooser) { m_chooseFolder = std::move(chooser); }
    void setExtendedSpec(ExtendedSpec spec) { m_extendedSpec = std::move(spec); }
    void setPathForms(ToHost toHost, ToCatalogue toCatalogue);
    /// The drives through which a typed host directory becomes a catalogue path.
    void setDrives(const platform::DriveTable& drives);
    /// Opens a help topic (72 the wizard, 74 its settings, 73 its templates).
    std::function<void(int topic)> showHelp;

    TagWizard& model() { return *m_model; }
    /// The criteria lines the list holds (what "&Run" applies).
    const std::vector<std::string>& criteria() const { return m_model->Criteria(); }

    QTabWidget* pcWizard = nullptr;
    QWidget* tsSettings = nullptr;
    QWidget* tsTemplates = nullptr;
    THistoryComboBox* hbDir = nullptr;
    QToolButton* sbDirBrowse = nullptr;
    QCheckBox* cbRecurseDir = nullptr;
    QCheckBox* cbFileSpec = nullptr;
    QWidget* pnFileSpec = nullptr;
    THistoryComboBox* hbFileSpec = nullptr;
    QToolButton* sbExtFSpec = nullptr;
    QCheckBox* cbFileSpecInvert = nullptr;
    QCheckBox* cbFileAge = nullptr;
    QWidget* pnFileAge = nullptr;
    THistoryComboBox* hbFileAge = nullptr;
    QRadioButton* rbNewer = nullptr;
    QRadioButton* rbOlder = nullptr;
    QCheckBox* cbFileSize = nullptr;
    QWidget* pnFileSize = nullptr;
    THistoryComboBox* hbFileSize = nullptr;
    QRadioButton* rbSmaller = nullptr;
    QRadioButton* rbLarger = nullptr;
    QGroupBox* gbCriteria = nullptr;
    TEnhHeaderControl* hdrCriteria = nullptr;
    QListWidget* lbCriteria = nullptr;
    QPushButton* btnAdd = nullptr;
    QPushButton* btnDelete = nullptr;
    QPushButton* btnModify = nullptr;
    QPushButton* btnClear = nullptr;
    QLineEdit* edTemplateName = nullptr;
    QListWidget* lbTemplates = nullptr;
    QPushButton* btnTemplLoad = nullptr;
    QPushButton* btnTemplAdd = nullptr;
    QPushButton* btnTemplDelete = nullptr;
    QPushButton* btnTemplApply = nullptr;
    QPushButton* btnRun = nullptr;
    QPushButton* btnCancel = nullptr;
    QPushButton* btnHelp = nullptr;

    // Handlers.
    void btnAddClick();
    void btnModifyClick();
    void btnDeleteClick();
    void btnClearClick();
    void lbCriteriaClick();
    void btnTemplLoadClick();
    void btnTemplAddClick();
    void btnTemplApplyClick();
    void btnTemplDeleteClick();
    void sbDirBrowseClick();
    void sbExtFSpecClick();
    void btnHelpClick();

    /// The controls as a criterion sees them, and the other way round.
    CriterionFields fields() const;
    void showFields(const CriterionFields& fields);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void done(int result) override;

private:
    void buildSettingsPage();
    void buildTemplatesPage();
    THistoryComboBox* historyBox(const char* control, QWidget* parent);
    void updatePanels();
    void showCriteria();
    void showTemplates();

    std::unique_ptr<TagWizard> m_model;
    FolderChooser m_chooseFolder;
    ExtendedSpec m_extendedSpec;
    ToHost m_toHost;
    ToCatalogue m_toCatalogue;
};

} // namespace zentrix
