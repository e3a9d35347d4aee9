#include "gui/filewindow/filelistaccessible.h"

#include "gui/filewindow/tvirtuallistbox.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>
#include <QWindow>

namespace zentrix {
namespace {

class FileListAccessible;

/// One row of the list, bound to an entry index; everything it reports is read
/// from the list when asked.
class FileRowAccessible : public QAccessibleInterface {
public:
    FileRowAccessible(TVirtualListBox* list, int index) : m_list(list), m_index(index) {}

    bool isValid() const override { return m_list && m_index < m_list->count(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_list ? m_list->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override {
        return m_list ? QAccessible::queryAccessibleInterface(m_list) : nullptr;
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QAccessible::Role role() const override { return QAccessible::ListItem; }

    QString text(QAccessible::Text t) const override {
        if (!isValid())
            return {};
        switch (t) {
        case QAccessible::Name:
            return m_list->OnItemText ? m_list->OnItemText(m_index) : QString();
        case QAccessible::Description:
            return tagged() ? QStringLiteral("tagged") : QString();
        default:
            return {};
        }
    }
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override {
        if (!isValid())
            return {};
        const QRect r = m_list->itemRect(m_index);
        if (r.isEmpty())
            return {};
        const QRect visible(0, r.top(), m_list->viewport()->width(), r.height());
        return QRect(m_list->viewport()->mapToGlobal(visible.topLeft()), visible.size());
    }

    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        const bool current = m_index == m_list->currentIndex();
        s.selectable = true;
        s.focusable = true;
        s.selected = current;
        s.focused = current && m_list->hasFocus();
        s.active = current;
        s.checkable = true;
        s.checked = tagged();
        s.invisible = !m_list->isItemVisible(m_index);
        s.offscreen = s.invisible;
        return s;
    }

    int index() const { return m_index; }

private:
    bool tagged() const { return m_list->OnItemTagged && m_list->OnItemTagged(m_index); }

    QPointer<TVirtualListBox> m_list;
    int m_index;
};

/// The list itself; its children are the rows now visible.
class FileListAccessible : public QAccessibleWidget {
public:
    explicit FileListAccessible(QWidget* w) : QAccessibleWidget(w, QAccessible::List) {}
    ~FileListAccessible() override { clearRows(); }

    TVirtualListBox* list() const { return static_cast<TVirtualListBox*>(widget()); }

    int childCount() const override {
        const int first = firstVisible();
        int n = 0;
        while (first + n < list()->count() && list()->isItemVisible(first + n))
            ++n;
        return n;
    }

    QAccessibleInterface* child(int i) const override {
        if (i < 0 || i >= childCount())
            return nullptr;
        return row(firstVisible() + i);
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        if (!child || child->role() != QAccessible::ListItem)
            return -1;
        const int index = static_cast<const FileRowAccessible*>(child)->index();
        const int i = index - firstVisible();
        return i >= 0 && i < childCount() ? i : -1;
    }

    QAccessibleInterface* childAt(int x, int y) const override {
        const QPoint p = list()->viewport()->mapFromGlobal(QPoint(x, y));
        const int index = list()->indexAt(p);
        return index >= 0 ? row(index) : nullptr;
    }

    QAccessibleInterface* focusChild() const override {
        const int current = list()->currentIndex();
        return current >= 0 && list()->isItemVisible(current) ? row(current) : nullptr;
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.focusable = true;
        return s;
    }

    /// The interface of the row for an entry index, made on first use.
    QAccessibleInterface* row(int index) const {
        if (m_rowsForCount != list()->count())
            const_cast<FileListAccessible*>(this)->clearRows();
        auto it = m_rows.constFind(index);
        if (it != m_rows.constEnd())
            return QAccessible::accessibleInterface(*it);
        auto* iface = new FileRowAccessible(list(), index);
        const QAccessible::Id id = QAccessible::registerAccessibleInterface(iface);
        m_rows.insert(index, id);
        return iface;
    }

private:
    int firstVisible() const {
        const TVirtualListBox* l = list();
        if (l->columns() > 0)
            return (l->topIndex() / l->rowsPerColumn()) * l->rowsPerColumn();
        return l->topIndex();
    }
    // Rows are dropped whenever the list's entries change (a new count), so
    // that the cache never outgrows the window.
    void clearRows() {
        for (QAccessible::Id id : std::as_const(m_rows))
            QAccessible::deleteAccessibleInterface(id);
        m_rows.clear();
        m_rowsForCount = list() ? list()->count() : 0;
    }

    mutable QHash<int, QAccessible::Id> m_rows;
    mutable int m_rowsForCount = -1;
};

QAccessibleInterface* factory(const QString& className, QObject* object) {
    if (className == QLatin1String("zentrix::TVirtualListBox") && object->isWidgetType())
        return new FileListAccessible(static_cast<QWidget*>(object));
    return nullptr;
}

} // namespace

void InstallFileListAccessibility() {
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(factory);
}

void NotifyCurrentRowChanged(TVirtualListBox* list) {
    if (!QAccessible::isActive() || !list)
        return;
    auto* iface = static_cast<FileListAccessible*>(QAccessible::queryAccessibleInterface(list));
    if (!iface)
        return;
    const int current = list->currentIndex();
    if (current < 0 || !list->isItemVisible(current))
        return;
    QAccessibleInterface* row = iface->row(current);
    const int child = iface->indexOfChild(row);
    QAccessibleEvent focus(list, QAccessible::Focus);
    focus.setChild(child);
    QAccessible::updateAccessibility(&focus);
    QAccessibleEvent selection(list, QAccessible::Selection);
    selection.setChild(child);
    QAccessible::updateAccessibility(&selection);
}

} // namespace zentrix
