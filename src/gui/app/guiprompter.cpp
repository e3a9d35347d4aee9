#include "gui/app/guiprompter.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

namespace zentrix {
namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

int ask(QWidget* parent, QMessageBox::Icon icon, const std::string& caption,
        const std::string& text, QMessageBox::StandardButtons buttons,
        QMessageBox::StandardButton def) {
    QApplication::beep();
    QMessageBox box(icon, q(caption), q(text), buttons, parent);
    box.setDefaultButton(def);
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

std::optional<std::string> GuiPrompter::inputText(const std::string& caption,
                                                   const std::string& prompt,
                                                   const std::string& defaultText) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(m_parent, q(caption), q(prompt), QLineEdit::Normal, q(defaultText), &ok);
    if (!ok)
        return std::nullopt;
    return text.toStdString();
}

void GuiPrompter::beep() { QApplication::beep(); }

} // namespace zentrix
