#pragma once

#include "config/menutable.h"
#include "config/usertools.h"

#include <QIcon>

namespace zentrix {

/// The program's 16 x 16 command images: a picture of the desktop's icon theme
/// for the commands that have one (copy, delete, find, properties ...).
/// Commands without one have no image in the menus; their command buttons show
/// the first letters of the caption instead.
namespace CommandImages {

/// The item's image; null when the command has none.
QIcon Image(const MenuItem& item);
/// The image of a command button: the item's image, or its letters.
QIcon ButtonImage(const MenuItem& item);
/// A tool's icon: an image of its icon file (the ToolIconNum-th of a file that
/// holds several), a theme icon by name, or the program's own theme icon; the
/// generic program icon when none of them is there.
QIcon ToolIcon(const TToolClass& tool, const std::string& programPath);

} // namespace CommandImages
} // namespace zentrix
