#include "gui/disks/tloggeddrivestabset.h"

#include "gui/disks/disksaccessible.h"

#include <QAccessible>
#include <QDragMoveEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace zentrix {

TLoggedDrivesTabSet::TLoggedDrivesTabSet(QWidget* parent) : QTabBar(parent) {
    InstallDisksAccessibility();
    setExpanding(false);
    setDrawBase(false);
    setUsesScrollButtons(true);
    setElideMode(Qt::ElideNone);
    setAcceptDrops(true);
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QTabBar::currentChanged, this, [this](int index) {
        if (m_syncing)
            return;
        QAccessibleEvent changed(this, QAccessible::Selection);
        changed.setChild(index);
        QAccessible::updateAccessibility(&changed);
        emit LoggedDrivesTabSetChange(index);
    });
}

QFont TLoggedDrivesTabSet::tabFont() const {
    QFont bold = font();
    bold.setBold(true);
    return bold;
}

void TLoggedDrivesTabSet::SetTabs(const std::string& letters, int active) {
    m_syncing = true;
    while (count() > static_cast<int>(letters.size()))
        removeTab(count() - 1);
    for (size_t i = 0; i < letters.size(); ++i) {
        const QString text(QChar::fromLatin1(letters[i]));
        const int index = static_cast<int>(i);
        if (index < count())
            setTabText(index, text);
        else
            addTab(text);
        setTabToolTip(index, QString("Disk %1:").arg(text));
    }
    const int before = currentIndex();
    if (active >= 0 && active < count())
        setCurrentIndex(active);
    m_syncing = false;
    if (before != currentIndex()) {
        QAccessibleEvent changed(this, QAccessible::Selection);
        changed.setChild(currentIndex());
        QAccessible::updateAccessibility(&changed);
    }
    update();
}

char TLoggedDrivesTabSet::LetterAt(int index) const {
    if (index < 0 || index >= count())
        return 0;
    const QString text = tabText(index);
    return text.isEmpty() ? 0 : text.at(0).toUpper().toLatin1();
}

int TLoggedDrivesTabSet::IndexOf(char letter) const {
    for (int i = 0; i < count(); ++i)
        if (LetterAt(i) == letter)
            return i;
    return -1;
}

void TLoggedDrivesTabSet::ClickTab(int index) {
    if (index < 0 || index >= count())
        return;
    setCurrentIndex(index);
    emit LoggedDrivesTabSetClick(index);
}

QSize TLoggedDrivesTabSet::tabSizeHint(int index) const {
    // Never less than the letter needs in the bold font: room for its whole
    // ink (a bold glyph reaches past its advance) and its full height.
    const QFontMetrics metrics(tabFont());
    const QString text = tabText(index);
    const int ink =
        std::max(metrics.horizontalAdvance(text), metrics.boundingRect(text).right() + 1);
    return {ink + kExtraWidth + kRightMargin, std::max(kTabHeight, metrics.height() + 6)};
}

QSize TLoggedDrivesTabSet::minimumTabSizeHint(int index) const {
    return tabSizeHint(index);
}

void TLoggedDrivesTabSet::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(tabFont());
    const QPalette& pal = palette();
    for (int i = 0; i < count(); ++i) {
        const QRect r = tabRect(i);
        if (!r.isValid())
            continue;
        const bool active = i == currentIndex();
        painter.fillRect(r, active ? pal.color(QPalette::Button) : UnselectedColor);
        // The active tab joins the tree below it: no line under it.
        painter.setPen(pal.color(QPalette::Dark));
        painter.drawLine(r.topLeft(), r.topRight());
        painter.drawLine(r.topLeft(), r.bottomLeft());
        painter.drawLine(r.topRight(), r.bottomRight());
        if (!active)
            painter.drawLine(r.bottomLeft(), r.bottomRight());
        const char letter = LetterAt(i);
        if (IconFor && letter) {
            const QIcon icon = IconFor(letter);
            icon.paint(&painter, QRect(r.left() + 2, r.top() + 3, 16, 16));
        }
        painter.setPen(pal.color(QPalette::ButtonText));
        painter.drawText(QRect(r.left() + 22, r.top(), r.width() - 22, r.height()),
                         Qt::AlignLeft | Qt::AlignVCenter, tabText(i));
    }
}

void TLoggedDrivesTabSet::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    emit LoggedDrivesTabSetMouseDown(event->button(), pos, event->modifiers());
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    const int index = tabAt(pos);
    if (index < 0) {
        QTabBar::mousePressEvent(event);
        return;
    }
    ClickTab(index);
    event->accept();
}

void TLoggedDrivesTabSet::dragEnterEvent(QDragEnterEvent* event) {
    // Accepted only so that the moves arrive; nothing is ever dropped here.
    event->accept();
}

void TLoggedDrivesTabSet::dragMoveEvent(QDragMoveEvent* event) {
    emit LoggedDrivesTabSetDragOver(tabAt(event->position().toPoint()));
    event->ignore();
}

void TLoggedDrivesTabSet::dropEvent(QDropEvent* event) {
    event->ignore();
}

} // namespace zentrix
