#pragma once

#include <QApplication>

namespace zentrix::test {

/// The one QApplication of a GUI test program (made on first use).
inline QApplication& GuiApp() {
    static int argc = 1;
    static char name[] = "zentrix-tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        auto* a = qobject_cast<QApplication*>(QCoreApplication::instance());
        return a ? a : new QApplication(argc, argv);
    }();
    return *app;
}

} // namespace zentrix::test
