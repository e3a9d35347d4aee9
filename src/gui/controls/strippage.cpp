#include "gui/controls/strippage.h"

#include <QApplication>
#include <QStackedWidget>

namespace zentrix {

void StripPage::Show(QStackedWidget* strip, QWidget* page) {
    if (!m_up) {
        QWidget* focus = QApplication::focusWidget();
        const QWidget* area = strip ? strip : page;
        m_focusBefore = focus && focus != area && !area->isAncestorOf(focus) ? focus : nullptr;
    }
    if (strip) {
        if (!m_up) {
            m_before = strip->currentWidget();
            m_stripWasVisible = strip->isVisible();
        }
        strip->setCurrentWidget(page);
        strip->show();
    } else {
        if (m_up && m_up != page)
            m_up->hide();
        page->show();
    }
    m_up = page;
}

void StripPage::Close(QStackedWidget* strip) {
    QWidget* page = m_up;
    if (!page)
        return;
    m_up = nullptr;
    if (!strip) {
        page->hide();
        giveFocusBack(page);
        return;
    }
    if (m_before && m_before != page && strip->indexOf(m_before) >= 0)
        strip->setCurrentWidget(m_before);
    else if (strip->count() > 0 && strip->widget(0) != page)
        strip->setCurrentIndex(0);
    strip->setVisible(m_stripWasVisible);
    giveFocusBack(strip);
}

void StripPage::giveFocusBack(const QWidget* area) {
    // Hiding the prompt that had the keyboard hands it to the next control
    // in the window's chain, which may be any control on the strip or on a
    // page nobody sees. It goes back where it came from instead.
    QWidget* target = m_focusBefore;
    m_focusBefore = nullptr;
    QWidget* focus = QApplication::focusWidget();
    const bool lost = !focus || !focus->isVisible() || focus == area || area->isAncestorOf(focus);
    if (lost && target && target->isVisible() && target->isEnabled())
        target->setFocus(Qt::OtherFocusReason);
}

} // namespace zentrix
