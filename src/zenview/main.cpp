// zenview: the picture viewer program started beside zentrix for pictures.
//   zenview PICTURE
#include "gui/view/tzenviewwindow.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("zenview");
    zentrix::TZenViewWindow window;
    const QStringList args = QApplication::arguments();
    if (args.size() > 1)
        window.OpenPicture(args.mid(1).join(' '));
    window.show();
    return app.exec();
}
