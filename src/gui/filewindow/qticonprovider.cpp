#include "gui/filewindow/qticonprovider.h"

#include "catalogue/extensionkinds.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QMimeDatabase>
#include <QStyle>

namespace zentrix {

const QPixmap& QtIcon::pixmap(int size, qreal devicePixelRatio) const {
    if (size != m_size || devicePixelRatio != m_ratio) {
        m_pixmap = icon.pixmap(QSize(size, size), devicePixelRatio);
        m_size = size;
        m_ratio = devicePixelRatio;
    }
    return m_pixmap;
}

void EnsureIconTheme() {
    static bool done = false;
    if (done)
        return;
    done = true;
    const QString theme = QIcon::themeName();
    if (!theme.isEmpty() && theme != "hicolor")
        return;
    if (QDir("/usr/share/icons/Adwaita").exists()) {
        QStringList paths = QIcon::themeSearchPaths();
        if (!paths.contains("/usr/share/icons"))
            QIcon::setThemeSearchPaths(paths << "/usr/share/icons");
        QIcon::setThemeName("Adwaita");
    }
}

QtIconProvider::QtIconProvider() {
    EnsureIconTheme();
}

QIcon QtIconProvider::applicationIcon() {
    if (m_application.isNull()) {
        m_application = QIcon::fromTheme("application-x-executable");
        if (m_application.isNull())
            m_application = QApplication::style()->standardIcon(QStyle::SP_FileIcon);
    }
    return m_application;
}

QIcon QtIconProvider::mimeIcon(const QString& mimeName) {
    auto it = m_byMime.constFind(mimeName);
    if (it != m_byMime.constEnd())
        return *it;
    QIcon icon;
    static const QMimeDatabase db;
    const QMimeType type = mimeName.isEmpty() ? QMimeType() : db.mimeTypeForName(mimeName);
    if (type.isValid()) {
        icon = QIcon::fromTheme(type.iconName());
        if (icon.isNull())
            icon = QIcon::fromTheme(type.genericIconName());
    }
    if (icon.isNull())
        icon = QIcon::fromTheme(mimeName.isEmpty() ? "text-x-generic" : "unknown");
    if (icon.isNull())
        icon = applicationIcon();
    m_byMime.insert(mimeName, icon);
    return icon;
}

std::unique_ptr<TIcon> QtIconProvider::largeIconFor(const std::string& hostPath,
                                                    const std::string& mimeName) {
    const QString path = QString::fromStdString(hostPath);
    if (!hostPath.empty() && IsIconKind(QFileInfo(path).fileName().toStdString())) {
        // A picture small enough to be an icon shows itself.
        QImageReader reader(path);
        const QSize size = reader.size();
        if (reader.canRead() && size.isValid() && size.width() <= 1024 && size.height() <= 1024) {
            const QImage image = reader.read();
            if (!image.isNull())
                return std::make_unique<QtIcon>(QIcon(QPixmap::fromImage(image)));
        }
    }
    return std::make_unique<QtIcon>(mimeIcon(QString::fromStdString(mimeName)));
}

} // namespace zentrix
