#include "gui/tree/thetreeview.h"

#include "gui/tree/treeaccessible.h"

#include <QDragMoveEvent>
#include <QHeaderView>
#include <QScrollBar>

namespace zentrix {

THETreeView::THETreeView(QWidget* parent) : QTreeView(parent) {
    InstallTreeAccessibility();
    connect(this, &QTreeView::expanded, this,
            [this](const QModelIndex& index) { NotifyTreeExpansionChanged(this, index); });
    connect(this, &QTreeView::collapsed, this,
            [this](const QModelIndex& index) { NotifyTreeExpansionChanged(this, index); });
    header()->hide();
    setIndentation(19);
    setUniformRowHeights(true);
    setExpandsOnDoubleClick(false);
    setAnimated(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // The selection stays visible when the focus leaves.
    QPalette pal = palette();
    pal.setColor(QPalette::Inactive, QPalette::Highlight, pal.color(QPalette::Active, QPalette::Highlight));
    pal.setColor(QPalette::Inactive, QPalette::HighlightedText,
                 pal.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(pal);
}

bool THETreeView::event(QEvent* event) {
    if (WndProcFunction && WndProcFunction(event))
        return true;
    return QTreeView::event(event);
}

bool THETreeView::viewportEvent(QEvent* event) {
    if (WndProcFunction && WndProcFunction(event))
        return true;
    return QTreeView::viewportEvent(event);
}

void THETreeView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    // The tree shows one column and never lets all columns show the focus, so
    // nothing of QTreeView's own handling is left out but its report.
    QAbstractItemView::currentChanged(current, previous);
    NotifyTreeCurrentChanged(this);
}

void THETreeView::selectionChanged(const QItemSelection& selected,
                                   const QItemSelection& deselected) {
    QAbstractItemView::selectionChanged(selected, deselected);
}

void THETreeView::focusInEvent(QFocusEvent* event) {
    QTreeView::focusInEvent(event);
    NotifyTreeCurrentChanged(this);
}

void THETreeView::ScrollLineUp() { verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub); }

void THETreeView::ScrollLineDown() { verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd); }

void THETreeView::MakeTopItem(const QModelIndex& index) { scrollTo(index, QAbstractItemView::PositionAtTop); }

void THETreeView::dragMoveEvent(QDragMoveEvent* event) {
    const int y = event->position().toPoint().y();
    if (y > viewport()->height() - 20)
        ScrollLineDown();
    else if (y < 20)
        ScrollLineUp();
    if (qobject_cast<THETreeView*>(event->source()))
        viewport()->update();
    QTreeView::dragMoveEvent(event);
}

} // namespace zentrix
