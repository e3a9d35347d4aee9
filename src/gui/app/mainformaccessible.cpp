#include "gui/app/mainformaccessible.h"

#include "gui/controls/a11y.h"
#include "gui/controls/menuitemaccessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

namespace zentrix {

namespace {

const char* const kFallbackProperty = "zentrixFocusFallback";

/// The popup menus the window shows now that no menu or menu bar shows: those
/// opened where the user clicked.
QList<QMenu*> OpenPopups(const QWidget* window) {
    QList<QMenu*> open;
    for (QMenu* menu : window->findChildren<QMenu*>(Qt::FindDirectChildrenOnly)) {
        if (!menu->isVisible())
            continue;
        bool shownByMenu = false;
        for (QObject* o : menu->menuAction()->associatedObjects())
            if (auto* w = qobject_cast<QWidget*>(o);
                w && w != menu && w->isVisible() &&
                (qobject_cast<QMenu*>(w) || qobject_cast<QMenuBar*>(w)))
                shownByMenu = true;
        if (!shownByMenu)
            open.append(menu);
    }
    return open;
}

class MainWindowAccessible : public QAccessibleWidget {
public:
    explicit MainWindowAccessible(QWidget* window)
        : QAccessibleWidget(window, QAccessible::Window) {}

    int childCount() const override {
        return QAccessibleWidget::childCount() + static_cast<int>(OpenPopups(widget()).size());
    }
    QAccessibleInterface* child(int index) const override {
        const int own = QAccessibleWidget::childCount();
        if (index < own)
            return QAccessibleWidget::child(index);
        const QList<QMenu*> popups = OpenPopups(widget());
        const qsizetype i = index - own;
        return i < popups.size() ? QAccessible::queryAccessibleInterface(popups[i]) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const int own = QAccessibleWidget::indexOfChild(child);
        if (own >= 0 || !child)
            return own;
        const qsizetype i = OpenPopups(widget()).indexOf(qobject_cast<QMenu*>(child->object()));
        return i < 0 ? -1 : QAccessibleWidget::childCount() + static_cast<int>(i);
    }

    // A window takes focus requests although it never holds the focus itself.
    QStringList actionNames() const override {
        QStringList names = QAccessibleWidget::actionNames();
        if (widget()->isEnabled() && !names.contains(setFocusAction()))
            names.prepend(setFocusAction());
        return names;
    }

    void doAction(const QString& name) override {
        if (name != setFocusAction() || !widget()->isEnabled()) {
            QAccessibleWidget::doAction(name);
            return;
        }
        QWidget* window = widget();
        window->activateWindow();
        window->raise();
        // The pane that had the focus gets it back; the window itself never holds it.
        QWidget* target = window->focusWidget();
        if (!target || target == window || !target->isVisible() || !target->isEnabled())
            target = qvariant_cast<QWidget*>(window->property(kFallbackProperty));
        if (target && target->isVisible() && target->isEnabled())
            target->setFocus(Qt::OtherFocusReason);
    }
};

QAccessibleInterface* Factory(const QString& className, QObject* object) {
    if (className == QLatin1String("zentrix::TMainForm") && object && object->isWidgetType())
        return new MainWindowAccessible(static_cast<QWidget*>(object));
    return nullptr;
}

/// Tells assistive tools that the window's children changed when one of its
/// popups opens or closes.
class PopupWatcher : public QObject {
public:
    explicit PopupWatcher(QMainWindow* window) : QObject(window), m_window(window) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if ((event->type() == QEvent::Show || event->type() == QEvent::Hide) && m_window &&
            QAccessible::isActive()) {
            QAccessibleEvent reorder(m_window, QAccessible::ObjectReorder);
            QAccessible::updateAccessibility(&reorder);
        }
        return false;
    }

private:
    QPointer<QMainWindow> m_window;
};

} // namespace

void InstallMainWindowAccessibility(QMainWindow* window, QWidget* fallback) {
    static const bool installed = [] {
        QAccessible::installFactory(&Factory);
        return true;
    }();
    (void)installed;
    if (!window)
        return;
    window->setProperty(kFallbackProperty, QVariant::fromValue<QWidget*>(fallback));
    auto* watcher = new PopupWatcher(window);
    for (QMenu* menu : window->findChildren<QMenu*>(Qt::FindDirectChildrenOnly)) {
        menu->installEventFilter(watcher);
        // Items the window added by hand (the program menu's switches) too.
        MenuItemAccessible::AdoptAll(menu);
    }
    NameInternalParts(window);
}

} // namespace zentrix
