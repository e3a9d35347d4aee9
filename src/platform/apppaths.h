#pragma once

#include <string>

namespace zentrix::platform {

/// Where the program keeps its files. Every call reads the environment afresh, so
/// a test (or a user) can point the program elsewhere with ZENTRIX_HOME.
class AppPaths {
public:
    /// The user's home directory ($HOME, else the password database).
    static std::string Home();
    /// $XDG_DATA_HOME, or ~/.local/share when unset or not absolute.
    static std::string DataHome();
    /// $XDG_CONFIG_HOME, or ~/.config when unset or not absolute.
    static std::string ConfigHome();

    /// The program's directory (logs, cache files, templates), ending in "/":
    /// $ZENTRIX_HOME when set, otherwise $XDG_DATA_HOME/zentrix/. Created when
    /// missing (if that fails the path is still returned; writers then report).
    static std::string ProgramDir();

    /// The settings file: $ZENTRIX_HOME/registry.ini when ZENTRIX_HOME is set,
    /// otherwise $XDG_CONFIG_HOME/zentrix/registry.ini.
    static std::string SettingsFile();

    /// The running executable's full path; empty when the system does not say.
    static std::string ExecutablePath();
};

} // namespace zentrix::platform
