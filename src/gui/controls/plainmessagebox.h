#pragma once

// Header only: the plug-in libraries use it too, without linking the GUI.

#include <QMessageBox>
#include <QString>

namespace zentrix {

/// A message box whose text is shown as it is. Messages carry names of files
/// and archive entries, which may hold anything ("<b>", "<br>", "&lt;"): as
/// rich text such a name could turn a question into its opposite.
inline int PlainMessageBox(QWidget* parent, QMessageBox::Icon icon, const QString& caption,
                           const QString& text,
                           QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                           QMessageBox::StandardButton defaultButton = QMessageBox::NoButton) {
    QMessageBox box(icon, caption, text, buttons, parent);
    box.setTextFormat(Qt::PlainText);
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    return box.exec();
}

/// PlainMessageBox with Yes and No; true for Yes.
inline bool PlainQuestion(QWidget* parent, const QString& caption, const QString& text) {
    return PlainMessageBox(parent, QMessageBox::Question, caption, text,
                           QMessageBox::Yes | QMessageBox::No,
                           QMessageBox::Yes) == QMessageBox::Yes;
}

} // namespace zentrix
