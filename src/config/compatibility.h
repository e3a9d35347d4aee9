#pragma once

#include <string>

namespace zentrix {

class Prompter;
struct Settings;

/// Compatibility modes of the "Compatibility" setting.
constexpr int kCompatibilityMinimum = 0;
constexpr int kCompatibilityMedium = 1;
constexpr int kCompatibilityFull = 2;

inline constexpr const char* kNotInCompatibilityMode =
    "Function not available in this compatibility mode.     ";

/// True when the current compatibility mode is at least `level`; otherwise shows
/// the warning box with kNotInCompatibilityMode and returns false, and the caller
/// does nothing.
bool CheckCompatibility(int level, const Settings& settings, Prompter& prompter);

/// Plays the chosen sound at the end of a long operation when SoundWhenComplete
/// is on. Never waits and never fails.
void PlayCompletionSound(const Settings& settings);

} // namespace zentrix
