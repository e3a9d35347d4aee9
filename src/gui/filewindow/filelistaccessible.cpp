#include "gui/filewindow/filelistaccessible.h"

#include "filewindow/filecolumns.h"
#include "gui/filewindow/fileheader.h"
#include "gui/filewindow/tvirtuallistbox.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>
#include <QWindow>

#include <algorithm>
#include <vector>

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
        // One entry a line: the line across the window. In the column formats
        // the entry's own column.
        const QRect visible =
            m_list->columns() > 0 ? r : QRect(0, r.top(), m_list->viewport()->width(), r.height());
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

    /// Without rows, what the window says in their place ("Not logged yet ...").
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value && list()->count() == 0)
            return list()->placeholderText();
        return QAccessibleWidget::text(t);
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

/// One section of the file window's header: its caption, whether the window is
/// sorted by it, and a press that sorts as a click on it does.
class HeaderSectionAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    HeaderSectionAccessible(FileHeader* header, int section)
        : m_header(header), m_section(section) {}

    bool isValid() const override { return !m_header.isNull(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override {
        return m_header ? m_header->window()->windowHandle() : nullptr;
    }
    QAccessibleInterface* parent() const override {
        return m_header ? QAccessible::queryAccessibleInterface(m_header.data()) : nullptr;
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString&) override {}
    QAccessible::Role role() const override { return QAccessible::ColumnHeader; }

    QString text(QAccessible::Text t) const override {
        if (!m_header)
            return {};
        if (t == QAccessible::Name) {
            const std::string_view caption =
                kFileHeaderSections[static_cast<size_t>(m_section)].text;
            return QString::fromUtf8(caption.data(), static_cast<int>(caption.size()));
        }
        if (t == QAccessible::Description) {
            const auto [key, reversed] = sortState();
            if (key != m_section)
                return QStringLiteral("Click to sort by this column");
            return reversed ? QStringLiteral("Sorted by this column, reversed")
                            : QStringLiteral("Sorted by this column");
        }
        return {};
    }

    QRect rect() const override {
        if (!m_header)
            return {};
        const int x = m_header->sectionViewportPosition(m_section);
        const QRect r(x, 0, m_header->sectionSize(m_section), m_header->height());
        return QRect(m_header->viewport()->mapToGlobal(r.topLeft()), r.size());
    }

    QAccessible::State state() const override {
        QAccessible::State s;
        if (!m_header) {
            s.invalid = true;
            return s;
        }
        const QRect r = rect();
        s.invisible = !m_header->isVisible() || m_header->isSectionHidden(m_section);
        s.offscreen = s.invisible || !QRect(m_header->viewport()->mapToGlobal(QPoint(0, 0)),
                                            m_header->viewport()->size())
                                          .intersects(r);
        s.selected = sortState().first == m_section;
        return s;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override {
        if (m_header && name == pressAction() && m_header->sectionsClickable())
            emit m_header->sectionClicked(m_section);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

    int section() const { return m_section; }

private:
    std::pair<int, bool> sortState() const {
        return m_header && m_header->SortState ? m_header->SortState()
                                               : std::pair<int, bool>{-1, false};
    }

    QPointer<FileHeader> m_header;
    int m_section;
};

/// The header: its children are the sections it shows, in their order.
class FileHeaderAccessible : public QAccessibleWidget {
public:
    explicit FileHeaderAccessible(FileHeader* header)
        : QAccessibleWidget(header, QAccessible::Client) {}
    ~FileHeaderAccessible() override {
        for (QAccessible::Id id : std::as_const(m_ids))
            QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override { return static_cast<int>(shown().size()); }
    QAccessibleInterface* child(int index) const override {
        const std::vector<int> sections = shown();
        if (index < 0 || index >= static_cast<int>(sections.size()))
            return nullptr;
        const int section = sections[static_cast<size_t>(index)];
        if (auto it = m_ids.constFind(section); it != m_ids.constEnd())
            if (QAccessibleInterface* known = QAccessible::accessibleInterface(*it))
                return known;
        auto* iface = new HeaderSectionAccessible(header(), section);
        m_ids.insert(section, QAccessible::registerAccessibleInterface(iface));
        return iface;
    }
    int indexOfChild(const QAccessibleInterface* c) const override {
        if (!c || c->role() != QAccessible::ColumnHeader || c->parent() != this)
            return -1;
        const int section = static_cast<const HeaderSectionAccessible*>(c)->section();
        const std::vector<int> sections = shown();
        const auto it = std::find(sections.begin(), sections.end(), section);
        return it == sections.end() ? -1 : static_cast<int>(it - sections.begin());
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const QPoint p = header()->viewport()->mapFromGlobal(QPoint(x, y));
        const int section = header()->logicalIndexAt(p);
        const std::vector<int> sections = shown();
        const auto it = std::find(sections.begin(), sections.end(), section);
        return it == sections.end() ? nullptr : child(static_cast<int>(it - sections.begin()));
    }

private:
    FileHeader* header() const { return static_cast<FileHeader*>(widget()); }
    std::vector<int> shown() const {
        std::vector<int> sections;
        for (int visual = 0; visual < header()->count(); ++visual) {
            const int logical = header()->logicalIndex(visual);
            if (logical >= 0 && logical < kHeaderSectionCount &&
                !header()->isSectionHidden(logical))
                sections.push_back(logical);
        }
        return sections;
    }

    mutable QHash<int, QAccessible::Id> m_ids;
};

QAccessibleInterface* factory(const QString& className, QObject* object) {
    if (className == QLatin1String("zentrix::TVirtualListBox") && object->isWidgetType())
        return new FileListAccessible(static_cast<QWidget*>(object));
    if (className == QLatin1String("zentrix::FileHeader") && object->isWidgetType())
        return new FileHeaderAccessible(static_cast<FileHeader*>(object));
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
