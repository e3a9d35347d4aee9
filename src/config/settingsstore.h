#pragma once

#include "config/settings.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace zentrix {

namespace platform {
class DriveTable;
}
class SettingsTarget;
class TEnhIniFile;

/// The settings file name the program's store is opened on ("Zentrix.INI" in the
/// executable's directory); only its base name matters.
std::string SettingsIniName();

/// Where the directory defaults of the settings come from.
struct SettingsEnvironment {
    std::string programDir; ///< the program's directory, in the form kept in settings
    std::string windowsDir; ///< default of Platform/WindowsDir
    std::string systemDir;  ///< default of Platform/SystemDir

    /// The program's directory, /etc and /usr/bin as the drives see them.
    static SettingsEnvironment FromDrives(const platform::DriveTable& drives);
};

/// The list sections that only the options dialog writes (while it exists).
struct OptionsDialogLists {
    std::vector<std::string> userExt;
    std::vector<std::string> logDrives;
    std::array<bool, 15> watchDogOperations{};
};

/// Reads every key of the settings table into `settings` with its normalisations,
/// then applies them to the windows when a target is given. Missing or damaged
/// values give the defaults; values outside their range give the default too,
/// except Compatibility, which is held to 0..2.
void LoadSettings(const TEnhIniFile& store, Settings& settings, const SettingsEnvironment& env,
                  SettingsTarget* target = nullptr);

/// Writes every key of the settings table (the fonts taken from the target's
/// windows when one is given), re-applies the settings to the windows, and, when
/// the options dialog exists (`dialogLists` given), rewrites its list sections;
/// then writes the file. Throws platform::FileWriteError when it cannot.
void SaveSettings(TEnhIniFile& store, Settings& settings, SettingsTarget* target = nullptr,
                  const OptionsDialogLists* dialogLists = nullptr);

/// Steps that make the windows follow the settings (fonts, button bars, tree
/// icons, item height, quick-view panel, tool hints).
void ApplySettings(const Settings& settings, SettingsTarget& target);

/// The file window's item height for the display format: icon size + 3 for the
/// icon formats, none (from the font) for the text formats.
std::optional<int> FileItemHeight(const Settings& settings);

/// "UserExt": the user's file types, in enumeration order.
std::vector<std::string> LoadUserExt(const TEnhIniFile& store);
void SaveUserExt(TEnhIniFile& store, const std::vector<std::string>& types);

/// "LogDrivesAtStartup": the drive entries, in enumeration order.
std::vector<std::string> LoadLogDrivesAtStartup(const TEnhIniFile& store);
void SaveLogDrivesAtStartup(TEnhIniFile& store, const std::vector<std::string>& drives);

/// "WatchDogOperations": the i-th value read sets the flag of operation code i,
/// on exactly when its text starts with "1"; values beyond the fifteenth are
/// ignored and missing ones are off.
std::array<bool, 15> LoadWatchDogOperations(const TEnhIniFile& store);
void SaveWatchDogOperations(TEnhIniFile& store, const std::array<bool, 15>& flags);

} // namespace zentrix
