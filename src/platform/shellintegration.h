#pragma once

#include <string>

namespace zentrix::platform {

/// The desktop entry that offers Zentrix on every directory's "Open with" menu:
/// $XDG_DATA_HOME/applications/zentrix-directory.desktop. Its id is not the
/// installed entry's (org.zentrix.Zentrix.desktop), which a user file of the
/// same name would hide; clearing the option then leaves the installed one.
std::string ShellIntegrationFile();

/// True when the entry exists.
bool ShellIntegrationExists();

/// Writes the entry so that it starts `executablePath` with the directory as its
/// argument, and asks the desktop database to take it up (when the tool is
/// there). Throws FileWriteError when the file cannot be written.
void WriteShellIntegration(const std::string& executablePath);

/// Removes the entry; false when it is still there afterwards.
bool RemoveShellIntegration();

/// One argument of an Exec line, quoted and escaped for a desktop entry.
std::string DesktopExecArgument(const std::string& argument);

} // namespace zentrix::platform
