#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zentrix::platform {

class DriveTable;

/// The local directories of a GTK bookmarks file's text: one URI a line, an
/// optional label after a blank; "file://" URIs (percent-encoded, with an
/// empty or "localhost" host) give their absolute paths, anything else is left
/// out, as are paths that would hold a NUL byte. At most 1,000 entries.
std::vector<std::string> ParseGtkBookmarks(std::string_view text);

/// The "file://" URI of an absolute path as desktop programs write it: every
/// byte other than a letter, a digit, "/" and the few marks a path may carry
/// as they are is percent-encoded (blanks and non-ASCII bytes included), so
/// the URI holds no blank and ParseGtkBookmarks gives the path back.
std::string GtkBookmarkUri(std::string_view path);

/// The bookmarks text with `path` added as the last line, labelled with
/// `label` (control characters become blanks; no label when that leaves
/// nothing). Every other line stays as it was; a missing final line end is
/// supplied. Unchanged when the path is listed already.
std::string WithGtkBookmark(std::string_view text, std::string_view path, std::string_view label);

/// Where the user's bookmarks are kept: $XDG_CONFIG_HOME/gtk-3.0/bookmarks.
std::string GtkBookmarksPath();

/// The user's bookmarks, which the desktop's file dialogs share, that name
/// existing directories (links followed), in the file's order; empty when
/// there are none.
std::vector<std::string> ReadGtkBookmarks();

/// The user's own directories named by a user-dirs.dirs text, in the order
/// Desktop, Documents, Downloads, Music, Pictures, Videos: each value
/// ("$HOME/Documents" or "/srv/music", in double quotes, "\" escaping the next
/// character) as an absolute path; a key given twice counts once, its first
/// value. A directory that is the home directory itself (how a disabled one is
/// written) and anything not of that shape are left out. Desktop is
/// `home`/Desktop when the text does not name it.
std::vector<std::string> ParseUserDirs(std::string_view text, const std::string& home);

/// The home directory, then the user's own directories of
/// $XDG_CONFIG_HOME/user-dirs.dirs (ParseUserDirs), those that exist.
std::vector<std::string> ReadUserDirs();

/// The favorite directories: the bookmarks, then the home directory and the
/// user's own directories (Desktop, Documents, Downloads, Music, Pictures,
/// Videos), those that lie on a drive, in catalogue form ("D:\PHOTOS\"), each
/// once.
std::vector<std::string> FavoriteDirectories(const DriveTable& drives);

/// Adds a directory to the user's bookmarks (see WithGtkBookmark), replacing
/// the file atomically so that the other programs' entries are kept and a
/// reader never sees half a file. Throws FileWriteError when the file cannot be
/// read or written; it is left as it was then.
void AddGtkBookmark(const std::string& path, std::string_view label);

} // namespace zentrix::platform
