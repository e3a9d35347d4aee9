#pragma once

#include "platform/drivetable.h"

#include <QIcon>

namespace zentrix {

/// The theme name of a drive kind's picture ("drive-harddisk", "drive-optical" ...).
const char* DriveIconName(platform::DriveKind kind);

/// The picture of a drive kind: from the desktop's icon theme, else from the
/// Adwaita theme's files under /usr/share/icons (offscreen and bare X sessions
/// have no theme), else the style's own drive picture. Never null.
QIcon DriveIcon(platform::DriveKind kind);

} // namespace zentrix
