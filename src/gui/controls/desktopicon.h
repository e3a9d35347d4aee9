#pragma once

// Header only: the Utils library uses it too, without linking the GUI.

#include "view/desktopentry.h"

#include <QIcon>
#include <QPixmap>
#include <string>

namespace zentrix {

/// The icon an "Icon=" value of a .desktop file stands for: an absolute path
/// is read only when it is a regular file of sane size (never a FIFO, which
/// Qt's picture readers would wait on for ever); any other value is a name of
/// the icon theme. Null when there is none.
inline QIcon DesktopEntryQIcon(const std::string& iconValue) {
    if (iconValue.empty())
        return {};
    if (iconValue[0] == '/') {
        const std::string bytes = ReadIconFile(iconValue);
        QPixmap picture;
        if (bytes.empty() || !picture.loadFromData(reinterpret_cast<const uchar*>(bytes.data()),
                                                   static_cast<uint>(bytes.size())))
            return {};
        return QIcon(picture);
    }
    return QIcon::fromTheme(QString::fromStdString(iconValue));
}

} // namespace zentrix
