#include "gui/config/commandimages.h"

#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QPixmap>

#include <string_view>
#include <utility>

namespace zentrix::CommandImages {
namespace {

// Commands and the theme pictures that stand for them.
constexpr std::pair<std::string_view, const char*> kImages[] = {
    {"miZentrixPropertiesClick", "preferences-system"},
    {"QuitZentrix", "application-exit"},
    {"miDirTagWizardClick", "system-run"},
    {"DirCut", "edit-cut"},
    {"DirCopy", "edit-copy"},
    {"DirPaste", "edit-paste"},
    {"DeleteDir", "edit-delete"},
    {"MakeNewDir", "folder-new"},
    {"PruneDir", "edit-clear"},
    {"RenameDir", "edit-rename"},
    {"CommandLine", "utilities-terminal"},
    {"DosPrompt", "utilities-terminal"},
    {"ExploreDir", "system-file-manager"},
    {"FindFile", "edit-find"},
    {"miDirQSearchClick", "go-jump"},
    {"RelogDir", "view-refresh"},
    {"SetFileSpec", "view-filter"},
    {"ChangeTreeViewFont", "preferences-desktop-font"},
    {"ChangeFileListBoxFont", "preferences-desktop-font"},
    {"DirProperties", "document-properties"},
    {"FileProperties", "document-properties"},
    {"CopyTaggedFiles", "edit-copy"},
    {"CopySingleFile", "edit-copy"},
    {"DeleteTaggedFiles", "edit-delete"},
    {"DeleteSingleFile", "edit-delete"},
    {"MoveTaggedFiles", "go-next"},
    {"MoveSingleFile", "go-next"},
    {"RenameTaggedFiles", "edit-rename"},
    {"RenameSingleFile", "edit-rename"},
    {"SearchTaggedFilesForString", "edit-find"},
    {"EditSingleFile", "accessories-text-editor"},
    {"miDirEditFileClick", "accessories-text-editor"},
    {"miFileExecuteClick", "system-run"},
    {"miFilePrintClick", "document-print"},
    {"ViewSingleFile", "document-open"},
    {"FileInfo", "dialog-information"},
    {"btnDiskImageClick", "drive-harddisk"},
    {"miFileRefillWindowClick", "view-refresh"},
    {"miVolRefillClick", "view-refresh"},
    {"miVolRefreshAllDirsClick", "view-refresh"},
    {"LogDisk", "drive-harddisk"},
    {"ReleaseDisk", "media-eject"},
    {"NextDisk", "go-next"},
    {"PrevDisk", "go-previous"},
    {"sbConnectClick", "network-server"},
    {"sbDisconnectClick", "network-offline"},
    {"miVolPropertiesClick", "document-properties"},
    {"miToolsOptions2Click", "preferences-other"},
    {"miToolsSysInfoClick", "computer"},
    {"miClipBrdClick", "edit-paste"},
    {"miHelpContentsClick", "help-contents"},
    {"miHelpWhatClick", "help-faq"},
    {"miHelpAboutClick", "help-about"},
    {"SortFilesByName", "view-sort-ascending"},
    {"ReversedSortOrder", "view-sort-descending"},
};

QIcon Letters(const QString& caption) {
    QString text;
    for (const QChar c : caption)
        if (c.isLetterOrNumber() && text.size() < 2)
            text += text.isEmpty() ? c.toUpper() : c.toLower();
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(60, 60, 60));
    p.setBrush(QColor(230, 230, 215));
    p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
    QFont f = p.font();
    f.setPixelSize(9);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, text);
    return QIcon(pixmap);
}

} // namespace

QIcon Image(const MenuItem& item) {
    for (const auto& [command, icon] : kImages)
        if (command == item.command) {
            const QIcon image = QIcon::fromTheme(icon);
            if (!image.isNull())
                return image;
        }
    return {};
}

QIcon ButtonImage(const MenuItem& item) {
    const QIcon image = Image(item);
    return image.isNull() ? Letters(QString::fromStdString(PlainCaption(item.caption))) : image;
}

QIcon ToolIcon(const TToolClass& tool, const std::string& programPath) {
    const QString file = QString::fromStdString(tool.ToolIconFileNm);
    if (!file.isEmpty() && file.contains('/') && QFileInfo(file).isFile()) {
        QImageReader reader(file);
        if (tool.ToolIconNum > 0 && reader.imageCount() > tool.ToolIconNum)
            reader.jumpToImage(tool.ToolIconNum);
        const QImage image = reader.read();
        if (!image.isNull())
            return QIcon(QPixmap::fromImage(image));
    } else if (!file.isEmpty() && !file.contains('/')) {
        const QIcon themed = QIcon::fromTheme(file);
        if (!themed.isNull())
            return themed;
    }
    const QString program = QFileInfo(QString::fromStdString(programPath)).fileName();
    QIcon icon = program.isEmpty() ? QIcon() : QIcon::fromTheme(program);
    if (icon.isNull())
        icon = QIcon::fromTheme("application-x-executable");
    return icon;
}

} // namespace zentrix::CommandImages
