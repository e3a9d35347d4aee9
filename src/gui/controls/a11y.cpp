#include "gui/controls/a11y.h"

#include <QByteArray>
#include <QString>
#include <QWidget>

namespace zentrix {

bool A11yIdsEnabled() {
    // Read at every call: components are named only while windows are built.
    return qgetenv("ZENTRIX_A11Y_IDS") == "1";
}

void NameComponent(QWidget* widget, const char* componentName, const QString& accessibleName) {
    if (!widget)
        return;
    widget->setObjectName(QString::fromLatin1(componentName));
    widget->setAccessibleName(accessibleName);
    if (A11yIdsEnabled())
        widget->setAccessibleDescription(QString::fromLatin1(componentName));
}

} // namespace zentrix
