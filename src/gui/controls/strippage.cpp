#include "gui/controls/strippage.h"

#include <QStackedWidget>

namespace zentrix {

void StripPage::Show(QStackedWidget* strip, QWidget* page) {
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
        return;
    }
    if (m_before && m_before != page && strip->indexOf(m_before) >= 0)
        strip->setCurrentWidget(m_before);
    else if (strip->count() > 0 && strip->widget(0) != page)
        strip->setCurrentIndex(0);
    strip->setVisible(m_stripWasVisible);
}

} // namespace zentrix
