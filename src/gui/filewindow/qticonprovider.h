#pragma once

#include "catalogue/icon.h"

#include <QHash>
#include <QIcon>
#include <QPixmap>

namespace zentrix {

/// An icon picture of the windows.
class QtIcon : public TIcon {
public:
    explicit QtIcon(QIcon icon) : icon(std::move(icon)) {}
    /// The picture at a size, made once per size and kept (drawing a list of
    /// files draws the same few pictures over and over).
    const QPixmap& pixmap(int size, qreal devicePixelRatio) const;

    QIcon icon;

private:
    mutable QPixmap m_pixmap;
    mutable int m_size = -1;
    mutable qreal m_ratio = 0;
};

/// Icons from the desktop's icon theme (Adwaita from /usr/share/icons when no
/// theme is set), by the MIME type's icon, then its generic icon, then the
/// standard application icon. Pictures, cursors and icons of the icon kinds
/// show their own picture when it can be read.
class QtIconProvider : public IconProvider {
public:
    QtIconProvider();
    std::unique_ptr<TIcon> largeIconFor(const std::string& hostPath,
                                        const std::string& mimeName) override;

    /// The icon for a MIME type name (cached per name).
    QIcon mimeIcon(const QString& mimeName);
    /// The standard application icon.
    QIcon applicationIcon();

private:
    QHash<QString, QIcon> m_byMime;
    QIcon m_application;
};

/// Makes sure an icon theme is in use: without one (offscreen, bare X) the
/// Adwaita theme from /usr/share/icons is taken.
void EnsureIconTheme();

} // namespace zentrix
