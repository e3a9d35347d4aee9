#include "gui/controls/tenhcombobox.h"

#include <QAbstractItemView>
#include <QFocusEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMetaMethod>

namespace zentrix {

TEnhComboBox::TEnhComboBox(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    // The history decides what the list holds; typing must not add or complete.
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    setMaxVisibleItems(8);

    QAbstractItemView* list = view(); // creates the popup window
    m_container = list->window();
    list->installEventFilter(this);
    if (m_container && m_container != this)
        m_container->installEventFilter(this);
    connect(list->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (!m_listOpen || m_adjustingList || !current.isValid())
                    return;
                setEditText(itemText(current.row()));
                emit OnListPick();
            });
}

void TEnhComboBox::setCanEdit(bool canEdit) {
    m_canEdit = canEdit;
    if (QLineEdit* edit = lineEdit())
        edit->setReadOnly(!canEdit);
}

void TEnhComboBox::ChoiceCheck() {
    static const QMetaMethod choice = QMetaMethod::fromSignal(&TEnhComboBox::OnChoice);
    const QString text = currentText();
    if (!isSignalConnected(choice) || text.isEmpty() || text == m_entryText)
        return;
    m_entryText = text;
    emit OnChoice();
}

void TEnhComboBox::focusInEvent(QFocusEvent* event) {
    QComboBox::focusInEvent(event);
    // Opening and closing the list moves the focus to the popup and back: no entry.
    if (event->reason() == Qt::PopupFocusReason)
        return;
    m_entryText = currentText();
    emit OnFocusGot();
    ChoiceCheck();
}

void TEnhComboBox::focusOutEvent(QFocusEvent* event) {
    QComboBox::focusOutEvent(event);
    if (event->reason() == Qt::PopupFocusReason)
        return;
    emit OnFocusLost();
    ChoiceCheck();
}

bool TEnhComboBox::event(QEvent* event) {
    // A read-only box swallows typing: a character key must not fire a shortcut
    // of the window either (the main window has single-key shortcuts).
    if (event->type() == QEvent::ShortcutOverride && !m_canEdit) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (!key->text().isEmpty() && key->text().at(0).isPrint() &&
            !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
            event->accept();
            return true;
        }
    }
    return QComboBox::event(event);
}

void TEnhComboBox::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    const bool alt = event->modifiers() & Qt::AltModifier;
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        ChoiceCheck();
        QComboBox::keyPressEvent(event);
        return;
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (!alt || key == Qt::Key_Down) {
            showPopup();
            event->accept();
            return;
        }
        break;
    case Qt::Key_Escape:
        if (currentText() != m_entryText) {
            setEditText(m_entryText);
            event->accept();
        } else {
            event->ignore(); // nothing to undo: the window (a dialog) gets it
        }
        return;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        QComboBox::keyPressEvent(event);
        return;
    default:
        break;
    }
    if (!m_canEdit) {
        event->accept(); // read-only: every other key is swallowed
        return;
    }
    QComboBox::keyPressEvent(event);
}

void TEnhComboBox::showPopup() {
    emit OnDropDown();
    m_dropText = currentText();
    m_escaped = false;
    // The list's own filters handle Esc and Delete; ours must see them first, and
    // installing again moves a filter to the front.
    view()->installEventFilter(this);
    QComboBox::showPopup();
    if (!m_container || !m_container->isVisible())
        return; // an empty box shows no list
    m_listOpen = true;
    // Highlight the entry the text names; none when the text was typed.
    m_adjustingList = true;
    const int row = findText(currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive);
    view()->setCurrentIndex(row >= 0 ? model()->index(row, modelColumn(), rootModelIndex())
                                     : QModelIndex());
    if (row < 0)
        view()->selectionModel()->clearSelection();
    m_adjustingList = false;
}

void TEnhComboBox::listClosed() {
    if (m_escaped) {
        setEditText(m_dropText);
    } else {
        const QModelIndex current = view()->currentIndex();
        if (current.isValid())
            setEditText(itemText(current.row()));
    }
    emit OnCloseUp();
    ChoiceCheck();
}

bool TEnhComboBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_container && event->type() == QEvent::Hide && m_listOpen) {
        m_listOpen = false;
        listClosed();
    } else if (watched == view() && m_listOpen &&
               (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape) {
            m_escaped = true; // the list closes on it by itself (on its shortcut override)
        } else if (key->key() == Qt::Key_Delete && event->type() == QEvent::ShortcutOverride) {
            event->accept(); // no shortcut takes it from the list
            return true;
        } else if (key->key() == Qt::Key_Delete) {
            const QModelIndex current = view()->currentIndex();
            if (current.isValid()) {
                m_adjustingList = true;
                removeItem(current.row());
                m_adjustingList = false;
            }
            return true;
        }
    }
    return QComboBox::eventFilter(watched, event);
}

} // namespace zentrix
