#include "platform/sound.h"

#include "platform/process.h"
#include "platform/process.h"

#include <sys/stat.h>

namespace zentrix::platform {
namespace {

struct AliasSound {
    const char* alias;
    const char* themeName;
    const char* fallbackFile; // in the freedesktop theme, for paplay
};

constexpr AliasSound kSounds[] = {
    {"SystemDefault", "bell", "bell"},
    {"SystemAsterisk", "dialog-information", "dialog-information"},
    {"SystemExit", "service-logout", "service-logout"},
    {"SystemHand", "dialog-error", "dialog-error"},
    {"SystemQuestion", "dialog-question", "window-question"},
    {"SystemStart", "service-login", "service-login"},
};

const AliasSound& soundOf(const std::string& alias) {
    for (const auto& s : kSounds)
        if (alias == s.alias)
            return s;
    return kSounds[0];
}

std::string themeFile(const char* name) {
    for (const char* dir : {"/usr/share/sounds/freedesktop/stereo/", "/usr/share/sounds/"}) {
        for (const char* ext : {".oga", ".ogg", ".wav"}) {
            const std::string path = std::string(dir) + name + ext;
            struct stat st {};
            if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode))
                return path;
        }
    }
    return {};
}

} // namespace

std::string SoundThemeName(const std::string& alias) {
    return soundOf(alias).themeName;
}

void PlaySystemSound(const std::string& alias) {
    const AliasSound& s = soundOf(alias);
    if (ProgramExists("canberra-gtk-play")) {
        StartDetached("canberra-gtk-play", {"-i", s.themeName, "-d", "Zentrix"});
        return;
    }
    if (ProgramExists("paplay")) {
        const std::string file = themeFile(s.fallbackFile);
        if (!file.empty())
            StartDetached("paplay", {file});
    }
}

} // namespace zentrix::platform
