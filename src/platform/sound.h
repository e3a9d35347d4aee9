#pragma once

#include <string>

namespace zentrix::platform {

/// The aliases the program offers for its sounds.
constexpr const char* kSoundAliases[] = {"SystemDefault", "SystemAsterisk", "SystemExit",
                                         "SystemHand",    "SystemQuestion", "SystemStart"};

/// The freedesktop sound-theme name an alias plays ("SystemHand" is
/// "dialog-error"); "bell" for an alias the program does not know.
std::string SoundThemeName(const std::string& alias);

/// Plays an alias's sound in the background through canberra-gtk-play, or paplay
/// with the theme's file, whichever the system has. Returns at once; a sound
/// already playing goes on. Silent when neither player nor sound exists.
void PlaySystemSound(const std::string& alias);

} // namespace zentrix::platform
