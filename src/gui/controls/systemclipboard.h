#pragma once

#include "platform/fileuris.h"

#include <optional>
#include <string>
#include <vector>

class QMimeData;

namespace zentrix {

/// The data other programs' file managers exchange files with, on the
/// clipboard and in drags: text/uri-list, x-special/gnome-copied-files (with
/// "copy" or "cut"), the cut mark some desktops read, and the paths as plain
/// text. The URIs carry the names' bytes exactly. The caller owns the data.
QMimeData* FilesMimeData(const std::vector<std::string>& hostPaths, bool cut);

/// The files a clipboard's or a drop's data holds: the gnome-copied-files list
/// when there is one (it says copy or cut), otherwise the uri-list (cut when
/// the cut mark says so). None when it holds no local file.
std::optional<platform::ClipboardFiles> FilesOfMimeData(const QMimeData* data);

/// Puts files on the desktop's clipboard (FilesMimeData).
void PutFilesOnClipboard(const std::vector<std::string>& hostPaths, bool cut);
/// The files on the desktop's clipboard; none when it holds none.
std::optional<platform::ClipboardFiles> FilesOnClipboard();
/// Empties the clipboard once the files cut there have been moved.
void ClearClipboard();

} // namespace zentrix
