#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zentrix::platform {

/// The local directories of a GTK bookmarks file's text: one URI a line, an
/// optional label after a blank; "file://" URIs (percent-encoded, with an
/// empty or "localhost" host) give their absolute paths, anything else is left
/// out, as are paths that would hold a NUL byte. At most 1,000 entries.
std::vector<std::string> ParseGtkBookmarks(std::string_view text);

/// The user's bookmarks, which the desktop's file dialogs share
/// ($XDG_CONFIG_HOME/gtk-3.0/bookmarks); empty when there are none.
std::vector<std::string> ReadGtkBookmarks();

} // namespace zentrix::platform
