#pragma once

#include "catalogue/typeddirectory.h"

#include <QDialog>

#include <functional>
#include <optional>
#include <string>

class QPushButton;
class QToolButton;

namespace zentrix {

class Prompter;
class THistoryComboBox;
class TRadioGroup;

/// "Compare files ...": the target directory (hbDir, whose history the tag
/// wizard's directory box shares) and the relation (rgCompareWhat). "&Run"
/// closes it with OK only for a text that names an existing directory; the
/// text then goes into the history. Created for each use.
class TCompareForm : public QDialog {
    Q_OBJECT
public:
    /// The directory a text names (catalogue path); none, with the reason, when
    /// it names none.
    using TargetCheck = std::function<TypedDirectory(const std::string& text)>;
    /// Chooses a folder: the box's text in, the chosen directory out, empty
    /// when cancelled.
    using FolderChooser = std::function<QString(const QString& current)>;

    TCompareForm(Prompter& prompter, TargetCheck check, QWidget* parent = nullptr);
    ~TCompareForm() override;

    void setFolderChooser(FolderChooser chooser) { m_chooseFolder = std::move(chooser); }
    /// Opens a help topic (59 the dialog).
    std::function<void(int topic)> showHelp;

    /// The directory "&Run" accepted (catalogue path ending in a backslash).
    const std::string& targetDirectory() const { return m_target; }
    int relation() const;

    THistoryComboBox* hbDir = nullptr;
    QToolButton* sbDirBrowse = nullptr;
    TRadioGroup* rgCompareWhat = nullptr;
    QPushButton* btnRun = nullptr;
    QPushButton* btnCancel = nullptr;
    QPushButton* btnHelp = nullptr;

    void btnRunClick();
    void sbDirBrowseClick();

    static constexpr int kHelpContext = 59;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    Prompter& m_prompter;
    TargetCheck m_check;
    FolderChooser m_chooseFolder;
    std::string m_target;
};

} // namespace zentrix
