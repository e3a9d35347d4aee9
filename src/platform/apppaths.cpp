#include "platform/apppaths.h"

#include "platform/atomicfile.h"

#include <climits>
#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace zentrix::platform {
namespace {

std::string env(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

std::string withSlash(std::string dir) {
    if (dir.empty() || dir.back() != '/')
        dir += '/';
    return dir;
}

std::string withoutSlash(std::string dir) {
    while (dir.size() > 1 && dir.back() == '/')
        dir.pop_back();
    return dir;
}

// The XDG rule: a relative value is invalid and is ignored.
std::string xdgDir(const char* name, const char* fallback) {
    const std::string v = env(name);
    if (!v.empty() && v[0] == '/')
        return withoutSlash(v);
    return withoutSlash(AppPaths::Home()) + fallback;
}

} // namespace

std::string AppPaths::Home() {
    std::string home = env("HOME");
    if (home.empty())
        if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir)
            home = pw->pw_dir;
    return home.empty() ? std::string("/") : home;
}

std::string AppPaths::DataHome() {
    return xdgDir("XDG_DATA_HOME", "/.local/share");
}

std::string AppPaths::ConfigHome() {
    return xdgDir("XDG_CONFIG_HOME", "/.config");
}

std::string AppPaths::ProgramDir() {
    const std::string own = env("ZENTRIX_HOME");
    const std::string dir = own.empty() ? DataHome() + "/zentrix/" : withSlash(own);
    MakeDirectories(withoutSlash(dir));
    return dir;
}

std::string AppPaths::SettingsFile() {
    const std::string own = env("ZENTRIX_HOME");
    if (!own.empty())
        return withSlash(own) + "registry.ini";
    return ConfigHome() + "/zentrix/registry.ini";
}

std::string AppPaths::ExecutablePath() {
    char buf[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0)
        return {};
    return std::string(buf, static_cast<size_t>(n));
}

} // namespace zentrix::platform
