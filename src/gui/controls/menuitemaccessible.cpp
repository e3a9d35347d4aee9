#include "gui/controls/menuitemaccessible.h"

#include "config/menutable.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>
#include <QWindow>

namespace zentrix {
namespace {

const char* const kAdoptedProperty = "zentrixMenuItem";
const char* const kKnownEnabled = "zentrixA11yEnabled";
const char* const kKnownText = "zentrixA11yText";

QAccessibleInterface* Factory(const QString& className, QObject* object) {
    if (className != QLatin1String("QAction") || !object ||
        !object->property(kAdoptedProperty).toBool())
        return nullptr;
    return new MenuItemAccessible(static_cast<QAction*>(object));
}

QRect ActionRect(QWidget* owner, QAction* action) {
    QRect r;
    if (auto* menu = qobject_cast<QMenu*>(owner))
        r = menu->actionGeometry(action);
    else if (auto* bar = qobject_cast<QMenuBar*>(owner))
        r = bar->actionGeometry(action);
    if (r.isNull())
        return {};
    return QRect(owner->mapToGlobal(r.topLeft()), r.size());
}

QAction* ActiveAction(QWidget* owner) {
    if (auto* menu = qobject_cast<QMenu*>(owner))
        return menu->activeAction();
    if (auto* bar = qobject_cast<QMenuBar*>(owner))
        return bar->activeAction();
    return nullptr;
}

} // namespace

bool MenuComponentIdsWanted() {
    return qgetenv("ZENTRIX_A11Y_IDS") == "1";
}

MenuItemAccessible::MenuItemAccessible(QAction* action) : m_action(action) {}

void MenuItemAccessible::Adopt(QAction* action) {
    static const bool installed = [] {
        QAccessible::installFactory(&Factory);
        return true;
    }();
    (void)installed;
    if (!action || action->property(kAdoptedProperty).toBool())
        return;
    action->setProperty(kAdoptedProperty, true);
    // Assistive tools keep what they were told of an item: every change of its
    // check mark, availability or caption is told again.
    action->setProperty(kKnownEnabled, action->isEnabled());
    action->setProperty(kKnownText, action->text());
    QObject::connect(action, &QAction::toggled, action, [action] {
        if (!QAccessible::isActive())
            return;
        QAccessible::State changed;
        changed.checked = true;
        QAccessibleStateChangeEvent event(action, changed);
        QAccessible::updateAccessibility(&event);
    });
    QObject::connect(action, &QAction::changed, action, [action] {
        const bool enabled = action->isEnabled();
        const QString text = action->text();
        const bool enabledChanged = action->property(kKnownEnabled).toBool() != enabled;
        const bool textChanged = action->property(kKnownText).toString() != text;
        action->setProperty(kKnownEnabled, enabled);
        action->setProperty(kKnownText, text);
        if (!QAccessible::isActive())
            return;
        if (enabledChanged) {
            QAccessible::State changed;
            changed.disabled = true;
            QAccessibleStateChangeEvent event(action, changed);
            QAccessible::updateAccessibility(&event);
        }
        if (textChanged) {
            QAccessibleEvent event(action, QAccessible::NameChanged);
            QAccessible::updateAccessibility(&event);
        }
    });
}

void MenuItemAccessible::AdoptAll(QMenu* menu) {
    if (!menu)
        return;
    for (QAction* a : menu->actions()) {
        Adopt(a);
        if (a->menu())
            AdoptAll(a->menu());
    }
}

void MenuItemAccessible::NotifyShown(QAction* action, bool shown) {
    if (!action || !QAccessible::isActive())
        return;
    QAccessibleEvent event(action, shown ? QAccessible::ObjectShow : QAccessible::ObjectHide);
    QAccessible::updateAccessibility(&event);
    QAccessible::State changed;
    changed.invisible = true;
    QAccessibleStateChangeEvent state(action, changed);
    QAccessible::updateAccessibility(&state);
}

QWidget* MenuItemAccessible::owner() const {
    if (!m_action)
        return nullptr;
    // An item can sit in several menus at once (a menu bar hands the items it has
    // no room for to a hidden overflow menu): the one that shows it counts, then
    // the menu bar, then any.
    QWidget* bar = nullptr;
    QWidget* any = nullptr;
    for (QObject* o : m_action->associatedObjects()) {
        auto* w = qobject_cast<QWidget*>(o);
        if (!w || !(qobject_cast<QMenu*>(w) || qobject_cast<QMenuBar*>(w)) || w == m_action->menu())
            continue;
        if (w->isVisible())
            return w;
        if (!bar && qobject_cast<QMenuBar*>(w))
            bar = w;
        if (!any)
            any = w;
    }
    return bar ? bar : any;
}

bool MenuItemAccessible::isValid() const {
    return !m_action.isNull();
}

QObject* MenuItemAccessible::object() const {
    return m_action;
}

QWindow* MenuItemAccessible::window() const {
    QWidget* w = owner();
    return w ? w->window()->windowHandle() : nullptr;
}

QAccessibleInterface* MenuItemAccessible::childAt(int, int) const {
    return nullptr;
}

QAccessibleInterface* MenuItemAccessible::parent() const {
    QWidget* w = owner();
    return w ? QAccessible::queryAccessibleInterface(w) : nullptr;
}

QAccessibleInterface* MenuItemAccessible::child(int index) const {
    if (index == 0 && m_action && m_action->menu())
        return QAccessible::queryAccessibleInterface(m_action->menu());
    return nullptr;
}

int MenuItemAccessible::childCount() const {
    return m_action && m_action->menu() ? 1 : 0;
}

int MenuItemAccessible::indexOfChild(const QAccessibleInterface* child) const {
    return child && m_action && m_action->menu() && child->object() == m_action->menu() ? 0 : -1;
}

QString MenuItemAccessible::keyText() const {
    if (!m_action)
        return {};
    if (!m_action->shortcut().isEmpty())
        return m_action->shortcut().toString(QKeySequence::NativeText);
    const QString text = m_action->text();
    const qsizetype tab = text.indexOf(QLatin1Char('\t'));
    if (tab >= 0)
        return text.mid(tab + 1);
    return QKeySequence::mnemonic(text).toString(QKeySequence::NativeText);
}

QString MenuItemAccessible::text(QAccessible::Text t) const {
    if (!m_action)
        return {};
    switch (t) {
    case QAccessible::Name:
        return QString::fromStdString(PlainCaption(m_action->text().toStdString()));
    case QAccessible::Accelerator:
        return keyText();
    case QAccessible::Description:
        if (MenuComponentIdsWanted() && !m_action->objectName().isEmpty())
            return m_action->objectName();
        return m_action->statusTip();
    default:
        return {};
    }
}

void MenuItemAccessible::setText(QAccessible::Text, const QString&) {}

QRect MenuItemAccessible::rect() const {
    QWidget* w = owner();
    return w && m_action ? ActionRect(w, m_action) : QRect();
}

QAccessible::Role MenuItemAccessible::role() const {
    return m_action && m_action->isSeparator() ? QAccessible::Separator : QAccessible::MenuItem;
}

QAccessible::State MenuItemAccessible::state() const {
    QAccessible::State s;
    if (!m_action)
        return s;
    QWidget* w = owner();
    if (!w || !w->isVisible() || !m_action->isVisible())
        s.invisible = true;
    if (!m_action->isEnabled())
        s.disabled = true;
    s.focusable = !m_action->isSeparator();
    if (w && ActiveAction(w) == m_action)
        s.focused = true;
    if (m_action->isCheckable()) {
        s.checkable = true;
        s.checked = m_action->isChecked();
    }
    if (m_action->menu())
        s.hasPopup = true;
    return s;
}

void* MenuItemAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::ActionInterface)
        return static_cast<QAccessibleActionInterface*>(this);
    return nullptr;
}

QStringList MenuItemAccessible::actionNames() const {
    if (!m_action || !m_action->isEnabled() || m_action->isSeparator())
        return {};
    return {m_action->menu() ? showMenuAction() : pressAction()};
}

void MenuItemAccessible::doAction(const QString& actionName) {
    if (!m_action || !m_action->isEnabled())
        return;
    if (actionName == pressAction() && !m_action->menu()) {
        // As a click would: the open menus close before the command runs.
        for (auto* menu = qobject_cast<QMenu*>(owner()); menu;
             menu = qobject_cast<QMenu*>(menu->parentWidget()))
            menu->hide();
        m_action->trigger();
    } else if (actionName == showMenuAction() && m_action->menu()) {
        if (auto* menu = qobject_cast<QMenu*>(owner()))
            menu->setActiveAction(m_action);
        else if (auto* bar = qobject_cast<QMenuBar*>(owner()))
            bar->setActiveAction(m_action);
    }
}

QStringList MenuItemAccessible::keyBindingsForAction(const QString& actionName) const {
    if (actionName != pressAction() || !m_action || m_action->shortcut().isEmpty())
        return {};
    return {m_action->shortcut().toString(QKeySequence::NativeText)};
}

} // namespace zentrix
