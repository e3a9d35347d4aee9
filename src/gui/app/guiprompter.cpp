#include "gui/app/guiprompter.h"

#include "gui/controls/plainmessagebox.h"

#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

namespace zentrix {
namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

int ask(QWidget* parent, QMessageBox::Icon icon, const std::string& caption,
        const std::string& text, QMessageBox::StandardButtons buttons,
        QMessageBox::StandardButton def, const std::string& informative = {}) {
    QApplication::beep();
    if (informative.empty())
        return PlainMessageBox(parent, icon, q(caption), q(text), buttons, def);
    QMessageBox box(icon, q(caption), q(text), buttons, parent);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(def);
    // A path and a system message: shown as they are, never as markup.
    box.setInformativeText(q(informative));
    if (auto* label = box.findChild<QLabel*>("qt_msgbox_informativelabel"))
        label->setTextFormat(Qt::PlainText);
    return box.exec();
}

} // namespace

bool GuiPrompter::askYesNo(const std::string& text, const std::string& caption) {
    return ask(m_parent, QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No,
               QMessageBox::Yes) == QMessageBox::Yes;
}

bool GuiPrompter::askOkCancel(const std::string& text, const std::string& caption) {
    return ask(m_parent, QMessageBox::Question, caption, text,
               QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok) == QMessageBox::Ok;
}

Answer GuiPrompter::askYesNoCancel(const std::string& text, const std::string& caption) {
    const int r = ask(m_parent, QMessageBox::Question, caption, text,
                      QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    return r == QMessageBox::Yes ? Answer::Yes : r == QMessageBox::No ? Answer::No : Answer::Cancel;
}

bool GuiPrompter::askRetryCancel(const std::string& text, const std::string& caption) {
    return ask(m_parent, QMessageBox::Warning, caption, text,
               QMessageBox::Retry | QMessageBox::Cancel, QMessageBox::Retry) == QMessageBox::Retry;
}

void GuiPrompter::inform(const std::string& text, const std::string& caption) {
    ask(m_parent, QMessageBox::Information, caption, text, QMessageBox::Ok, QMessageBox::Ok);
}

void GuiPrompter::warn(const std::string& text) {
    ask(m_parent, QMessageBox::Warning, "Information", text, QMessageBox::Ok, QMessageBox::Ok);
}

void GuiPrompter::error(const std::string& text, const std::string& caption) {
    ask(m_parent, QMessageBox::Critical, caption, text, QMessageBox::Ok, QMessageBox::Ok);
}

void GuiPrompter::informWith(const std::string& text, const std::string& informative,
                             const std::string& caption) {
    ask(m_parent, QMessageBox::Information, caption, text, QMessageBox::Ok, QMessageBox::Ok,
        informative);
}

void GuiPrompter::warnWith(const std::string& text, const std::string& informative) {
    ask(m_parent, QMessageBox::Warning, "Information", text, QMessageBox::Ok, QMessageBox::Ok,
        informative);
}

void GuiPrompter::errorWith(const std::string& text, const std::string& informative,
                            const std::string& caption) {
    ask(m_parent, QMessageBox::Critical, caption, text, QMessageBox::Ok, QMessageBox::Ok,
        informative);
}

std::optional<std::string> GuiPrompter::inputText(const std::string& caption,
                                                  const std::string& prompt,
                                                  const std::string& defaultText) {
    QInputDialog dialog(m_parent);
    dialog.setWindowTitle(q(caption));
    dialog.setLabelText(q(prompt));
    dialog.setTextValue(q(defaultText));
    for (QLabel* label : dialog.findChildren<QLabel*>())
        label->setTextFormat(Qt::PlainText);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue().toStdString();
}

void GuiPrompter::beep() {
    QApplication::beep();
}

int GuiPrompter::askChoice(const std::string& text, const std::vector<std::string>& buttons,
                           const std::string& caption) {
    QApplication::beep();
    QMessageBox box(QMessageBox::Question, q(caption), q(text), QMessageBox::NoButton, m_parent);
    box.setTextFormat(Qt::PlainText); // names in the text stay names, never markup
    std::vector<QAbstractButton*> made;
    for (size_t i = 0; i < buttons.size(); ++i) {
        // The last button closes the box (Esc), as Cancel does.
        const auto role = i + 1 == buttons.size() && buttons.size() > 1 ? QMessageBox::RejectRole
                                                                        : QMessageBox::AcceptRole;
        made.push_back(box.addButton(q(buttons[i]), role));
    }
    if (!made.empty()) {
        box.setDefaultButton(qobject_cast<QPushButton*>(made.front()));
        box.setEscapeButton(made.back());
    }
    box.exec();
    for (size_t i = 0; i < made.size(); ++i)
        if (box.clickedButton() == made[i])
            return static_cast<int>(i);
    return static_cast<int>(buttons.size()) - 1;
}

} // namespace zentrix
