#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class QToolButton;

namespace zentrix {

class THistoryComboBox;

/// The attributes page of the command strip (ts_FC_FileAttr): a caption, the
/// attribute box hbFilesAttrHistory (history "FileAttributesHistory") and
/// "&OK"/"&Cancel". The box takes only "+", "-" and the letters A, H, R and S
/// (typed in either case, shown in upper case); anything else beeps and is
/// dropped. Enter with the list closed is "&OK"; Esc with nothing to undo in
/// the box is "&Cancel". F2 in the box or the "..." button sbFileAttrSelect
/// opens "Select attributes ..." (TAttributesForm) on the box's text, which
/// takes the dialog's text on OK. The page only reports; its owner decides
/// what the text does (tagging by attributes, or the attribute change).
class TFileAttrPage : public QWidget {
    Q_OBJECT
public:
    explicit TFileAttrPage(QWidget* parent = nullptr);

    QLabel* pnFileAttr = nullptr;
    THistoryComboBox* hbFilesAttrHistory = nullptr;
    QToolButton* sbFileAttrSelect = nullptr;
    QPushButton* bbFileAttrOK = nullptr;
    QPushButton* bbFileAttrCancel = nullptr;

    void setCaption(const QString& caption);
    QString caption() const;
    QString text() const;
    /// "Select attributes ...": the box takes the dialog's text on OK.
    void selectAttributes();

signals:
    void okClicked(const QString& text);
    void cancelClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace zentrix
