#include "gui/app/statusbaraccessible.h"

#include "gui/app/mainstatusbar.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>
#include <QWindow>

#include <array>

namespace zentrix {

namespace {

int Percent(const TMainStatusBar* bar) {
    return static_cast<int>(100 * bar->position() / std::max<int64_t>(1, bar->total()));
}

/// One panel of the status line. It has no object of its own: it stands for
/// its panel of the bar and reads everything from the bar when asked.
class PanelAccessible : public QAccessibleInterface,
                        public QAccessibleActionInterface,
                        public QAccessibleValueInterface {
public:
    PanelAccessible(TMainStatusBar* bar, StatusPanel panel) : m_bar(bar), m_panel(panel) {}

    bool isValid() const override { return !m_bar.isNull(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_bar ? m_bar->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override {
        return m_bar ? QAccessible::queryAccessibleInterface(m_bar.data()) : nullptr;
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString&) override {}

    QAccessible::Role role() const override {
        switch (m_panel) {
        case StatusPanel::Progress:
            return QAccessible::ProgressBar;
        case StatusPanel::Stop:
            return QAccessible::Button;
        default:
            return QAccessible::StaticText;
        }
    }

    QString text(QAccessible::Text t) const override {
        if (!m_bar)
            return {};
        if (t == QAccessible::Value && m_panel == StatusPanel::Progress)
            return QString("%1%").arg(Percent(m_bar));
        if (t == QAccessible::Description && m_panel == StatusPanel::Stop)
            return QStringLiteral("Stops the operation that runs");
        if (t != QAccessible::Name)
            return {};
        auto captioned = [](const QString& caption, const QString& value) {
            return value.isEmpty() ? caption : caption + QStringLiteral(": ") + value;
        };
        switch (m_panel) {
        case StatusPanel::Hint:
            return captioned(QStringLiteral("Hint"), m_bar->hint());
        case StatusPanel::Progress:
            return QStringLiteral("Progress");
        case StatusPanel::Stop:
            return QStringLiteral("STOP");
        case StatusPanel::User:
            return captioned(QStringLiteral("User"), m_bar->userName());
        }
        return {};
    }

    QRect rect() const override {
        if (!m_bar)
            return {};
        const QRect r = m_bar->panelRect(static_cast<int>(m_panel));
        return QRect(m_bar->mapToGlobal(r.topLeft()), r.size());
    }

    QAccessible::State state() const override {
        QAccessible::State s;
        if (!m_bar) {
            s.invalid = true;
            return s;
        }
        s.invisible = !m_bar->isVisible();
        if (m_panel == StatusPanel::Stop) {
            // Hidden while no long operation runs: then it is neither shown nor usable.
            s.invisible = s.invisible || !m_bar->stopShown();
            s.disabled = !m_bar->stopShown();
        }
        s.readOnly = m_panel != StatusPanel::Stop;
        return s;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ActionInterface && m_panel == StatusPanel::Stop)
            return static_cast<QAccessibleActionInterface*>(this);
        if (type == QAccessible::ValueInterface && m_panel == StatusPanel::Progress)
            return static_cast<QAccessibleValueInterface*>(this);
        return nullptr;
    }

    // "STOP" is pressed as a click on it would be.
    QStringList actionNames() const override {
        return m_bar && m_bar->stopShown() ? QStringList{pressAction()} : QStringList{};
    }
    void doAction(const QString& name) override {
        if (m_bar && name == pressAction())
            m_bar->PressStop();
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

    // The progress in percent.
    QVariant currentValue() const override { return m_bar ? Percent(m_bar) : 0; }
    void setCurrentValue(const QVariant&) override {}
    QVariant maximumValue() const override { return 100; }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }

private:
    QPointer<TMainStatusBar> m_bar;
    StatusPanel m_panel;
};

class StatusBarAccessible : public QAccessibleWidget {
public:
    explicit StatusBarAccessible(TMainStatusBar* bar)
        : QAccessibleWidget(bar, QAccessible::StatusBar) {}
    ~StatusBarAccessible() override {
        for (QAccessible::Id id : m_ids)
            if (id)
                QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override { return static_cast<int>(m_ids.size()); }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= childCount())
            return nullptr;
        QAccessible::Id& id = m_ids[static_cast<size_t>(index)];
        if (QAccessibleInterface* known = id ? QAccessible::accessibleInterface(id) : nullptr)
            return known;
        auto* panel = new PanelAccessible(bar(), static_cast<StatusPanel>(index));
        id = QAccessible::registerAccessibleInterface(panel);
        return panel;
    }
    int indexOfChild(const QAccessibleInterface* c) const override {
        for (int i = 0; i < childCount(); ++i)
            if (m_ids[static_cast<size_t>(i)] &&
                QAccessible::accessibleInterface(m_ids[static_cast<size_t>(i)]) == c)
                return i;
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        for (int i = 0; i < childCount(); ++i)
            if (QAccessibleInterface* c = child(i); c && c->rect().contains(x, y))
                return c;
        return nullptr;
    }
    QString text(QAccessible::Text t) const override {
        if (t != QAccessible::Value)
            return QAccessibleWidget::text(t);
        // All panels at once, for tools that read the line as one value.
        return QStringList{bar()->hint(), QString("%1%").arg(Percent(bar())),
                           bar()->stopShown() ? "STOP" : "", bar()->userName()}
            .join(" | ");
    }

private:
    TMainStatusBar* bar() const { return static_cast<TMainStatusBar*>(widget()); }
    mutable std::array<QAccessible::Id, 4> m_ids{};
};

QAccessibleInterface* Factory(const QString& className, QObject* object) {
    if (className == QLatin1String("zentrix::TMainStatusBar") && object && object->isWidgetType())
        return new StatusBarAccessible(static_cast<TMainStatusBar*>(object));
    return nullptr;
}

} // namespace

void InstallStatusBarAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(&Factory);
        return true;
    }();
    (void)installed;
}

void NotifyStatusPanelChanged(TMainStatusBar* bar, StatusPanel panel) {
    if (!bar || !QAccessible::isActive())
        return;
    const int child = static_cast<int>(panel);
    switch (panel) {
    case StatusPanel::Progress: {
        QAccessibleValueChangeEvent changed(bar, Percent(bar));
        changed.setChild(child);
        QAccessible::updateAccessibility(&changed);
        break;
    }
    case StatusPanel::Stop: {
        QAccessibleEvent shown(bar, bar->stopShown() ? QAccessible::ObjectShow
                                                     : QAccessible::ObjectHide);
        shown.setChild(child);
        QAccessible::updateAccessibility(&shown);
        QAccessible::State changed;
        changed.disabled = true;
        changed.invisible = true;
        QAccessibleStateChangeEvent state(bar, changed);
        state.setChild(child);
        QAccessible::updateAccessibility(&state);
        break;
    }
    default: {
        QAccessibleEvent named(bar, QAccessible::NameChanged);
        named.setChild(child);
        QAccessible::updateAccessibility(&named);
        break;
    }
    }
    // The line's own value sums the panels up.
    QAccessibleValueChangeEvent whole(
        bar, QAccessible::queryAccessibleInterface(bar)->text(QAccessible::Value));
    QAccessible::updateAccessibility(&whole);
}

} // namespace zentrix
