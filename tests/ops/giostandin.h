#pragma once

#include "support/scopedenv.h"
#include "support/tempdir.h"

#include <cstdlib>
#include <string>
#include <sys/stat.h>

namespace zentrix::test {

/// A stand-in gio first on the PATH. It appends its arguments to "calls";
/// "mount -- URI" asks, as gio does, the questions named in "asks" (User,
/// Domain, Password, HostKey, or Hang for a server that never answers; by
/// default Password alone), appends each answer line to "stdin", and mounts every
/// share at "share/" (and fails with the text of "mount-error" on standard
/// error when that file exists); "mount -u" fails while "unmount-fails"
/// exists; "mount -l" prints "mounts"; "info" names "share/" as the local path
/// (and fails while "info-fails" exists); "list ... -- URI" prints the file
/// "list/URI" with ":" and "/" as "_" (network:/// is "list/network____"), or
/// complains as gio does when there is none.
class GioStandIn {
public:
    TempDir dir;

    GioStandIn() {
        dir.write("gio", "#!/bin/sh\n"
                         "echo \"$*\" >> \"$GIO_STANDIN/calls\"\n"
                         "for last in \"$@\"; do :; done\n"
                         "case \"$1 $2\" in\n"
                         "'mount -u') [ -f \"$GIO_STANDIN/unmount-fails\" ] && exit 2; exit 0;;\n"
                         "'mount -l') cat \"$GIO_STANDIN/mounts\" 2>/dev/null; exit 0;;\n"
                         "'mount --') for q in $(cat \"$GIO_STANDIN/asks\" 2>/dev/null"
                         " || echo Password); do\n"
                         "  case $q in\n"
                         "  User) printf 'User [standin]: ';;\n"
                         "  Domain) printf 'Domain [WORKGROUP]: ';;\n"
                         "  Password) printf 'Password: ';;\n"
                         "  HostKey) printf 'Cannot verify the host key.\\n[0] Log In Anyway\\n"
                         "[1] Cancel Login\\nChoice: ';;\n"
                         "  Hang) exec sleep 3600;;\n"
                         "  esac\n"
                         "  IFS= read -r line || exit 3\n"
                         "  printf '%s\\n' \"$line\" >> \"$GIO_STANDIN/stdin\"\n"
                         "  done\n"
                         "  if [ -f \"$GIO_STANDIN/mount-error\" ]; then\n"
                         "    cat \"$GIO_STANDIN/mount-error\" >&2; exit 2; fi\n"
                         "  mkdir -p \"$GIO_STANDIN/share\"; exit 0;;\n"
                         "'info --') [ -f \"$GIO_STANDIN/info-fails\" ] && exit 2\n"
                         "  echo 'display name: share'\n"
                         "  echo \"local path: $GIO_STANDIN/share\"; exit 0;;\n"
                         "'list -l') f=\"$GIO_STANDIN/list/$(echo \"$last\" | tr ':/' '__')\"\n"
                         "  [ -f \"$f\" ] && { cat \"$f\"; exit 0; }\n"
                         "  echo \"gio: $last: Operation not supported\" >&2; exit 2;;\n"
                         "esac\nexit 1\n");
        ::chmod(dir.at("gio").c_str(), 0755);
    }

    /// What "gio list" shows of a location.
    void list(const std::string& uri, const std::string& output) const {
        std::string name = uri;
        for (char& c : name)
            if (c == ':' || c == '/')
                c = '_';
        dir.write("list/" + name, output);
    }

private:
    ScopedEnv m_path{"PATH", dir.path() + ":" + std::string(std::getenv("PATH"))};
    ScopedEnv m_standin{"GIO_STANDIN", dir.path()};
};

/// "gio list" lines: URI, size, "(type)" and the two attributes asked for.
inline std::string GioListLine(const std::string& uri, const std::string& type,
                               const std::string& name, const std::string& target = {}) {
    std::string line = uri + "\t0\t(" + type + ")\tstandard::display-name=" + name;
    if (!target.empty())
        line += " standard::target-uri=" + target;
    return line + "\n";
}

} // namespace zentrix::test
