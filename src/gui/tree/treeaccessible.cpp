#include "gui/tree/treeaccessible.h"

#include "catalogue/treenode.h"
#include "gui/controls/assistivetools.h"
#include "gui/tree/cataloguetreemodel.h"
#include "gui/tree/thetreeview.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QHash>
#include <QItemSelectionModel>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QTimer>
#include <QWindow>

#include <utility>
#include <vector>

namespace zentrix {

namespace {

/// The rows the tree shows, in display order, built when first asked for after
/// a change of the model or of an open branch, and what assistive tools are
/// still to hear of. Lives as a child of the view.
class TreeRows : public QObject {
public:
    explicit TreeRows(THETreeView* view) : QObject(view), m_view(view) {
        setObjectName(QStringLiteral("zentrixTreeRows"));
    }

    static TreeRows* of(THETreeView* view) {
        auto* rows = view->findChild<TreeRows*>(QStringLiteral("zentrixTreeRows"),
                                                Qt::FindDirectChildrenOnly);
        if (!rows)
            rows = new TreeRows(view);
        rows->watchModel();
        return rows;
    }

    // The tree's model lists exactly the rows shown, in display order.
    int count() {
        pruneGone();
        return m_model ? m_model->rowCount() : 0;
    }
    QModelIndex at(int position) {
        pruneGone();
        return m_model ? m_model->index(position, 0) : QModelIndex();
    }
    int positionOf(const QModelIndex& index) {
        pruneGone();
        return index.isValid() && index.model() == m_model ? index.row() : -1;
    }

    /// The interface of a row, made once per node while the node lives.
    QAccessibleInterface* rowInterface(const QModelIndex& index);

    /// The shown rows changed: interfaces of rows that went are let go when
    /// next asked for, and assistive tools, which keep the children they were
    /// told of, hear of it once the change is complete.
    void invalidate() {
        m_pruned = false;
        if (!AssistiveToolsListening())
            return;
        m_reorderPending = true;
        schedule();
    }

    /// A row was opened or closed.
    void expansionChanged(const QModelIndex& index) {
        invalidate();
        if (AssistiveToolsListening())
            note(m_states, index);
    }

private:
    /// Rows told of one by one in a batch; beyond this many the batch is told
    /// as one change of the children, after which tools read the rows afresh.
    static constexpr int kMaxRowEvents = 16;

    struct Pending {
        std::vector<QPersistentModelIndex> rows;
        bool overflow = false;
    };

    void note(Pending& pending, const QModelIndex& index) {
        if (!index.isValid() || pending.overflow)
            return;
        if (static_cast<int>(pending.rows.size()) >= kMaxRowEvents) {
            pending.rows.clear();
            pending.overflow = true;
        } else {
            pending.rows.emplace_back(index);
        }
        schedule();
    }

    void dataChanged(const QModelIndex& first, const QModelIndex& last) {
        if (!AssistiveToolsListening() || !first.isValid())
            return;
        for (int row = first.row(); row <= last.row() && !m_data.overflow; ++row)
            note(m_data, m_model->index(row, 0));
    }

    void schedule() {
        if (m_flushScheduled)
            return;
        m_flushScheduled = true;
        QTimer::singleShot(0, this, [this] { flush(); });
    }

    void flush() {
        m_flushScheduled = false;
        const Pending states = std::exchange(m_states, {});
        const Pending data = std::exchange(m_data, {});
        const bool reorder =
            std::exchange(m_reorderPending, false) || states.overflow || data.overflow;
        if (!AssistiveToolsListening())
            return;
        if (reorder) {
            QAccessibleEvent event(m_view, QAccessible::ObjectReorder);
            TellAssistiveTools(&event);
        }
        for (const QPersistentModelIndex& index : states.rows) {
            const int position = positionOf(index);
            if (position < 0)
                continue;
            QAccessible::State changed;
            changed.expanded = true;
            changed.collapsed = true;
            QAccessibleStateChangeEvent event(m_view, changed);
            event.setChild(position);
            TellAssistiveTools(&event);
        }
        for (const QPersistentModelIndex& index : data.rows) {
            const int position = positionOf(index);
            if (position < 0)
                continue;
            for (const QAccessible::Event type :
                 {QAccessible::NameChanged, QAccessible::DescriptionChanged}) {
                QAccessibleEvent event(m_view, type);
                event.setChild(position);
                TellAssistiveTools(&event);
            }
        }
    }

    void watchModel() {
        QAbstractItemModel* model = m_view->model();
        if (model == m_model)
            return;
        if (m_model)
            disconnect(m_model, nullptr, this, nullptr);
        m_model = model;
        if (!model)
            return;
        connect(model, &QAbstractItemModel::rowsInserted, this, &TreeRows::invalidate);
        connect(model, &QAbstractItemModel::rowsRemoved, this, &TreeRows::invalidate);
        connect(model, &QAbstractItemModel::rowsMoved, this, &TreeRows::invalidate);
        connect(model, &QAbstractItemModel::layoutChanged, this, &TreeRows::invalidate);
        connect(model, &QAbstractItemModel::modelReset, this, &TreeRows::invalidate);
        connect(model, &QAbstractItemModel::dataChanged, this, &TreeRows::dataChanged);
    }

    // Interfaces of rows that went away go with them.
    void pruneGone() {
        watchModel();
        if (m_pruned)
            return;
        m_pruned = true;
        for (auto it = m_ids.begin(); it != m_ids.end();) {
            QAccessibleInterface* iface = QAccessible::accessibleInterface(*it);
            if (!iface || !iface->isValid()) {
                if (iface)
                    QAccessible::deleteAccessibleInterface(*it);
                it = m_ids.erase(it);
            } else {
                ++it;
            }
        }
    }

    THETreeView* m_view;
    QPointer<QAbstractItemModel> m_model;
    bool m_pruned = false; // no interface of a row that went is left
    bool m_reorderPending = false;
    bool m_flushScheduled = false;
    Pending m_states; // rows opened or closed
    Pending m_data;   // rows whose name or description changed
    QHash<quintptr, QAccessible::Id> m_ids;
};

/// One row of the tree, bound to its node through a persistent index.
class TreeRowAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    TreeRowAccessible(THETreeView* view, const QModelIndex& index) : m_view(view), m_index(index) {}

    bool isValid() const override { return m_view && m_index.isValid(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_view ? m_view->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override {
        return m_view ? QAccessible::queryAccessibleInterface(m_view.data()) : nullptr;
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString&) override {}
    QAccessible::Role role() const override { return QAccessible::TreeItem; }

    QString text(QAccessible::Text t) const override {
        if (!isValid())
            return {};
        if (t == QAccessible::Name)
            return m_index.data(Qt::DisplayRole).toString();
        if (t == QAccessible::Description) {
            // Where the node sits: a screen reader cannot see the indentation.
            const int depth = CatalogueTreeModel::depthOf(CatalogueTreeModel::nodeOf(m_index)) + 1;
            // A mark beside the folder (may be stale, not followed) is heard too.
            const QString level = QString("Level %1").arg(depth);
            const QString note = m_index.data(CatalogueTreeModel::FollowNoteRole).toString();
            return note.isEmpty() ? level : level + ", " + note;
        }
        return {};
    }

    QRect rect() const override {
        if (!isValid())
            return {};
        const QRect r = m_view->visualRect(m_index);
        if (r.isEmpty())
            return {};
        // The row across the tree, as a click anywhere on it selects it.
        const QRect row(0, r.top(), m_view->viewport()->width(), r.height());
        return QRect(m_view->viewport()->mapToGlobal(row.topLeft()), row.size());
    }

    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        const bool current = m_view->currentIndex() == m_index;
        s.selectable = true;
        s.focusable = true;
        s.selected =
            current || (m_view->selectionModel() && m_view->selectionModel()->isSelected(m_index));
        s.active = current;
        s.focused = current && m_view->hasFocus();
        const TTreeNode* node = CatalogueTreeModel::nodeOf(m_index);
        s.expandable = node && node->HasChildren();
        s.expanded = s.expandable && m_view->isExpanded(m_index);
        s.collapsed = s.expandable && !s.expanded;
        const QRect r = m_view->visualRect(m_index);
        s.invisible = !m_view->isVisible();
        s.offscreen = s.invisible || r.isEmpty() || !m_view->viewport()->rect().intersects(r);
        return s;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }

    // Press selects the directory, as a click does; toggle opens or closes it,
    // as a click on its button does.
    QStringList actionNames() const override {
        if (!isValid())
            return {};
        QStringList names{pressAction()};
        if (const TTreeNode* node = CatalogueTreeModel::nodeOf(m_index); node && node->HasChildren())
            names << toggleAction();
        return names;
    }
    void doAction(const QString& name) override {
        if (!isValid() || !m_view->isEnabled())
            return;
        const QModelIndex index = m_index;
        if (name == pressAction())
            m_view->setCurrentIndex(index);
        else if (name == toggleAction())
            m_view->setExpanded(index, !m_view->isExpanded(index));
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

    QModelIndex index() const { return m_index; }

private:
    QPointer<THETreeView> m_view;
    QPersistentModelIndex m_index;
};

QAccessibleInterface* TreeRows::rowInterface(const QModelIndex& index) {
    if (!index.isValid())
        return nullptr;
    if (auto it = m_ids.constFind(index.internalId()); it != m_ids.constEnd()) {
        auto* known = static_cast<TreeRowAccessible*>(QAccessible::accessibleInterface(*it));
        if (known && known->isValid() && known->index() == index)
            return known;
        if (known)
            QAccessible::deleteAccessibleInterface(*it);
    }
    auto* iface = new TreeRowAccessible(m_view, index);
    m_ids.insert(index.internalId(), QAccessible::registerAccessibleInterface(iface));
    return iface;
}

class TreeAccessible : public QAccessibleWidget {
public:
    explicit TreeAccessible(THETreeView* view) : QAccessibleWidget(view, QAccessible::Tree) {}

    int childCount() const override { return rows()->count(); }
    QAccessibleInterface* child(int index) const override {
        return rows()->rowInterface(rows()->at(index));
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        if (!child || child->role() != QAccessible::TreeItem || child->parent() != this)
            return -1;
        return rows()->positionOf(static_cast<const TreeRowAccessible*>(child)->index());
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const QPoint p = view()->viewport()->mapFromGlobal(QPoint(x, y));
        return rows()->rowInterface(view()->indexAt(p));
    }
    QAccessibleInterface* focusChild() const override {
        return view()->hasFocus() ? rows()->rowInterface(view()->currentIndex()) : nullptr;
    }
    QString text(QAccessible::Text t) const override {
        // The value of the tree is the directory selected in it.
        if (t == QAccessible::Value)
            return view()->currentIndex().data(Qt::DisplayRole).toString();
        return QAccessibleWidget::text(t);
    }

private:
    THETreeView* view() const { return static_cast<THETreeView*>(widget()); }
    TreeRows* rows() const { return TreeRows::of(view()); }
};

QAccessibleInterface* Factory(const QString& className, QObject* object) {
    if (className == QLatin1String("zentrix::THETreeView") && object && object->isWidgetType())
        return new TreeAccessible(static_cast<THETreeView*>(object));
    return nullptr;
}

} // namespace

void InstallTreeAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(&Factory);
        return true;
    }();
    (void)installed;
}

void NotifyTreeCurrentChanged(THETreeView* view) {
    if (!view || !AssistiveToolsListening() || !view->hasFocus())
        return;
    const int position = TreeRows::of(view)->positionOf(view->currentIndex());
    if (position < 0)
        return;
    QAccessibleEvent focus(view, QAccessible::Focus);
    focus.setChild(position);
    TellAssistiveTools(&focus);
    QAccessibleEvent selection(view, QAccessible::Selection);
    selection.setChild(position);
    TellAssistiveTools(&selection);
}

void NotifyTreeExpansionChanged(THETreeView* view, const QModelIndex& index) {
    if (view)
        TreeRows::of(view)->expansionChanged(index);
}

} // namespace zentrix
