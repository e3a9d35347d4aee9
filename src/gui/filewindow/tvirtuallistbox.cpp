#include "gui/filewindow/tvirtuallistbox.h"

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionFocusRect>

#include <algorithm>

namespace zentrix {

TVirtualListBox::TVirtualListBox(QWidget* parent) : QAbstractScrollArea(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_KeyCompression, false); // each repeat counts (accelerated keys)
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAutoFillBackground(false);
    verticalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setSingleStep(16);
    updateScrollBars();
}

void TVirtualListBox::clearHandlers() {
    OnDrawItem = nullptr;
    WndProcFunction = nullptr;
    OnKeyDown = nullptr;
    OnWantsKey = nullptr;
    OnKeyUp = nullptr;
    OnMouseDown = nullptr;
    OnClick = nullptr;
    OnDblClick = nullptr;
    OnStartDrag = nullptr;
    OnItemText = nullptr;
    OnItemTagged = nullptr;
}

int TVirtualListBox::rowsPerColumn() const {
    return std::max(1, viewport()->height() / std::max(1, m_itemHeight));
}

int TVirtualListBox::visibleRows() const {
    const int h = std::max(1, m_itemHeight);
    const int rows = (viewport()->height() + h - 1) / h;
    return m_columns > 0 ? rowsPerColumn() * (m_columns + 1) : rows;
}

int TVirtualListBox::firstColumn() const {
    return m_columns > 0 ? m_top / rowsPerColumn() : 0;
}

int TVirtualListBox::horizontalOffset() const {
    return m_columns > 0 ? 0 : horizontalScrollBar()->value();
}

void TVirtualListBox::setCount(int count) {
    m_count = std::max(0, count);
    if (m_current >= m_count)
        m_current = m_count > 0 ? m_count - 1 : -1;
    if (m_count == 0)
        m_current = -1;
    updateScrollBars();
    viewport()->update();
}

void TVirtualListBox::setItemHeight(int height) {
    m_itemHeight = std::max(1, height);
    updateScrollBars();
    setCurrentIndex(m_current);
    viewport()->update();
}

void TVirtualListBox::setColumns(int columns) {
    m_columns = std::max(0, columns);
    updateScrollBars();
    setCurrentIndex(m_current);
    viewport()->update();
}

void TVirtualListBox::setContentWidth(int width) {
    m_contentWidth = width;
    updateScrollBars();
    viewport()->update();
}

void TVirtualListBox::updateScrollBars() {
    m_syncingScrollBars = true;
    QScrollBar* v = verticalScrollBar();
    QScrollBar* h = horizontalScrollBar();
    if (m_columns > 0) {
        const int rpc = rowsPerColumn();
        const int totalColumns = (m_count + rpc - 1) / rpc;
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        h->setRange(0, std::max(0, totalColumns - m_columns));
        h->setPageStep(m_columns);
        h->setSingleStep(1);
        m_top = std::clamp(firstColumn(), 0, h->maximum()) * rpc;
        h->setValue(m_top / rpc);
    } else {
        const int full = rowsPerColumn();
        setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        v->setRange(0, std::max(0, m_count - full));
        v->setPageStep(full);
        m_top = std::clamp(m_top, 0, v->maximum());
        v->setValue(m_top);
        h->setRange(0, std::max(0, m_contentWidth - viewport()->width()));
        h->setPageStep(viewport()->width());
        h->setSingleStep(16);
    }
    m_syncingScrollBars = false;
}

void TVirtualListBox::scrollContentsBy(int, int) {
    if (m_syncingScrollBars)
        return;
    if (m_columns > 0)
        m_top = horizontalScrollBar()->value() * rowsPerColumn();
    else
        m_top = verticalScrollBar()->value();
    viewport()->update();
}

void TVirtualListBox::setTopIndex(int index) {
    if (m_columns > 0) {
        const int rpc = rowsPerColumn();
        m_top = (std::max(0, index) / rpc) * rpc;
    } else {
        m_top = std::max(0, index);
    }
    updateScrollBars();
    viewport()->update();
}

void TVirtualListBox::setCurrentIndex(int index) {
    if (index < -1 || index >= m_count)
        index = m_count > 0 ? std::clamp(index, 0, m_count - 1) : -1;
    const int old = m_current;
    m_current = index;
    if (index >= 0) {
        if (m_columns > 0) {
            const int rpc = rowsPerColumn();
            const int column = index / rpc;
            int first = firstColumn();
            if (column < first)
                first = column;
            else if (column >= first + m_columns)
                first = column - m_columns + 1;
            m_top = first * rpc;
        } else {
            const int full = rowsPerColumn();
            if (index < m_top)
                m_top = index;
            else if (index >= m_top + full)
                m_top = index - full + 1;
        }
        updateScrollBars();
    }
    if (old != m_current) {
        invalidateItem(old);
        invalidateItem(m_current);
    }
}

int TVirtualListBox::indexAt(const QPoint& pos) const {
    if (pos.x() < 0 || pos.y() < 0 || pos.y() >= viewport()->height() ||
        pos.x() >= viewport()->width())
        return -1;
    int index;
    if (m_columns > 0) {
        const int colWidth = std::max(1, viewport()->width() / m_columns);
        const int rpc = rowsPerColumn();
        const int row = pos.y() / m_itemHeight;
        if (row >= rpc)
            return -1;
        index = (firstColumn() + pos.x() / colWidth) * rpc + row;
    } else {
        index = m_top + pos.y() / m_itemHeight;
    }
    return index < m_count ? index : -1;
}

QRect TVirtualListBox::itemRect(int index) const {
    if (index < 0 || index >= m_count)
        return {};
    if (m_columns > 0) {
        const int rpc = rowsPerColumn();
        const int column = index / rpc - firstColumn();
        if (column < 0 || column > m_columns)
            return {};
        const int colWidth = std::max(1, viewport()->width() / m_columns);
        return QRect(column * colWidth, (index % rpc) * m_itemHeight, colWidth, m_itemHeight);
    }
    const int row = index - m_top;
    if (row < 0 || row * m_itemHeight >= viewport()->height())
        return {};
    const int offset = horizontalScrollBar()->value();
    return QRect(-offset, row * m_itemHeight,
                 std::max(viewport()->width() + offset, m_contentWidth), m_itemHeight);
}

void TVirtualListBox::invalidateItem(int index) {
    const QRect r = itemRect(index);
    if (!r.isEmpty())
        viewport()->update(QRect(0, r.top(), viewport()->width(), r.height()));
}

void TVirtualListBox::setPlaceholderText(const QString& text) {
    if (text == m_placeholder)
        return;
    m_placeholder = text;
    viewport()->update();
    QAccessibleValueChangeEvent event(this, text);
    QAccessible::updateAccessibility(&event);
}

void TVirtualListBox::paintEvent(QPaintEvent* e) {
    QPainter p(viewport());
    const QPalette& pal = palette();
    p.fillRect(e->rect(), pal.base());
    m_paintedRows = 0;
    if (m_count == 0 && !m_placeholder.isEmpty()) {
        p.setPen(pal.color(QPalette::Disabled, QPalette::Text));
        p.setFont(font());
        p.drawText(viewport()->rect().adjusted(8, 4, -8, -4),
                   Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, m_placeholder);
        return;
    }
    const int first = m_columns > 0 ? firstColumn() * rowsPerColumn() : m_top;
    const int last = std::min(m_count, first + visibleRows());
    for (int index = first; index < last; ++index) {
        const QRect r = itemRect(index);
        if (r.isEmpty() || !r.intersects(e->rect()))
            continue;
        const bool current = index == m_current;
        p.save();
        p.setClipRect(m_columns > 0 ? r : QRect(0, r.top(), viewport()->width(), r.height()));
        const QBrush brush = current ? pal.highlight() : pal.base();
        if (current) // other bands already have the window colour
            p.fillRect(r, brush);
        p.setBrush(brush);
        p.setPen(current ? pal.highlightedText().color() : pal.text().color());
        p.setFont(font());
        if (OnDrawItem)
            OnDrawItem(p, index, r, current);
        if (current && hasFocus()) {
            QStyleOptionFocusRect o;
            o.initFrom(this);
            o.rect = QRect(0, r.top(), std::min(viewport()->width(), r.width()), r.height());
            o.backgroundColor = brush.color();
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &o, &p, this);
        }
        p.restore();
        ++m_paintedRows;
    }
}

void TVirtualListBox::resizeEvent(QResizeEvent* e) {
    QAbstractScrollArea::resizeEvent(e);
    updateScrollBars();
}

bool TVirtualListBox::event(QEvent* e) {
    if (WndProcFunction && WndProcFunction(e))
        return true;
    if (e->type() == QEvent::ShortcutOverride) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (OnWantsKey && OnWantsKey(k)) {
            e->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(e);
}

bool TVirtualListBox::viewportEvent(QEvent* e) {
    // Mouse events of the viewport go through the hook as well.
    switch (e->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        if (WndProcFunction && WndProcFunction(e))
            return true;
        break;
    default:
        break;
    }
    return QAbstractScrollArea::viewportEvent(e);
}

void TVirtualListBox::userMoveTo(int index) {
    if (m_count == 0)
        return;
    index = std::clamp(index, 0, m_count - 1);
    if (index == m_current) {
        setCurrentIndex(index);
        return;
    }
    setCurrentIndex(index);
    emit currentIndexChanged(index);
}

bool TVirtualListBox::navigate(int key) {
    if (m_count == 0)
        return false;
    const int page = m_columns > 0 ? rowsPerColumn() * m_columns : rowsPerColumn();
    const int cur = std::max(0, m_current);
    switch (key) {
    case Qt::Key_Up:
        userMoveTo(cur - 1);
        return true;
    case Qt::Key_Down:
        userMoveTo(m_current < 0 ? 0 : cur + 1);
        return true;
    case Qt::Key_PageUp:
        userMoveTo(cur - std::max(1, page - (m_columns > 0 ? 0 : 1)));
        return true;
    case Qt::Key_PageDown:
        userMoveTo(cur + std::max(1, page - (m_columns > 0 ? 0 : 1)));
        return true;
    case Qt::Key_Home:
        userMoveTo(0);
        return true;
    case Qt::Key_End:
        userMoveTo(m_count - 1);
        return true;
    case Qt::Key_Left:
        if (m_columns > 0) {
            userMoveTo(cur - rowsPerColumn());
            return true;
        }
        horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
        return true;
    case Qt::Key_Right:
        if (m_columns > 0) {
            userMoveTo(std::min(cur + rowsPerColumn(), m_count - 1));
            return true;
        }
        horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        return true;
    default:
        return false;
    }
}

void TVirtualListBox::keyPressEvent(QKeyEvent* e) {
    if (OnKeyDown && OnKeyDown(e)) {
        e->accept();
        return;
    }
    if (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) {
        e->ignore();
        return;
    }
    if (navigate(e->key())) {
        e->accept();
        return;
    }
    // Typed characters are consumed: there is no letter search of the list's own.
    if (!e->text().isEmpty() && e->text().at(0).isPrint()) {
        e->accept();
        return;
    }
    e->ignore();
}

void TVirtualListBox::keyReleaseEvent(QKeyEvent* e) {
    if (!e->isAutoRepeat() && OnKeyUp)
        OnKeyUp(e);
    QAbstractScrollArea::keyReleaseEvent(e);
}

void TVirtualListBox::mousePressEvent(QMouseEvent* e) {
    setFocus(Qt::MouseFocusReason);
    const int index = indexAt(e->position().toPoint());
    if (e->button() == Qt::LeftButton) {
        m_pressed = true;
        m_dragging = false;
        m_pressPos = e->position().toPoint();
        if (index >= 0)
            userMoveTo(index);
    }
    if (OnMouseDown)
        OnMouseDown(e, index);
    e->accept();
}

void TVirtualListBox::mouseMoveEvent(QMouseEvent* e) {
    if (m_pressed && !m_dragging && (e->buttons() & Qt::LeftButton) &&
        (e->position().toPoint() - m_pressPos).manhattanLength() >=
            QApplication::startDragDistance()) {
        m_dragging = true;
        m_pressed = false;
        if (OnStartDrag)
            OnStartDrag(e);
    }
    e->accept();
}

void TVirtualListBox::mouseReleaseEvent(QMouseEvent* e) {
    const bool click = m_pressed && !m_dragging && e->button() == Qt::LeftButton;
    m_pressed = false;
    m_dragging = false;
    if (click && OnClick)
        OnClick();
    e->accept();
}

void TVirtualListBox::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton && OnDblClick)
        OnDblClick();
    e->accept();
}

void TVirtualListBox::focusInEvent(QFocusEvent* e) {
    QAbstractScrollArea::focusInEvent(e);
    invalidateItem(m_current);
    emit focusEntered();
}

void TVirtualListBox::focusOutEvent(QFocusEvent* e) {
    QAbstractScrollArea::focusOutEvent(e);
    invalidateItem(m_current);
    emit focusLeft();
}

} // namespace zentrix
