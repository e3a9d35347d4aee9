#include "platform/shellintegration.h"

#include "platform/apppaths.h"
#include "platform/atomicfile.h"
#include "platform/process.h"
#include "platform/process.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace zentrix::platform {
namespace {

std::string applicationsDir() {
    return AppPaths::DataHome() + "/applications";
}

void refreshDesktopDatabase() {
    if (ProgramExists("update-desktop-database"))
        StartDetached("update-desktop-database", {"-q", applicationsDir()});
}

} // namespace

std::string ShellIntegrationFile() {
    return applicationsDir() + "/zentrix-directory.desktop";
}

bool ShellIntegrationExists() {
    struct stat st {};
    return ::stat(ShellIntegrationFile().c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string DesktopExecArgument(const std::string& argument) {
    // The quoting rule of Exec first, then the escapes of a string value (which a
    // reader undoes first); "%" is doubled so that it is not a field code.
    std::string quoted = "\"";
    for (char c : argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            quoted += '\\';
        if (c == '%')
            quoted += '%';
        quoted += c;
    }
    quoted += '"';
    std::string out;
    for (char c : quoted) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
    return out;
}

void WriteShellIntegration(const std::string& executablePath) {
    const std::string entry = "[Desktop Entry]\n"
                              "Type=Application\n"
                              "Name=Zentrix\n"
                              "GenericName=File Manager\n"
                              "Comment=Browse this directory with Zentrix\n"
                              "Exec=" +
                              DesktopExecArgument(executablePath) +
                              " %f\n"
                              "Icon=system-file-manager\n"
                              "MimeType=inode/directory;\n"
                              "NoDisplay=true\n"
                              "Terminal=false\n";
    WriteFileAtomically(ShellIntegrationFile(), entry, 0644);
    refreshDesktopDatabase();
}

bool RemoveShellIntegration() {
    const std::string file = ShellIntegrationFile();
    if (::unlink(file.c_str()) != 0 && errno != ENOENT)
        return false;
    refreshDesktopDatabase();
    return !ShellIntegrationExists();
}

} // namespace zentrix::platform
