#include "gui/tree/thetreeview.h"

#include "catalogue/treenode.h"
#include "gui/tree/cataloguetreemodel.h"
#include "gui/tree/treeaccessible.h"

#include <QDragMoveEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOption>

namespace zentrix {

THETreeView::THETreeView(QWidget* parent) : QListView(parent) {
    InstallTreeAccessibility();
    // One height for every row: the layout of a whole disk's rows is then a
    // multiplication, and no row is measured.
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTextElideMode(Qt::ElideRight);
    // Folder pictures at the small size a tree shows, not a list's larger one.
    const int icon = style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this);
    setIconSize(QSize(icon, icon));
    // The selection stays visible when the focus leaves.
    QPalette pal = palette();
    pal.setColor(QPalette::Inactive, QPalette::Highlight,
                 pal.color(QPalette::Active, QPalette::Highlight));
    pal.setColor(QPalette::Inactive, QPalette::HighlightedText,
                 pal.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(pal);
}

void THETreeView::setModel(QAbstractItemModel* model) {
    QListView::setModel(model);
    m_tree = qobject_cast<CatalogueTreeModel*>(model);
    if (m_tree)
        connect(m_tree, &CatalogueTreeModel::expansionChanged, this,
                [this](const QModelIndex& index) { NotifyTreeExpansionChanged(this, index); });
}

bool THETreeView::showsButton(const QModelIndex& index) const {
    const TTreeNode* node = CatalogueTreeModel::nodeOf(index);
    return node && node->HasChildren();
}

bool THETreeView::isExpanded(const QModelIndex& index) const {
    const TTreeNode* node = CatalogueTreeModel::nodeOf(index);
    return node && node->Expanded() && node->Count() > 0;
}

void THETreeView::setExpanded(const QModelIndex& index, bool expanded) {
    if (!CatalogueTreeModel::nodeOf(index) || isExpanded(index) == expanded ||
        (expanded && !showsButton(index)))
        return;
    if (expanded)
        emit expandRequested(index);
    else
        emit collapseRequested(index);
}

void THETreeView::expandAll() {
    // Rows come in below each node opened, and are visited in their turn.
    for (int row = 0; model() && row < model()->rowCount(); ++row) {
        const QModelIndex index = model()->index(row, 0);
        const TTreeNode* node = CatalogueTreeModel::nodeOf(index);
        if (node && node->Count() > 0 && !node->Expanded())
            setExpanded(index, true);
    }
}

QModelIndex THETreeView::indexAt(const QPoint& point) const {
    if (!model() || model()->rowCount() == 0 || point.x() < 0 || point.x() >= viewport()->width())
        return {};
    // Every row has the first one's height, one after another from its place.
    const QRect first = QListView::visualRect(model()->index(0, 0));
    if (first.height() <= 0 || point.y() < first.top())
        return {};
    return model()->index((point.y() - first.top()) / first.height(), 0);
}

QRect THETreeView::visualRect(const QModelIndex& index) const {
    // The label starts after the indentation and the button, and reaches the
    // right edge of the tree.
    const QRect button = buttonRect(index);
    if (!button.isValid())
        return {};
    const int left = button.right() + 1;
    return QRect(QPoint(left, button.top()),
                 QPoint(std::max(left, viewport()->width() - 1), button.bottom()));
}

QRect THETreeView::buttonRect(const QModelIndex& index) const {
    const QRect row = QListView::visualRect(index);
    if (!row.isValid())
        return {};
    const int left =
        row.left() + CatalogueTreeModel::depthOf(CatalogueTreeModel::nodeOf(index)) * m_indentation;
    return QRect(left, row.top(), m_indentation, row.height());
}

void THETreeView::paintEvent(QPaintEvent* event) {
    QListView::paintEvent(event);
    if (!model())
        return;
    QPainter painter(viewport());
    const QRect area = event->rect();
    QStyleOption option;
    option.initFrom(this);
    const QStyle::State enabled = option.state & QStyle::State_Enabled;
    for (QModelIndex index = indexAt(QPoint(0, area.top())); index.isValid();
         index = model()->index(index.row() + 1, 0)) {
        const QRect button = buttonRect(index);
        if (button.top() > area.bottom())
            break;
        if (!showsButton(index))
            continue;
        option.rect = button;
        option.state = QStyle::State_Item | QStyle::State_Children | enabled;
        if (isExpanded(index))
            option.state |= QStyle::State_Open;
        style()->drawPrimitive(QStyle::PE_IndicatorBranch, &option, &painter, this);
    }
}

void THETreeView::mousePressEvent(QMouseEvent* event) {
    // A click on a row's button opens or closes it and leaves the selection.
    const QPoint at = event->position().toPoint();
    const QModelIndex index = indexAt(at);
    if (event->button() == Qt::LeftButton && showsButton(index) && buttonRect(index).contains(at)) {
        setExpanded(index, !isExpanded(index));
        event->accept();
        return;
    }
    QListView::mousePressEvent(event);
}

void THETreeView::keyPressEvent(QKeyEvent* event) {
    const QModelIndex current = currentIndex();
    const TTreeNode* node = CatalogueTreeModel::nodeOf(current);
    if (node && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        switch (event->key()) {
        case Qt::Key_Right:
            // Opens a closed node; on an open one goes to its first child.
            if (!isExpanded(current) && node->HasChildren())
                setExpanded(current, true);
            else if (isExpanded(current))
                setCurrentIndex(model()->index(current.row() + 1, 0));
            event->accept();
            return;
        case Qt::Key_Left:
            // Closes an open node; on a closed one goes to its parent.
            if (isExpanded(current))
                setExpanded(current, false);
            else if (m_tree && node->Parent())
                setCurrentIndex(m_tree->indexOf(node->Parent()));
            event->accept();
            return;
        case Qt::Key_Plus:
            setExpanded(current, true);
            event->accept();
            return;
        case Qt::Key_Minus:
            setExpanded(current, false);
            event->accept();
            return;
        default:
            break;
        }
    }
    QListView::keyPressEvent(event);
}

bool THETreeView::event(QEvent* event) {
    if (WndProcFunction && WndProcFunction(event))
        return true;
    return QListView::event(event);
}

bool THETreeView::viewportEvent(QEvent* event) {
    if (WndProcFunction && WndProcFunction(event))
        return true;
    return QListView::viewportEvent(event);
}

// Qt's list view reports its rows to assistive tools as a list of its own;
// the tree reports them as its own interface numbers them, so nothing of the
// list's handling is left out but its report.
void THETreeView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QAbstractItemView::currentChanged(current, previous);
    NotifyTreeCurrentChanged(this);
}

void THETreeView::selectionChanged(const QItemSelection& selected,
                                   const QItemSelection& deselected) {
    QAbstractItemView::selectionChanged(selected, deselected);
}

void THETreeView::focusInEvent(QFocusEvent* event) {
    QListView::focusInEvent(event);
    NotifyTreeCurrentChanged(this);
}

void THETreeView::ScrollLineUp() {
    verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
}

void THETreeView::ScrollLineDown() {
    verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
}

void THETreeView::MakeTopItem(const QModelIndex& index) {
    scrollTo(index, QAbstractItemView::PositionAtTop);
}

void THETreeView::dragMoveEvent(QDragMoveEvent* event) {
    const int y = event->position().toPoint().y();
    if (y > viewport()->height() - 20)
        ScrollLineDown();
    else if (y < 20)
        ScrollLineUp();
    if (qobject_cast<THETreeView*>(event->source()))
        viewport()->update();
    QListView::dragMoveEvent(event);
}

} // namespace zentrix
