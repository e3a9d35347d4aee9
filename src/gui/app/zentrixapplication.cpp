#include "gui/app/zentrixapplication.h"

#include <QMessageBox>
#include <new>

namespace zentrix {

ZentrixApplication::ZentrixApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool ZentrixApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        if (onException)
            onException(&e, e.what());
        else
            QMessageBox::critical(nullptr, "Zentrix", QString::fromLocal8Bit(e.what()));
    } catch (...) {
        if (onException)
            onException(nullptr, "Unknown error");
    }
    return false;
}

} // namespace zentrix
