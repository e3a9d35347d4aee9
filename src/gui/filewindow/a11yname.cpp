#include "gui/filewindow/a11yname.h"

#include <QAction>
#include <QString>
#include <QWidget>

namespace zentrix {

void SetComponentName(QObject* object, const QString& name) {
    object->setObjectName(name);
    static const bool withIds = qEnvironmentVariable("ZENTRIX_A11Y_IDS") == "1";
    if (!withIds)
        return;
    if (auto* w = qobject_cast<QWidget*>(object))
        w->setAccessibleDescription(name);
}

} // namespace zentrix
