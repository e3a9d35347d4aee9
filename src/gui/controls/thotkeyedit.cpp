#include "gui/controls/thotkeyedit.h"

#include "gui/controls/shortcutkeys.h"

#include <QKeyEvent>

namespace zentrix {
namespace {

bool passesOn(const QKeyEvent* key) {
    const int k = key->key();
    return (k == Qt::Key_Tab || k == Qt::Key_Backtab || k == Qt::Key_Escape) &&
           (key->modifiers() & ~Qt::ShiftModifier) == Qt::NoModifier;
}

bool modifierOnly(int key) {
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt ||
           key == Qt::Key_Meta || key == Qt::Key_AltGr || key == 0 || key == Qt::Key_unknown;
}

} // namespace

THotKeyEdit::THotKeyEdit(QWidget* parent) : QLineEdit(parent) {
    setReadOnly(true);
    setText(QStringLiteral("None"));
}

void THotKeyEdit::setHotKey(TShortCut hotKey) {
    m_hotKey = hotKey;
    const std::string text = ShortCutToText(hotKey);
    setText(text.empty() ? QStringLiteral("None") : QString::fromStdString(text));
}

bool THotKeyEdit::event(QEvent* event) {
    // Every combination belongs to the field while it has the focus: no menu,
    // button mnemonic or dialog key takes it first.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (!passesOn(key)) {
            event->accept();
            return true;
        }
    }
    return QLineEdit::event(event);
}

void THotKeyEdit::keyPressEvent(QKeyEvent* event) {
    if (passesOn(event)) {
        event->ignore();
        return;
    }
    event->accept();
    if (modifierOnly(event->key()))
        return;
    if (event->key() == Qt::Key_Backspace && event->modifiers() == Qt::NoModifier) {
        setHotKey(0);
        emit hotKeyChanged(0);
        return;
    }
    TShortCut hotKey = ShortCutOf(event->keyCombination());
    if (hotKey == 0)
        return;
    if ((hotKey & (scCtrl | scAlt)) == 0)
        hotKey |= scAlt;
    setHotKey(hotKey);
    emit hotKeyChanged(hotKey);
}

} // namespace zentrix
