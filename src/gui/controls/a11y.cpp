#include "gui/controls/a11y.h"

#include "gui/controls/labelaccessible.h"

#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QAccessible>
#include <QByteArray>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QStackedWidget>
#include <QString>
#include <QTabWidget>
#include <QWidget>

namespace zentrix {

namespace {

const char* const kAnnouncedName = "zentrixAnnouncedName";

/// Watches widgets whose accessible name follows their contents. Qt sends no
/// event when a label's text or a group box's title changes, so the name is
/// compared whenever the widget paints or shows (a changed text is always
/// painted) and a change is announced then.
class NameWatcher : public QObject {
public:
    static NameWatcher& instance() {
        static auto* watcher = new NameWatcher;
        return *watcher;
    }

    void watch(QWidget* widget) {
        if (widget->property(kAnnouncedName).isValid())
            return;
        widget->setProperty(kAnnouncedName, currentName(widget));
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if ((event->type() == QEvent::Paint || event->type() == QEvent::Show) &&
            QAccessible::isActive() && watched->isWidgetType())
            check(static_cast<QWidget*>(watched));
        return false;
    }

private:
    static QString currentName(QWidget* widget) {
        if (!QAccessible::isActive())
            return {};
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
        return iface ? iface->text(QAccessible::Name) : QString();
    }

    void check(QWidget* widget) {
        const QString name = currentName(widget);
        const QString before = widget->property(kAnnouncedName).toString();
        if (name == before)
            return;
        widget->setProperty(kAnnouncedName, name);
        QAccessibleEvent named(widget, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&named);
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            QAccessibleTextUpdateEvent text(label, 0, LabelAccessible::plainText(label, before),
                                            LabelAccessible::plainText(label, label->text()));
            QAccessible::updateAccessibility(&text);
        }
    }
};

void NameIfUnnamed(QWidget* widget, const QString& name) {
    if (widget && widget->accessibleName().isEmpty() && !name.isEmpty())
        widget->setAccessibleName(name);
}

QString OwnerName(QWidget* widget) {
    // The nearest control above with a name (a scroll bar's container belongs to
    // its scroll area, and so on).
    for (QWidget* w = widget ? widget->parentWidget() : nullptr; w; w = w->parentWidget()) {
        if (!w->accessibleName().isEmpty())
            return w->accessibleName();
        if (w->isWindow())
            return w->windowTitle();
    }
    return {};
}

} // namespace

bool A11yIdsEnabled() {
    // Read at every call: components are named only while windows are built.
    return qgetenv("ZENTRIX_A11Y_IDS") == "1";
}

QPushButton* NamedButton(const char* componentName, const QString& caption, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    NameComponent(b, componentName, QString(caption).remove('&'));
    b->setAutoDefault(false);
    return b;
}

void NameComponent(QWidget* widget, const char* componentName, const QString& accessibleName) {
    if (!widget)
        return;
    InstallControlAccessibility();
    widget->setObjectName(QString::fromLatin1(componentName));
    widget->setAccessibleName(accessibleName);
    if (A11yIdsEnabled())
        widget->setAccessibleDescription(QString::fromLatin1(componentName));
}

void MarkValueLabel(QLabel* label, const QString& caption) {
    if (!label)
        return;
    InstallControlAccessibility();
    // A value (a path, a name, a label read from a disk) is shown as it is,
    // never as markup.
    label->setTextFormat(Qt::PlainText);
    // The name is made from caption and text when asked for; a fixed name would
    // hide the value.
    label->setAccessibleName(QString());
    label->setProperty(LabelAccessible::kCaptionProperty, caption);
    AnnounceNameChanges(label);
}

void NameValueLabel(QLabel* label, const char* componentName, const QString& caption) {
    if (!label)
        return;
    NameComponent(label, componentName, QString());
    MarkValueLabel(label, caption);
}

void AnnounceNameChanges(QWidget* widget) {
    if (widget)
        NameWatcher::instance().watch(widget);
}

void NameInternalParts(QWidget* root) {
    if (!root)
        return;
    InstallControlAccessibility();
    const QList<QWidget*> all = root->findChildren<QWidget*>();
    for (QWidget* w : all) {
        const QString id = w->objectName();
        if (id == QLatin1String("qt_scrollarea_hcontainer"))
            NameIfUnnamed(w, QStringLiteral("Horizontal scroll bar"));
        else if (id == QLatin1String("qt_scrollarea_vcontainer"))
            NameIfUnnamed(w, QStringLiteral("Vertical scroll bar"));
        else if (auto* bar = qobject_cast<QScrollBar*>(w))
            NameIfUnnamed(bar, bar->orientation() == Qt::Horizontal
                                   ? QStringLiteral("Horizontal scroll bar")
                                   : QStringLiteral("Vertical scroll bar"));
        else if (id == QLatin1String("qt_scrollarea_viewport") ||
                 id == QLatin1String("qt_tabwidget_stackedwidget") ||
                 id == QLatin1String("qt_tabwidget_tabbar"))
            NameIfUnnamed(w, OwnerName(w));
    }
    // Combo boxes last: their text fields and lists take the box's own name.
    for (QComboBox* box : root->findChildren<QComboBox*>()) {
        const QString name =
            box->accessibleName().isEmpty() ? OwnerName(box) : box->accessibleName();
        if (QLineEdit* edit = box->lineEdit())
            NameIfUnnamed(edit, name);
        if (QAbstractItemView* list = box->view())
            NameIfUnnamed(list, name + QStringLiteral(" list"));
    }
}

void InstallControlAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(&ControlAccessibleFactory);
        return true;
    }();
    (void)installed;
}

} // namespace zentrix
