#include "gui/tree/cataloguetreemodel.h"

#include "catalogue/tree.h"
#include "platform/attributes.h"

#include <QApplication>
#include <QFont>
#include <QPainter>
#include <QStyle>

#include <algorithm>
#include <functional>

namespace zentrix {

namespace {

// A picture drawn at the usual sizes of the tree, each on a clear pixmap.
QIcon drawnAtTreeSizes(const std::function<void(QPainter&, int size)>& draw) {
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        draw(painter, size);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

// A folder picture drawn again: faded, and with a sheet of paper in its
// corner, as asked. Built here rather than taken from the icon theme, so that
// the three states differ whatever the theme holds.
QIcon folderPicture(const QIcon& folder, qreal opacity, bool withPaper) {
    return drawnAtTreeSizes([&](QPainter& painter, int size) {
        painter.setOpacity(opacity);
        painter.drawPixmap(0, 0, folder.pixmap(size, size));
        painter.setOpacity(1.0);
        if (!withPaper)
            return;
        const qreal w = size * 0.45, h = size * 0.55;
        const QRectF sheet(size - w - 0.5, size - h - 0.5, w, h);
        painter.setPen(QPen(QColor(60, 60, 60), std::max(1.0, size / 16.0)));
        painter.setBrush(Qt::white);
        painter.drawRect(sheet);
        for (int line = 1; line <= 3; ++line) {
            const qreal y = sheet.top() + sheet.height() * line / 4.0;
            painter.drawLine(QPointF(sheet.left() + w * 0.2, y),
                             QPointF(sheet.right() - w * 0.2, y));
        }
    });
}

// The follow mark: a small amber dot with a dark ring in the corner of a
// picture (or alone), as a badge that reads at any size.
QIcon withMark(const QIcon& base) {
    return drawnAtTreeSizes([&](QPainter& painter, int size) {
        if (!base.isNull())
            painter.drawPixmap(0, 0, base.pixmap(size, size));
        const qreal d = std::max(5.0, size * 0.45);
        painter.setPen(QPen(QColor(70, 50, 0), std::max(1.0, size / 16.0)));
        painter.setBrush(QColor(255, 176, 0));
        painter.drawEllipse(QRectF(size - d - 0.5, 0.5, d, d));
    });
}

} // namespace

QString CatalogueTreeModel::followNote(const TTreeNode* node) {
    switch (node->Follow()) {
    case FollowState::MayBeStale:
        return QStringLiteral("may be stale");
    case FollowState::NotFollowed:
        // Marked where following stops, not on every directory below.
        if (!node->Parent() || node->Parent()->Follow() != FollowState::NotFollowed)
            return QStringLiteral("not followed");
        return {};
    default:
        return {};
    }
}

CatalogueTreeModel::CatalogueTreeModel(TTree& tree, QObject* parent)
    : QAbstractItemModel(parent), m_tree(tree) {
    // Three states, each with a normal and a selected picture: unlogged (the
    // folder faded: its files are not read), logged with files (a sheet of
    // paper on it) and logged without files (the plain folder).
    const QIcon closed =
        QIcon::fromTheme("folder", qApp->style()->standardIcon(QStyle::SP_DirClosedIcon));
    const QIcon open =
        QIcon::fromTheme("folder-open", qApp->style()->standardIcon(QStyle::SP_DirOpenIcon));
    m_images[kImageUnlogged] = folderPicture(closed, 0.45, false);
    m_images[kImageUnloggedSelected] = folderPicture(open, 0.45, false);
    m_images[kImageLogged] = folderPicture(closed, 1.0, true);
    m_images[kImageLoggedSelected] = folderPicture(open, 1.0, true);
    m_images[kImageEmpty] = folderPicture(closed, 1.0, false);
    m_images[kImageEmptySelected] = folderPicture(open, 1.0, false);
    for (int i = 0; i < 8; ++i)
        if (!m_images[i].isNull())
            m_marked[i] = withMark(m_images[i]);
    m_markOnly = withMark(QIcon());
    rebuildRows();
    m_tree.AddObserver(this);
}

CatalogueTreeModel::~CatalogueTreeModel() {
    m_tree.RemoveObserver(this);
}

TTreeNode* CatalogueTreeModel::nodeOf(const QModelIndex& index) {
    return index.isValid() ? static_cast<TTreeNode*>(index.internalPointer()) : nullptr;
}

int CatalogueTreeModel::depthOf(const TTreeNode* node) {
    int depth = 0;
    for (const TTreeNode* p = node ? node->Parent() : nullptr; p; p = p->Parent())
        ++depth;
    return depth;
}

namespace {

// Whether `a` comes before `b` in display order: an ancestor before its
// descendants, otherwise by the positions of the two branches' siblings.
bool shownBefore(const TTreeNode* a, const TTreeNode* b) {
    int da = CatalogueTreeModel::depthOf(a);
    int db = CatalogueTreeModel::depthOf(b);
    for (; da > db; --da) {
        a = a->Parent();
        if (a == b)
            return false; // b is an ancestor of a
    }
    for (; db > da; --db) {
        b = b->Parent();
        if (b == a)
            return true; // a is an ancestor of b
    }
    if (a == b)
        return false;
    while (a->Parent() != b->Parent()) {
        a = a->Parent();
        b = b->Parent();
    }
    return a->Index() < b->Index();
}

} // namespace

int CatalogueTreeModel::rowOf(const TTreeNode* node) const {
    if (!node)
        return -1;
    const auto it = std::lower_bound(m_rows.begin(), m_rows.end(), node, shownBefore);
    return it != m_rows.end() && *it == node ? static_cast<int>(it - m_rows.begin()) : -1;
}

QModelIndex CatalogueTreeModel::indexOf(const TTreeNode* node) const {
    const int row = rowOf(node);
    return row < 0 ? QModelIndex() : createIndex(row, 0, const_cast<TTreeNode*>(node));
}

TTreeNode* CatalogueTreeModel::nextAfterBranch(const TTreeNode* node) const {
    for (; node; node = node->Parent()) {
        const int next = node->Index() + 1;
        if (const TTreeNode* parent = node->Parent()) {
            if (next < parent->Count())
                return parent->Item(next);
        } else if (next < m_tree.TopCount()) {
            return m_tree.Top(next);
        }
    }
    return nullptr;
}

int CatalogueTreeModel::branchEnd(const TTreeNode* node) const {
    // The node after the branch is shown whenever the node is: its ancestors
    // are among the node's, or it is a sibling of one of them.
    const int row = rowOf(nextAfterBranch(node));
    return row < 0 ? static_cast<int>(m_rows.size()) : row;
}

namespace {

// Calls `visit` for each shown descendant of a node, in display order.
template <typename F> void forEachShownBelow(TTreeNode* node, F&& visit) {
    if (!node->Expanded())
        return;
    // A work list instead of recursion: the tree may be as deep as the disk.
    std::vector<std::pair<TTreeNode*, int>> open{{node, 0}};
    while (!open.empty()) {
        auto& [parent, next] = open.back();
        if (next == parent->Count()) {
            open.pop_back();
            continue;
        }
        TTreeNode* child = parent->Item(next++);
        visit(child);
        if (child->Expanded() && child->Count() > 0)
            open.emplace_back(child, 0);
    }
}

} // namespace

void CatalogueTreeModel::appendShownBelow(TTreeNode* node, std::vector<TTreeNode*>& out) {
    forEachShownBelow(node, [&out](TTreeNode* n) { out.push_back(n); });
}

bool CatalogueTreeModel::childrenShown(const TTreeNode* parent) const {
    return !parent || (parent->Expanded() && rowOf(parent) >= 0);
}

void CatalogueTreeModel::insertShown(int row, std::vector<TTreeNode*> nodes) {
    if (nodes.empty())
        return;
    beginInsertRows({}, row, row + static_cast<int>(nodes.size()) - 1);
    m_rows.insert(m_rows.begin() + row, nodes.begin(), nodes.end());
    endInsertRows();
}

void CatalogueTreeModel::removeRows(int first, int end) {
    if (first >= end)
        return;
    beginRemoveRows({}, first, end - 1);
    m_rows.erase(m_rows.begin() + first, m_rows.begin() + end);
    endRemoveRows();
}

void CatalogueTreeModel::rebuildRows() {
    // Counted first, so that the rows of a whole disk opened take exactly
    // their room, with no larger block grown and let go on the way.
    size_t count = static_cast<size_t>(m_tree.TopCount());
    for (int i = 0; i < m_tree.TopCount(); ++i)
        forEachShownBelow(m_tree.Top(i), [&count](TTreeNode*) { ++count; });
    m_rows = {};
    m_rows.reserve(count);
    appendAllShown(m_rows);
}

void CatalogueTreeModel::appendAllShown(std::vector<TTreeNode*>& out) const {
    for (int i = 0; i < m_tree.TopCount(); ++i) {
        out.push_back(m_tree.Top(i));
        appendShownBelow(m_tree.Top(i), out);
    }
}

QModelIndex CatalogueTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0 || parent.isValid() || row >= static_cast<int>(m_rows.size()))
        return {};
    return createIndex(row, 0, m_rows[static_cast<size_t>(row)]);
}

QModelIndex CatalogueTreeModel::parent(const QModelIndex&) const {
    return {};
}

int CatalogueTreeModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CatalogueTreeModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 1;
}

Qt::ItemFlags CatalogueTreeModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable | Qt::ItemIsDropEnabled;
}

QVariant CatalogueTreeModel::data(const QModelIndex& index, int role) const {
    const TTreeNode* n = nodeOf(index);
    if (!n)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
    case Qt::AccessibleTextRole:
        return QString::fromUtf8(n->Text().data(), static_cast<qsizetype>(n->Text().size()));
    case Qt::DecorationRole: {
        const bool marked = !followNote(n).isEmpty();
        if (!m_showIcons)
            return marked ? QVariant(m_markOnly) : QVariant();
        const int image = (n == m_tree.Selected() ? n->SelectedIndex() : n->ImageIndex()) & 7;
        return marked ? m_marked[image] : m_images[image];
    }
    case Qt::ToolTipRole:
        switch (n->Follow()) {
        case FollowState::MayBeStale:
            return QStringLiteral("May be stale: there are no watches left to follow this "
                                  "directory's changes on disk. Re-log it to read it again.");
        case FollowState::NotFollowed:
            return followNote(n).isEmpty()
                       ? QVariant()
                       : QVariant(QStringLiteral("Not followed: changes here are not reported "
                                                 "to this computer. Re-log to read it again."));
        default:
            return {};
        }
    case FollowNoteRole:
        return followNote(n);
    case Qt::ForegroundRole:
        // Hidden directories are shown, a little fainter than the others.
        if (n->Attributes() & platform::kAttrHidden)
            return QApplication::palette().brush(QPalette::PlaceholderText);
        return {};
    case Qt::FontRole:
        if (n->Bold()) {
            QFont f;
            f.setBold(true);
            return f;
        }
        return {};
    default:
        return {};
    }
}

void CatalogueTreeModel::setShowIcons(bool show) {
    if (m_showIcons == show)
        return;
    beginResetModel();
    m_showIcons = show;
    endResetModel();
    emit rebuilt();
}

// Rows change when core has changed: a node inserted is placed by the node
// that follows it, which core leaves where it was; a node removed is found
// while it is still there.
void CatalogueTreeModel::nodesAboutToBeInserted(TTreeNode*, int, int) {}

void CatalogueTreeModel::nodesInserted(TTreeNode* parent, int first, int last) {
    if (childrenShown(parent)) {
        std::vector<TTreeNode*> shown;
        for (int i = first; i <= last; ++i) {
            TTreeNode* n = parent ? parent->Item(i) : m_tree.Top(i);
            shown.push_back(n);
            appendShownBelow(n, shown);
        }
        const TTreeNode* lastNode = parent ? parent->Item(last) : m_tree.Top(last);
        insertShown(branchEnd(lastNode), std::move(shown));
    }
    if (parent)
        nodeChanged(parent); // its button may have come
}

void CatalogueTreeModel::nodesAboutToBeRemoved(TTreeNode* parent, int first, int last) {
    if (!childrenShown(parent))
        return;
    const TTreeNode* firstNode = parent ? parent->Item(first) : m_tree.Top(first);
    const TTreeNode* lastNode = parent ? parent->Item(last) : m_tree.Top(last);
    const int row = rowOf(firstNode);
    if (row >= 0)
        removeRows(row, branchEnd(lastNode));
}

void CatalogueTreeModel::nodesRemoved(TTreeNode* parent, int, int) {
    if (parent)
        nodeChanged(parent); // its button may have gone
}

void CatalogueTreeModel::childrenAboutToBeReordered(TTreeNode* parent) {
    m_reorderFirst = m_reorderEnd = 0;
    if (!childrenShown(parent))
        return;
    m_reorderFirst = parent ? rowOf(parent) + 1 : 0;
    m_reorderEnd = parent ? branchEnd(parent) : static_cast<int>(m_rows.size());
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    m_reordering.clear();
    m_reorderingNodes.clear();
    for (const QModelIndex& idx : persistentIndexList())
        if (idx.row() >= m_reorderFirst && idx.row() < m_reorderEnd) {
            m_reordering.append(idx);
            m_reorderingNodes.push_back(nodeOf(idx));
        }
}

void CatalogueTreeModel::childrenReordered(TTreeNode* parent) {
    if (m_reorderFirst >= m_reorderEnd)
        return;
    std::vector<TTreeNode*> shown;
    if (parent)
        appendShownBelow(parent, shown);
    else
        appendAllShown(shown);
    std::copy(shown.begin(), shown.end(), m_rows.begin() + m_reorderFirst);
    QModelIndexList moved;
    for (TTreeNode* n : m_reorderingNodes)
        moved.append(indexOf(n));
    changePersistentIndexList(m_reordering, moved);
    m_reordering.clear();
    m_reorderingNodes.clear();
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void CatalogueTreeModel::nodeChanged(TTreeNode* node) {
    const QModelIndex i = indexOf(node);
    if (i.isValid())
        emit dataChanged(i, i);
}

void CatalogueTreeModel::nodeExpansionChanged(TTreeNode* node, bool expanded) {
    const int row = rowOf(node);
    if (row < 0)
        return; // hidden under a closed node: its rows come when that opens
    const int end = branchEnd(node);
    if (expanded && end == row + 1) {
        std::vector<TTreeNode*> shown;
        appendShownBelow(node, shown);
        insertShown(row + 1, std::move(shown));
    } else if (!expanded) {
        removeRows(row + 1, end);
    }
    const QModelIndex i = createIndex(row, 0, node);
    emit dataChanged(i, i); // its button turns
    emit expansionChanged(i, expanded);
}

void CatalogueTreeModel::selectionChanged(TTreeNode* node) {
    emit selectionMoved(indexOf(node));
}

void CatalogueTreeModel::treeAboutToBeReset() {
    beginResetModel();
}

void CatalogueTreeModel::treeReset() {
    rebuildRows();
    endResetModel();
    emit rebuilt();
}

} // namespace zentrix
