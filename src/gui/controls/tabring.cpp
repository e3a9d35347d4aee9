#include "gui/controls/tabring.h"

#include <QEvent>
#include <QKeyEvent>
#include <QWidget>

namespace zentrix {

TabRing::TabRing(const QList<QWidget*>& controls, QObject* parent) : QObject(parent) {
    for (QWidget* w : controls) {
        if (!w)
            continue;
        m_controls.append(w);
        w->installEventFilter(this);
        // The key may reach a part of the control (a combo box's text field).
        for (QWidget* part : w->findChildren<QWidget*>())
            if (part->focusProxy() == w)
                part->installEventFilter(this);
    }
}

QWidget* TabRing::next(QWidget* from, bool forward) const {
    qsizetype at = -1;
    for (qsizetype i = 0; i < m_controls.size(); ++i)
        if (m_controls[i] && (m_controls[i] == from || m_controls[i]->isAncestorOf(from)))
            at = i;
    if (at < 0)
        return nullptr;
    const qsizetype n = m_controls.size();
    for (qsizetype step = 1; step < n; ++step) {
        QWidget* w = m_controls[((at + (forward ? step : -step)) % n + n) % n];
        if (w && w->isVisible() && w->isEnabled() && w->focusPolicy() != Qt::NoFocus)
            return w;
    }
    return nullptr;
}

bool TabRing::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const bool backtab = key->key() == Qt::Key_Backtab ||
                         (key->key() == Qt::Key_Tab && (key->modifiers() & Qt::ShiftModifier));
    if (key->key() != Qt::Key_Tab && !backtab)
        return false;
    QWidget* target = next(static_cast<QWidget*>(watched), !backtab);
    if (!target)
        return false;
    target->setFocus(backtab ? Qt::BacktabFocusReason : Qt::TabFocusReason);
    return true;
}

} // namespace zentrix
