#pragma once

#include <QWidget>

class QHBoxLayout;
class QLabel;
class QPushButton;
class QToolButton;

namespace zentrix {

class THistoryComboBox;

/// A prompt page of the command strip: a caption, one of the main window's
/// history boxes, optional tool buttons after it, and "&OK"/"&Cancel". Enter
/// in the box with its list closed is "&OK"; Esc with nothing to undo in the
/// box is "&Cancel"; F2 and F3 in the box are the first and the second tool
/// button. The page only reports; its owner decides.
///
/// Component names follow a stem: `stem` "RenameFile" gives lbRenameFile,
/// bbRenameFileOK and bbRenameFileCancel, and the buttons added later
/// sb + stem + their suffix.
class TCommandPrompt : public QWidget {
    Q_OBJECT
public:
    /// `boxName` is the history box's component name in the main window's
    /// table ("hbRenameFile1").
    TCommandPrompt(const char* pageName, const QString& accessibleName, const QString& stem,
                   const char* boxName, QWidget* parent = nullptr);

    QLabel* lbPrompt = nullptr;
    THistoryComboBox* hbBox = nullptr;
    QPushButton* bbOK = nullptr;
    QPushButton* bbCancel = nullptr;

    /// Adds a tool button before "&OK"; the first one added also answers F2
    /// in the box, the second F3.
    QToolButton* addToolButton(const QString& suffix, const QString& text, const QString& hint);
    QToolButton* toolButton(int index) const;

    void setCaption(const QString& caption);
    QString caption() const;
    QString text() const;
    /// Replaces the box's text, selected.
    void setText(const QString& text);

signals:
    void okClicked(const QString& text);
    void cancelClicked();
    /// F2 or the first tool button; F3 or the second.
    void toolRequested(int index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString m_stem;
    QList<QToolButton*> m_tools;
    QHBoxLayout* m_row = nullptr;
};

} // namespace zentrix
