#pragma once

#include <string>

namespace zentrix::platform {

/// The user's own trash directory ($XDG_DATA_HOME/Trash).
std::string HomeTrashDir();

/// Number of items in the user's trash.
int HomeTrashItemCount();

/// Empties the user's trash for good: through "gio trash --empty" when the
/// system has it (which also empties the trash directories of other volumes),
/// otherwise by removing what lies in the home trash. Links are removed, never
/// followed. False when something stayed.
bool EmptyTrash();

/// Opens the trash in the desktop's file manager; false when nothing could be
/// started.
bool OpenTrashWindow();

} // namespace zentrix::platform
