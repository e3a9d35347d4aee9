#include "gui/app/shellmenus.h"

#include "catalogue/catalogue.h"
#include "gui/tree/dirpropertiesdialog.h"
#include "platform/process.h"

#include <QDesktopServices>
#include <QMenu>
#include <QUrl>

namespace zentrix {

void ShowDirectoryMenu(QWidget* parent, Catalogue& catalogue, TTreeNode* node, const QPoint& globalPos) {
    if (!node)
        return;
    QMenu menu(parent);
    menu.setObjectName("DirectoryContextMenu");
    const std::string hostPath = catalogue.HostPath(node).value_or(std::string());
    const QString host = QString::fromStdString(hostPath);
    menu.addAction("&Open", [host] {
        if (!host.isEmpty())
            QDesktopServices::openUrl(QUrl::fromLocalFile(host));
    });
    menu.addAction("Open &terminal here", [hostPath] {
        if (!hostPath.empty())
            platform::StartDetachedIn(
                qEnvironmentVariable("TERMINAL", "x-terminal-emulator").toStdString(), {},
                hostPath);
    });
    menu.addSeparator();
    // The menu runs the event loop: the node may go meanwhile.
    menu.addAction("P&roperties ...", [parent, &catalogue, ref = TNodeRef(node)] {
        if (!ref)
            return;
        TDirPropertiesDialog dialog(catalogue, ref.get(), parent);
        dialog.exec();
    });
    menu.exec(globalPos);
}

void ShowFileMenu(QWidget* parent, const std::string& hostPath, const QPoint& globalPos) {
    QMenu menu(parent);
    menu.setObjectName("FileContextMenu");
    const QString host = QString::fromStdString(hostPath);
    menu.addAction("&Open", [host] { QDesktopServices::openUrl(QUrl::fromLocalFile(host)); });
    menu.addAction("Open containing &folder", [host] {
        QDesktopServices::openUrl(QUrl::fromLocalFile(host.left(host.lastIndexOf('/'))));
    });
    menu.exec(globalPos);
}

} // namespace zentrix
