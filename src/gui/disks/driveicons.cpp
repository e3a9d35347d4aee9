#include "gui/disks/driveicons.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStyle>

#include <map>
#include <vector>

namespace zentrix {

using platform::DriveKind;

namespace {

// The names a theme may know a kind by, the first preferred.
std::vector<const char*> namesOf(DriveKind kind) {
    switch (kind) {
    case DriveKind::Floppy:
        return {"drive-removable-media", "media-flash", "media-floppy"};
    case DriveKind::Network:
        return {"network-server", "folder-remote", "network-workgroup"};
    case DriveKind::CdRom:
        return {"drive-optical", "media-optical"};
    case DriveKind::Ram:
        return {"media-flash", "drive-removable-media"};
    case DriveKind::Fixed:
    case DriveKind::Unknown:
        break;
    }
    return {"drive-harddisk"};
}

// Every size of an icon that the Adwaita theme ships as a picture file.
QIcon adwaitaIcon(const char* name) {
    QIcon icon;
    const QDir theme("/usr/share/icons/Adwaita");
    const QStringList sizes = theme.entryList({"*x*"}, QDir::Dirs, QDir::Name);
    for (const QString& size : sizes) {
        for (const char* context : {"devices", "places"}) {
            const QString file =
                theme.filePath(size + "/" + context + "/" + QString::fromLatin1(name) + ".png");
            if (QFileInfo::exists(file))
                icon.addFile(file);
        }
    }
    return icon;
}

QStyle::StandardPixmap standardPixmap(DriveKind kind) {
    switch (kind) {
    case DriveKind::Floppy:
        return QStyle::SP_DriveFDIcon;
    case DriveKind::Network:
        return QStyle::SP_DriveNetIcon;
    case DriveKind::CdRom:
        return QStyle::SP_DriveCDIcon;
    default:
        return QStyle::SP_DriveHDIcon;
    }
}

} // namespace

const char* DriveIconName(DriveKind kind) {
    return namesOf(kind).front();
}

QIcon DriveIcon(DriveKind kind) {
    static std::map<DriveKind, QIcon> cache;
    if (auto it = cache.find(kind); it != cache.end())
        return it->second;
    QIcon icon;
    for (const char* name : namesOf(kind)) {
        icon = QIcon::fromTheme(QString::fromLatin1(name));
        if (!icon.isNull())
            break;
    }
    if (icon.isNull()) {
        for (const char* name : namesOf(kind)) {
            icon = adwaitaIcon(name);
            if (!icon.isNull())
                break;
        }
    }
    if (icon.isNull())
        icon = QApplication::style()->standardIcon(standardPixmap(kind));
    cache[kind] = icon;
    return icon;
}

} // namespace zentrix
