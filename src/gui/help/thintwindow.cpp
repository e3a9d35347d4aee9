#include "gui/help/thintwindow.h"

#include "gui/controls/a11y.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QVBoxLayout>

namespace zentrix {

namespace {

// A hint is a tool tip to assistive tools, which speak one when it shows.
QAccessibleInterface* Factory(const QString& className, QObject* object) {
    if (className == QLatin1String("zentrix::THintWindow") && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::ToolTip);
    return nullptr;
}

QPointer<THintWindow>& Shown() {
    static QPointer<THintWindow> shown;
    return shown;
}

} // namespace

THintWindow::THintWindow(const QString& html, QWidget* owner,
                         std::function<void(const QString&)> onLink)
    : QFrame(owner, Qt::ToolTip | Qt::FramelessWindowHint), m_onLink(std::move(onLink)) {
    static const bool installed = [] {
        QAccessible::installFactory(&Factory);
        return true;
    }();
    (void)installed;
    NameComponent(this, "HintWindow", "What is this?");
    setAttribute(Qt::WA_DeleteOnClose);
    setFrameShape(QFrame::Box);
    setBackgroundRole(QPalette::ToolTipBase);
    setForegroundRole(QPalette::ToolTipText);
    setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 6);
    lbHint = new QLabel(html, this);
    NameValueLabel(lbHint, "lbHint", QString());
    lbHint->setTextFormat(Qt::RichText);
    lbHint->setWordWrap(true);
    lbHint->setMaximumWidth(380);
    lbHint->setForegroundRole(QPalette::ToolTipText);
    lbHint->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    connect(lbHint, &QLabel::linkActivated, this, [this](const QString& link) {
        const auto onLink = m_onLink;
        close();
        if (onLink)
            onLink(link);
    });
    layout->addWidget(lbHint);
    qApp->installEventFilter(this);
}

THintWindow* THintWindow::ShowHint(const QString& html, const QPoint& globalPos, QWidget* owner,
                                   std::function<void(const QString&)> onLink) {
    if (Shown())
        Shown()->close();
    auto* hint = new THintWindow(html, owner, std::move(onLink));
    hint->adjustSize();
    // Below and right of the point, kept on its screen.
    QRect r(globalPos + QPoint(4, 8), hint->sizeHint());
    if (QScreen* screen = QGuiApplication::screenAt(globalPos)) {
        const QRect area = screen->availableGeometry();
        if (r.right() > area.right())
            r.moveRight(area.right());
        if (r.bottom() > area.bottom())
            r.moveBottom(globalPos.y() - 8);
        r.moveLeft(std::max(r.left(), area.left()));
        r.moveTop(std::max(r.top(), area.top()));
    }
    hint->move(r.topLeft());
    hint->show();
    Shown() = hint;
    return hint;
}

THintWindow* THintWindow::Current() {
    return Shown();
}

bool THintWindow::eventFilter(QObject* watched, QEvent* event) {
    if (!isVisible())
        return false; // closed, waiting to go
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::NonClientAreaMouseButtonPress:
        // A click on the hint's own link is the label's; any other click ends it.
        if (watched != lbHint &&
            !(watched->isWidgetType() && isAncestorOf(static_cast<QWidget*>(watched))))
            close();
        return false;
    case QEvent::KeyPress: {
        close();
        // Esc only closes the hint; other keys go on to where they were typed.
        return static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape;
    }
    case QEvent::ApplicationDeactivate:
        close();
        return false;
    default:
        return false;
    }
}

} // namespace zentrix
