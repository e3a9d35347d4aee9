#include "gui/disks/tzentrixdrives.h"

#include "gui/disks/disksaccessible.h"
#include "gui/disks/driveicons.h"

#include <QAccessible>
#include <QBoxLayout>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace zentrix {

TZentrixDrives::TZentrixDrives(QWidget* parent) : QAbstractScrollArea(parent) {
    InstallDisksAccessibility();
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setFocusPolicy(Qt::StrongFocus);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFixedHeight(ItemHeight() + 2);
    setMinimumWidth(60);
}

void TZentrixDrives::SetExtraOptions(DriveListOptions options) {
    m_options = NormaliseDriveListOptions(options, m_options);
}

void TZentrixDrives::SetShowHorScrollBar(bool show) {
    m_showHorScrollBar = show;
    setHorizontalScrollBarPolicy(show ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    updateScrollBars();
}

int TZentrixDrives::ItemHeight() const {
    return std::max(fontMetrics().height(), 18);
}

void TZentrixDrives::SetDrives(const platform::DriveTable* drives, DriveList::FactsSource source) {
    m_drives = drives;
    m_source = source ? std::move(source) : DriveList::FactsSource(DriveList::SystemFacts);
}

void TZentrixDrives::Rebuild(bool touchFloppies) {
    const char selected = SelectedLetter();
    if (m_drives)
        m_list.Build(*m_drives, m_options, m_textCase, touchFloppies, m_source);
    else
        m_list = DriveList();
    m_current = selected ? m_list.IndexOf(selected) : -1;
    updateScrollBars();
    scrollToCurrent();
    viewport()->update();
    QAccessibleEvent reordered(this, QAccessible::ObjectReorder);
    QAccessible::updateAccessibility(&reordered);
}

QString TZentrixDrives::ItemText(int index) const {
    if (index < 0 || index >= Count())
        return {};
    return QString::fromStdString(m_list.Items()[static_cast<size_t>(index)].text);
}

int TZentrixDrives::topIndex() const {
    return verticalScrollBar()->value();
}

QRect TZentrixDrives::ItemRect(int index) const {
    const int h = ItemHeight();
    const int width =
        std::max(viewport()->width(), horizontalScrollBar()->maximum() + viewport()->width());
    return QRect(-horizontalScrollBar()->value(), (index - topIndex()) * h, width, h);
}

char TZentrixDrives::SelectedLetter() const {
    if (m_current < 0 || m_current >= Count())
        return 0;
    return m_list.Items()[static_cast<size_t>(m_current)].letter;
}

void TZentrixDrives::SetSelectedLetter(char letter) {
    const int index = m_list.IndexOf(letter);
    if (index >= 0)
        SetCurrentIndex(index);
}

void TZentrixDrives::SetCurrentIndex(int index) {
    if (index < -1 || index >= Count() || index == m_current)
        return;
    m_current = index;
    scrollToCurrent();
    viewport()->update();
    notifySelection();
}

void TZentrixDrives::notifySelection() {
    if (m_current < 0)
        return;
    QAccessibleEvent selection(this, QAccessible::Selection);
    selection.setChild(m_current);
    QAccessible::updateAccessibility(&selection);
    if (hasFocus()) {
        QAccessibleEvent focus(this, QAccessible::Focus);
        focus.setChild(m_current);
        QAccessible::updateAccessibility(&focus);
    }
}

void TZentrixDrives::updateScrollBars() {
    const int h = ItemHeight();
    const int rows = std::max(1, viewport()->height() / h);
    verticalScrollBar()->setRange(0, std::max(0, Count() - rows));
    verticalScrollBar()->setPageStep(rows);
    verticalScrollBar()->setSingleStep(1);
    int widest = 0;
    const QFontMetrics metrics(font());
    for (int i = 0; i < Count(); ++i)
        widest = std::max(widest, metrics.horizontalAdvance(ItemText(i)));
    const int indent = (m_options & DriveListOption::ShowBitmaps) ? kTextIndent : 2;
    horizontalScrollBar()->setRange(
        0, m_showHorScrollBar ? std::max(0, widest + indent + 2 - viewport()->width()) : 0);
    horizontalScrollBar()->setPageStep(viewport()->width());
}

void TZentrixDrives::scrollToCurrent() {
    if (m_current < 0)
        return;
    const int rows = std::max(1, viewport()->height() / ItemHeight());
    QScrollBar* bar = verticalScrollBar();
    if (m_current < bar->value())
        bar->setValue(m_current);
    else if (m_current >= bar->value() + rows)
        bar->setValue(m_current - rows + 1);
}

void TZentrixDrives::DropDown() {
    if (!m_dropped)
        m_widthBefore = width();
    SetExtraOptions(m_options | DriveListOption::ShowVolName);
    Rebuild(false);
    const QFontMetrics metrics(font());
    int widest = 0;
    for (int i = 0; i < Count(); ++i)
        widest = std::max(widest, metrics.horizontalAdvance(ItemText(i) + "w"));
    const int icon = (m_options & DriveListOption::ShowBitmaps) ? kIconSize : 0;
    const QSize size(widest + icon + 6, Count() * ItemHeight() + 4);
    m_dropped = true;
    floatOverWindow(size);
    updateScrollBars();
    scrollToCurrent();
    setFocus(Qt::OtherFocusReason);
}

void TZentrixDrives::FoldUp() {
    SetExtraOptions(m_options & ~static_cast<DriveListOptions>(DriveListOption::ShowVolName));
    Rebuild(false);
    m_dropped = false;
    returnHome();
    updateScrollBars();
    scrollToCurrent();
}

void TZentrixDrives::floatOverWindow(const QSize& size) {
    QWidget* top = window();
    if (!m_home && parentWidget() && top != this) {
        // Dropped down, the list lies over the windows below it: it leaves its
        // strip for the window itself, and a placeholder keeps its place.
        m_home = parentWidget();
        m_homeLayout = qobject_cast<QBoxLayout*>(m_home->layout());
        const QPoint at = mapTo(top, QPoint(0, 0));
        const int index = m_homeLayout ? m_homeLayout->indexOf(this) : -1;
        if (index >= 0) {
            m_homeStretch = m_homeLayout->stretch(index);
            auto* placeholder = new QWidget(m_home);
            placeholder->setSizePolicy(sizePolicy());
            placeholder->setMinimumWidth(minimumWidth());
            placeholder->setFixedHeight(height());
            m_homeLayout->insertWidget(index, placeholder, m_homeStretch);
            m_placeholder = placeholder;
        }
        m_moving = true;
        setParent(top);
        m_moving = false;
        move(at);
    }
    setMinimumSize(0, 0);
    setFixedSize(size);
    show();
    raise();
}

void TZentrixDrives::returnHome() {
    const int folded = ItemHeight() + 2;
    if (m_home) {
        const bool hadFocus = hasFocus();
        m_moving = true;
        setParent(m_home);
        if (m_homeLayout && m_placeholder) {
            const int index = m_homeLayout->indexOf(m_placeholder);
            m_homeLayout->insertWidget(index, this, m_homeStretch);
            m_homeLayout->removeWidget(m_placeholder);
            delete m_placeholder;
        }
        m_home = nullptr;
        setMinimumSize(60, folded);
        setMaximumSize(QWIDGETSIZE_MAX, folded);
        show();
        if (hadFocus)
            setFocus(Qt::OtherFocusReason);
        m_moving = false;
    } else {
        setMinimumSize(60, folded);
        setMaximumSize(QWIDGETSIZE_MAX, folded);
        if (m_widthBefore > 0)
            resize(m_widthBefore, folded);
    }
}

void TZentrixDrives::ClickItem(int index) {
    if (index < 0 || index >= Count())
        return;
    SetCurrentIndex(index);
    m_keyboardChoice = false;
    emit lbDrivesClick();
}

void TZentrixDrives::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    const QPalette& pal = palette();
    painter.fillRect(viewport()->rect(), pal.color(QPalette::Base));
    const bool bitmaps = m_options & DriveListOption::ShowBitmaps;
    const int indent = bitmaps ? kTextIndent : 2;
    const int first = topIndex();
    const int last = std::min(Count() - 1, first + viewport()->height() / ItemHeight() + 1);
    for (int i = first; i <= last; ++i) {
        const QRect r = ItemRect(i);
        const bool selected = i == m_current;
        if (selected)
            painter.fillRect(r, SelectionColor);
        if (bitmaps) {
            const auto& item = m_list.Items()[static_cast<size_t>(i)];
            DriveIcon(item.kind).paint(
                &painter,
                QRect(r.left() + 2, r.top() + (r.height() - kIconSize) / 2, kIconSize, kIconSize));
        }
        painter.setPen(selected ? SelectionTextColor : pal.color(QPalette::Text));
        painter.drawText(r.adjusted(indent, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                         ItemText(i));
        if (selected && hasFocus()) {
            painter.setPen(QPen(SelectionTextColor, 1, Qt::DotLine));
            painter.drawRect(r.adjusted(0, 0, -1, -1));
        }
    }
}

void TZentrixDrives::mousePressEvent(QMouseEvent* event) {
    m_pressed = -1;
    if (event->button() != Qt::LeftButton)
        return;
    m_keyboardChoice = false;
    const int h = ItemHeight();
    const int index = topIndex() + static_cast<int>(event->position().y()) / h;
    if (index >= 0 && index < Count()) {
        SetCurrentIndex(index);
        m_pressed = index;
    }
    setFocus(Qt::MouseFocusReason);
    event->accept();
}

void TZentrixDrives::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const bool inside = viewport()->rect().contains(event->position().toPoint());
    // A folded list drops down on any click; a dropped one chooses the entry.
    if (inside && (m_pressed >= 0 || !m_dropped))
        emit lbDrivesClick();
    m_pressed = -1;
    event->accept();
}

bool TZentrixDrives::event(QEvent* event) {
    // The list takes every key that types something: a typed letter chooses that
    // drive, so the program's single-key shortcuts ("G" for the global show-all,
    // "F" for the specification box ...) must not take it first. Keys with Ctrl
    // or Alt, and keys that type nothing (F1, F10 ...), keep their shortcuts.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers mods =
            key->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
        if (mods == Qt::NoModifier && !key->text().isEmpty() && key->text().at(0).isPrint()) {
            event->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

void TZentrixDrives::keyPressEvent(QKeyEvent* event) {
    const int rows = std::max(1, viewport()->height() / ItemHeight());
    const int last = Count() - 1;
    auto moveTo = [&](int index) {
        m_keyboardChoice = false;
        if (last >= 0)
            SetCurrentIndex(std::clamp(index, 0, last));
    };
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Left:
        moveTo(m_current - 1);
        break;
    case Qt::Key_Down:
    case Qt::Key_Right:
        moveTo(m_current + 1);
        break;
    case Qt::Key_PageUp:
        moveTo(m_current - rows);
        break;
    case Qt::Key_PageDown:
        moveTo(m_current + rows);
        break;
    case Qt::Key_Home:
        moveTo(0);
        break;
    case Qt::Key_End:
        moveTo(last);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        m_keyboardChoice = true;
        emit lbDrivesClick();
        break;
    case Qt::Key_Escape:
        emit lbDrivesKeyPress(QChar(0x1B));
        break;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        QAbstractScrollArea::keyPressEvent(event);
        return;
    default:
        if (!event->text().isEmpty())
            emit lbDrivesKeyPress(event->text().at(0));
        break;
    }
    event->accept();
}

void TZentrixDrives::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
    if (m_moving)
        return;
    if (m_current >= 0) {
        QAccessibleEvent focus(this, QAccessible::Focus);
        focus.setChild(m_current);
        QAccessible::updateAccessibility(&focus);
    }
    emit lbDrivesEnter();
}

void TZentrixDrives::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
    // A message box or another window taking the focus is not leaving the list.
    if (m_moving || event->reason() == Qt::ActiveWindowFocusReason ||
        event->reason() == Qt::PopupFocusReason)
        return;
    emit lbDrivesExit();
}

void TZentrixDrives::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
    scrollToCurrent();
}

void TZentrixDrives::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        if (!m_dropped)
            setFixedHeight(ItemHeight() + 2);
        updateScrollBars();
    }
}

void TZentrixDrives::scrollContentsBy(int, int) {
    viewport()->update();
}

} // namespace zentrix
