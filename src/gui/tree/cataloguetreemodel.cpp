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
    m_tree.AddObserver(this);
}

CatalogueTreeModel::~CatalogueTreeModel() {
    m_tree.RemoveObserver(this);
}

TTreeNode* CatalogueTreeModel::nodeOf(const QModelIndex& index) {
    return index.isValid() ? static_cast<TTreeNode*>(index.internalPointer()) : nullptr;
}

QModelIndex CatalogueTreeModel::indexOf(const TTreeNode* node) const {
    if (!node)
        return {};
    return createIndex(node->Index(), 0, const_cast<TTreeNode*>(node));
}

QModelIndex CatalogueTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0)
        return {};
    if (!parent.isValid())
        return row < m_tree.TopCount() ? createIndex(row, 0, m_tree.Top(row)) : QModelIndex();
    TTreeNode* p = nodeOf(parent);
    return row < p->Count() ? createIndex(row, 0, p->Item(row)) : QModelIndex();
}

QModelIndex CatalogueTreeModel::parent(const QModelIndex& child) const {
    TTreeNode* n = nodeOf(child);
    return n && n->Parent() ? indexOf(n->Parent()) : QModelIndex();
}

int CatalogueTreeModel::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid())
        return m_tree.TopCount();
    return parent.column() == 0 ? nodeOf(parent)->Count() : 0;
}

int CatalogueTreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

bool CatalogueTreeModel::hasChildren(const QModelIndex& parent) const {
    if (!parent.isValid())
        return m_tree.TopCount() > 0;
    return nodeOf(parent)->HasChildren();
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

void CatalogueTreeModel::nodesAboutToBeInserted(TTreeNode* parent, int first, int last) {
    beginInsertRows(indexOf(parent), first, last);
}
void CatalogueTreeModel::nodesInserted(TTreeNode*, int, int) {
    endInsertRows();
}
void CatalogueTreeModel::nodesAboutToBeRemoved(TTreeNode* parent, int first, int last) {
    beginRemoveRows(indexOf(parent), first, last);
}
void CatalogueTreeModel::nodesRemoved(TTreeNode*, int, int) {
    endRemoveRows();
}

void CatalogueTreeModel::childrenAboutToBeReordered(TTreeNode* parent) {
    const QModelIndex p = indexOf(parent);
    emit layoutAboutToBeChanged({QPersistentModelIndex(p)});
    m_reorderParent = parent;
    m_reordering.clear();
    for (const QModelIndex& idx : persistentIndexList())
        if (idx.parent() == p)
            m_reordering.append({QPersistentModelIndex(idx), nodeOf(idx)});
}

void CatalogueTreeModel::childrenReordered(TTreeNode* parent) {
    for (const auto& [old, node] : m_reordering)
        if (old.isValid())
            changePersistentIndex(old, indexOf(node));
    m_reordering.clear();
    m_reorderParent = nullptr;
    emit layoutChanged({QPersistentModelIndex(indexOf(parent))});
}

void CatalogueTreeModel::nodeChanged(TTreeNode* node) {
    const QModelIndex i = indexOf(node);
    emit dataChanged(i, i);
}

void CatalogueTreeModel::nodeExpansionChanged(TTreeNode* node, bool expanded) {
    emit expansionChanged(indexOf(node), expanded);
}

void CatalogueTreeModel::selectionChanged(TTreeNode* node) {
    emit selectionMoved(indexOf(node));
}

void CatalogueTreeModel::treeAboutToBeReset() {
    beginResetModel();
}

void CatalogueTreeModel::treeReset() {
    endResetModel();
    emit rebuilt();
}

} // namespace zentrix
