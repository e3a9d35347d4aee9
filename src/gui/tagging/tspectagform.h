#pragma once

#include "filewindow/spectagrules.h"

#include <QDialog>

#include <functional>
#include <optional>
#include <string>

class QLabel;
class QPushButton;
class QToolButton;

namespace zentrix {

class THistoryComboBox;

/// The special-tag dialog: "Expand selection ...", "Shrink selection ..." and
/// the by-pattern captions are set by whoever opens it. Its box hbFileSpec
/// keeps its history under "SpecialTagHistory" and starts at "*.*"; every
/// committed text (the box's choice check, Enter, "&OK") is upper-cased,
/// trimmed, put back and becomes the selection specification. "&OK" is
/// enabled only while the box holds text and adds the text to the history;
/// Enter with the list closed does the same; Esc cancels. F2 in the box or the
/// ellipsis button fills the box from the extended file specification.
class TSpecTagForm : public QDialog {
    Q_OBJECT
public:
    /// Returns the new specification on OK, none when cancelled or missing
    /// (the caller reports a missing plug-in; the dialog stays open).
    using ExtendedSpec = std::function<std::optional<std::string>(const std::string& current)>;

    /// `selectionSpec` (the program's selection specification) is set to
    /// "*.*" now and follows the box while the dialog is open; it must outlive
    /// the dialog.
    TSpecTagForm(std::string& selectionSpec, ExtendedSpec extendedSpec, QWidget* parent = nullptr);

    /// Opens a dialog with the caption, modally; true for OK.
    static bool Execute(const QString& caption, std::string& selectionSpec,
                        ExtendedSpec extendedSpec, QWidget* parent);

    QLabel* lbFileSpec = nullptr;
    THistoryComboBox* hbFileSpec = nullptr;
    QToolButton* sbExtFileSpec = nullptr;
    QPushButton* bbOK = nullptr;
    QPushButton* bbCancel = nullptr;

    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void commit();
    void updateOk();
    void sbExtFileSpecClick();

    SpecTagRules m_rules;
    ExtendedSpec m_extendedSpec;
};

} // namespace zentrix
