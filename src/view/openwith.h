#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zentrix {

/// An application of the desktop-entry database (a .desktop file of Type
/// Application).
struct DesktopApplication {
    std::string id;   ///< desktop file id ("org.example.Editor.desktop")
    std::string name; ///< Name=
    std::string exec; ///< Exec=, its string escapes undone
    std::string icon; ///< Icon=
    std::string file; ///< the desktop file's path
    bool terminal = false;
    bool noDisplay = false;
    std::vector<std::string> mimeTypes; ///< MimeType=
};

/// The associations of one mimeapps.list, each type with its desktop file ids
/// in the order given.
struct MimeAppsList {
    std::map<std::string, std::vector<std::string>> defaults; ///< [Default Applications]
    std::map<std::string, std::vector<std::string>> added;    ///< [Added Associations]
    std::map<std::string, std::vector<std::string>> removed;  ///< [Removed Associations]
};

/// Reads a mimeapps.list text: "type=id;id;" lines under the three groups, "#"
/// comments; anything else is skipped. At most 10,000 types and 100 ids per
/// type are kept.
MimeAppsList ParseMimeAppsList(std::string_view text);

/// The application a desktop entry's text describes; none when it is no
/// application that can be started (another Type, no Exec, Hidden=true, an
/// Exec that does not parse).
std::optional<DesktopApplication> ParseDesktopApplication(std::string_view text);

/// The arguments of an Exec value as the desktop-entry rules split it: blanks
/// separate, double quotes group (inside them a backslash makes the next
/// character plain), field codes ("%f") are left as they are. None for an
/// unclosed quote or an empty command.
std::optional<std::vector<std::string>> SplitExec(std::string_view exec);

/// The program and its arguments that open `hostPath` (absolute) with `app`:
/// %f and %F become the path, %u and %U its file URI, %i the icon option, %c
/// the name, %k the desktop file, %% a per cent sign; other codes go. Without a
/// file code the path is the last argument. The path is always one argument of
/// its own or inside one, never split or read by a shell. None when the Exec
/// value does not parse.
std::optional<std::vector<std::string>> OpenWithArguments(const DesktopApplication& app,
                                                          const std::string& hostPath);

/// Where the two databases are, highest precedence first.
struct OpenWithDirs {
    std::vector<std::string> mimeAppsLists;   ///< paths of mimeapps.list files
    std::vector<std::string> applicationDirs; ///< ".../applications" directories
    /// From $XDG_CONFIG_HOME, $XDG_CONFIG_DIRS, $XDG_DATA_HOME, $XDG_DATA_DIRS
    /// and $XDG_CURRENT_DESKTOP (whose own "<desktop>-mimeapps.list" come first).
    static OpenWithDirs FromEnvironment();
};

/// The applications offered for a file of the given types (its own type
/// first, then the types it is a kind of): for each type the default (the
/// first installed one of the highest mimeapps.list that names one), then the
/// added associations, then every application whose MimeType= names the type
/// and is shown in menus, by name; each application once, removed associations
/// left out. An application whose TryExec program is missing is left out.
std::vector<DesktopApplication> ApplicationsForTypes(const std::vector<std::string>& types,
                                                     const OpenWithDirs& dirs);

} // namespace zentrix
