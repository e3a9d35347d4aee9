#pragma once

#include <QDialog>

#include <optional>

class QPushButton;

namespace zentrix {

class TRadioGroup;

/// "Select attributes ...": one radio group per attribute (" Archive ",
/// " Read only ", " System ", " Hidden "), each "Set", "Unchanged" or "Unset",
/// started from the attribute box's text; "&Default" chooses archive set and
/// the others unset; OK gives the text the groups make.
class TAttributesForm : public QDialog {
    Q_OBJECT
public:
    explicit TAttributesForm(const QString& boxText, QWidget* parent = nullptr);

    /// Opens the dialog over `parent` on the box text, modally; the new text
    /// on OK, none when cancelled.
    static std::optional<QString> Execute(const QString& boxText, QWidget* parent);

    TRadioGroup* rgArchive = nullptr;
    TRadioGroup* rgReadOnly = nullptr;
    TRadioGroup* rgSystem = nullptr;
    TRadioGroup* rgHidden = nullptr;
    QPushButton* btnDefault = nullptr;
    QPushButton* bbOK = nullptr;
    QPushButton* bbCancel = nullptr;

    /// The text the groups make now (order A, R, H, S).
    QString attributeText() const;
    void btnDefaultClick();
};

} // namespace zentrix
