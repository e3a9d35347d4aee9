#include "gui/app/mainstatusbar.h"

#include "core/appstate.h"
#include "gui/app/statusbaraccessible.h"
#include "gui/controls/a11y.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFrame>
#include <qdrawutil.h>

namespace zentrix {

namespace {

constexpr int kWidths[4] = {300, 100, 50, 100};

} // namespace

TMainStatusBar::TMainStatusBar(AppState& state, QWidget* parent)
    : QWidget(parent), m_state(state) {
    InstallStatusBarAccessibility();
    NameComponent(this, "MainStatusBar", "Status line");
    setMinimumHeight(fontMetrics().height() + 8);
}

QSize TMainStatusBar::sizeHint() const { return {600, fontMetrics().height() + 8}; }

QRect TMainStatusBar::panelRect(int panel) const {
    int x = 0;
    for (int i = 0; i < panel; ++i)
        x += kWidths[i];
    // The last panel takes what is left.
    const int w = panel == 3 ? std::max(kWidths[3], width() - x) : kWidths[panel];
    return QRect(x, 0, w, height());
}

void TMainStatusBar::setHint(const QString& text) {
    m_hint = text;
    update(panelRect(0));
    NotifyStatusPanelChanged(this, StatusPanel::Hint);
}

void TMainStatusBar::setUserName(const QString& name) {
    m_user = name;
    update(panelRect(3));
    NotifyStatusPanelChanged(this, StatusPanel::User);
}

void TMainStatusBar::setTotal(int64_t total) {
    m_total = std::max<int64_t>(1, total);
    m_position = 0;
    update(panelRect(1));
}

void TMainStatusBar::setPosition(int64_t position) {
    if (position == m_position)
        return; // redraw only on a change
    const int64_t before = 100 * m_position / m_total;
    m_position = position;
    repaint(panelRect(1));
    if (100 * m_position / m_total != before)
        NotifyStatusPanelChanged(this, StatusPanel::Progress);
}

void TMainStatusBar::showStop(bool shown) {
    m_stopShown = shown;
    m_stopPressed = false;
    m_state.abortFlag = false;
    m_total = 1;
    m_position = 0;
    repaint();
    NotifyStatusPanelChanged(this, StatusPanel::Stop);
}

bool TMainStatusBar::aborted() const { return m_state.abortFlag; }

void TMainStatusBar::PressStop() {
    if (m_stopShown)
        m_state.abortFlag = true;
}

void TMainStatusBar::processEvents() {
    QApplication::processEvents(QEventLoop::AllEvents, 20);
}

void TMainStatusBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QPalette pal = palette();
    for (int i = 0; i < 4; ++i) {
        const QRect r = panelRect(i).adjusted(1, 1, -1, -1);
        const bool raised = i == 2 && m_stopShown && !m_stopPressed;
        qDrawShadePanel(&p, r, pal, !raised, 1);
        const QRect inner = r.adjusted(3, 1, -3, -1);
        switch (i) {
        case 0:
            p.drawText(inner, Qt::AlignVCenter | Qt::AlignLeft,
                       fontMetrics().elidedText(m_hint, Qt::ElideRight, inner.width()));
            break;
        case 1: {
            const QRect bar = r.adjusted(2, 2, -2, -2);
            p.fillRect(bar, pal.color(QPalette::Button));
            const double part = std::clamp(double(m_position) / double(m_total), 0.0, 1.0);
            p.fillRect(QRect(bar.left(), bar.top(), int(bar.width() * part), bar.height()),
                       pal.color(QPalette::Highlight));
            break;
        }
        case 2:
            if (m_stopShown)
                p.drawText(inner, Qt::AlignCenter, "STOP");
            break;
        case 3:
            p.drawText(inner, Qt::AlignVCenter | Qt::AlignLeft, m_user);
            break;
        }
    }
}

void TMainStatusBar::mousePressEvent(QMouseEvent* event) {
    if (!m_stopShown)
        return;
    m_stopPressed = true; // the bevel goes down
    if (event->button() == Qt::LeftButton && panelRect(2).contains(event->position().toPoint()))
        m_state.abortFlag = true;
    repaint(panelRect(2));
}

void TMainStatusBar::mouseReleaseEvent(QMouseEvent*) {}

} // namespace zentrix
