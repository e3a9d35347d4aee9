#include "gui/filewindow/a11yname.h"

#include <QAction>
#include <QString>
#include <QWidget>

namespace zentrix {

void SetComponentName(QObject* object, const QString& name) {
    object->setObjectName(name);
    if (qEnvironmentVariable("ZENTRIX_A11Y_IDS") != QLatin1String("1"))
        return;
    if (auto* w = qobject_cast<QWidget*>(object))
        w->setAccessibleDescription(name);
}

} // namespace zentrix
