#include "config/compatibility.h"

#include "config/settings.h"
#include "core/prompter.h"
#include "platform/sound.h"

namespace zentrix {

bool CheckCompatibility(int level, const Settings& settings, Prompter& prompter) {
    if (settings.Compatibility >= level)
        return true;
    prompter.warn(kNotInCompatibilityMode);
    return false;
}

void PlayCompletionSound(const Settings& settings) {
    if (settings.SoundWhenComplete)
        platform::PlaySystemSound(settings.ChosenSound);
}

} // namespace zentrix
