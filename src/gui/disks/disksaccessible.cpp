#include "gui/disks/disksaccessible.h"

#include "gui/disks/tloggeddrivestabset.h"
#include "gui/disks/tzentrixdrives.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>
#include <QScrollBar>
#include <QWindow>

#include <map>

namespace zentrix {
namespace {

// One entry of a program-drawn control: it has no object of its own, so it
// stands for its owner's entry at an index.
class ItemAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    ItemAccessible(QWidget* owner, int index, QAccessible::Role role)
        : m_owner(owner), m_index(index), m_role(role) {}

    bool isValid() const override { return m_owner && m_index < count(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override {
        return m_owner ? m_owner->window()->windowHandle() : nullptr;
    }
    QAccessibleInterface* parent() const override {
        return m_owner ? QAccessible::queryAccessibleInterface(m_owner.data()) : nullptr;
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString&) override {}
    QAccessible::Role role() const override { return m_role; }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

    QWidget* owner() const { return m_owner.data(); }
    int index() const { return m_index; }

protected:
    virtual int count() const = 0;

    QPointer<QWidget> m_owner;
    int m_index;
    QAccessible::Role m_role;
};

class TabAccessible final : public ItemAccessible {
public:
    TabAccessible(QWidget* owner, int index) : ItemAccessible(owner, index, QAccessible::PageTab) {}

    QString text(QAccessible::Text t) const override {
        if (!isValid())
            return {};
        const QString letter = bar()->tabText(m_index);
        switch (t) {
        case QAccessible::Name:
            return letter;
        case QAccessible::Description:
            return QString("Disk %1:").arg(letter);
        default:
            return {};
        }
    }
    QRect rect() const override {
        if (!isValid())
            return {};
        const QRect r = bar()->tabRect(m_index);
        return QRect(bar()->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        s.selectable = true;
        s.selected = m_index == bar()->currentIndex();
        s.invisible = !bar()->isVisible();
        s.offscreen = !bar()->rect().intersects(bar()->tabRect(m_index));
        return s;
    }
    void doAction(const QString& name) override {
        if (name == pressAction() && isValid())
            bar()->ClickTab(m_index);
    }

private:
    TLoggedDrivesTabSet* bar() const { return static_cast<TLoggedDrivesTabSet*>(m_owner.data()); }
    int count() const override { return m_owner ? bar()->count() : 0; }
};

class DriveAccessible final : public ItemAccessible {
public:
    DriveAccessible(QWidget* owner, int index)
        : ItemAccessible(owner, index, QAccessible::ListItem) {}

    QString text(QAccessible::Text t) const override {
        if (!isValid() || t != QAccessible::Name)
            return {};
        return list()->ItemText(m_index);
    }
    QRect rect() const override {
        if (!isValid())
            return {};
        const QRect r = list()->ItemRect(m_index);
        return QRect(list()->viewport()->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        s.selectable = true;
        s.focusable = true;
        s.selected = m_index == list()->CurrentIndex();
        s.focused = s.selected && list()->hasFocus();
        s.invisible = !list()->isVisible();
        s.offscreen = !list()->viewport()->rect().intersects(list()->ItemRect(m_index));
        return s;
    }
    void doAction(const QString& name) override {
        if (name == pressAction() && isValid())
            list()->ClickItem(m_index);
    }

private:
    TZentrixDrives* list() const { return static_cast<TZentrixDrives*>(m_owner.data()); }
    int count() const override { return m_owner ? list()->Count() : 0; }
};

// A program-drawn control whose children are its entries (its scroll bars and
// buttons are part of its drawing, not entries).
template <class Item> class OwnerAccessible : public QAccessibleWidget {
public:
    OwnerAccessible(QWidget* widget, QAccessible::Role role, std::function<int()> count,
                    std::function<int()> current)
        : QAccessibleWidget(widget, role), m_count(std::move(count)),
          m_current(std::move(current)) {}
    ~OwnerAccessible() override {
        for (const auto& [index, id] : m_children)
            QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override { return m_count(); }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= childCount())
            return nullptr;
        if (auto it = m_children.find(index); it != m_children.end()) {
            if (QAccessibleInterface* known = QAccessible::accessibleInterface(it->second))
                return known;
        }
        auto* item = new Item(widget(), index);
        m_children[index] = QAccessible::registerAccessibleInterface(item);
        return item;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const auto* item = dynamic_cast<const ItemAccessible*>(child);
        return item && item->owner() == widget() && item->index() < childCount() ? item->index()
                                                                                 : -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        for (int i = 0; i < childCount(); ++i) {
            QAccessibleInterface* c = child(i);
            if (c && c->rect().contains(x, y))
                return c;
        }
        return nullptr;
    }
    QString text(QAccessible::Text t) const override {
        // The value of the control is its selected entry.
        if (t == QAccessible::Value) {
            const int current = m_current();
            QAccessibleInterface* c = current >= 0 ? child(current) : nullptr;
            return c ? c->text(QAccessible::Name) : QString();
        }
        return QAccessibleWidget::text(t);
    }

private:
    std::function<int()> m_count;
    std::function<int()> m_current;
    mutable std::map<int, QAccessible::Id> m_children;
};

QAccessibleInterface* disksFactory(const QString& className, QObject* object) {
    if (!object || !object->isWidgetType())
        return nullptr;
    if (className == QLatin1String("zentrix::TZentrixDrives")) {
        auto* list = static_cast<TZentrixDrives*>(object);
        QPointer<TZentrixDrives> guard(list);
        return new OwnerAccessible<DriveAccessible>(
            list, QAccessible::List, [guard] { return guard ? guard->Count() : 0; },
            [guard] { return guard ? guard->CurrentIndex() : -1; });
    }
    if (className == QLatin1String("zentrix::TLoggedDrivesTabSet")) {
        auto* bar = static_cast<TLoggedDrivesTabSet*>(object);
        QPointer<TLoggedDrivesTabSet> guard(bar);
        return new OwnerAccessible<TabAccessible>(
            bar, QAccessible::PageTabList, [guard] { return guard ? guard->count() : 0; },
            [guard] { return guard ? guard->currentIndex() : -1; });
    }
    return nullptr;
}

} // namespace

void InstallDisksAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(disksFactory);
        return true;
    }();
    (void)installed;
}

} // namespace zentrix
