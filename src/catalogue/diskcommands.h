#pragma once

#include "platform/drivetable.h"

#include <functional>
#include <string>

namespace zentrix {

class AppState;
class Catalogue;
class DiskLogger;
class Prompter;
struct Settings;

/// The rules of choosing a drive in the drive list and of the two volume
/// commands (label and serial number) of the current disk. The drive list and
/// the command-strip pages are the window's; what they decide lives here.
class DiskCommands {
public:
    DiskCommands(Catalogue& catalogue, AppState& state, const Settings& settings,
                 DiskLogger& logger, Prompter& prompter);

    /// What the drive list does after a drive was chosen.
    enum class Choice {
        Log,           // fold, repaint, focus the tree, then LogChosenDrive
        BackToCurrent, // the drive stayed absent: back to the current disk, folded
        Ejected,       // an audio CD was ejected: back to the current disk, folded
        KeepList,      // the audio CD stays: the list is left as it is
    };

    /// Checks a chosen drive: a drive that does not exist or is not ready asks
    /// "Disk not ready!     " (Retry/Cancel) while it stays so; in compatibility
    /// mode 2 an audio CD asks whether to eject it.
    Choice CheckChosenDrive(char letter);
    /// Logs the chosen drive and asks for a refill.
    void LogChosenDrive(char letter);

    /// "Na&me ...": network and CD-ROM drives are refused with a message (false);
    /// otherwise true with the current disk's label to edit.
    bool BeginVolumeName(std::string& label);
    /// Sets the current disk's label. On success the disk information is
    /// updated, on failure a warning beep sounds. Returns whether it was written.
    bool SetVolumeLabel(const std::string& label);

    /// "&Serial number ...": refused likewise (false); otherwise true with the
    /// medium's serial number as "12AB-34CD".
    bool BeginSerialNumber(std::string& text);
    enum class SerialResult {
        Invalid, // not eight hexadecimal digits: the page stays open
        Written,
        Failed, // a warning beep sounded
    };
    /// Writes an entered serial number to the current disk's medium. An invalid
    /// entry shorter than 9 characters plays the configured sound.
    SerialResult SetSerialNumber(const std::string& text);

    /// What went wrong with the last label or serial write (for the error log).
    const std::string& LastWriteError() const { return m_lastError; }

    /// The medium's file-system type field of a drive (the audio-CD test asks
    /// the drive through this; default: the platform's).
    std::function<std::string(const platform::DriveInfo&)> MediumFsType;
    /// Ejects a drive's medium (default: the platform's).
    std::function<bool(const platform::DriveInfo&)> Eject;
    /// Plays a sound alias (default: the platform's system sound).
    std::function<void(const std::string&)> PlaySound;

private:
    const platform::DriveInfo* currentDrive() const;

    Catalogue& m_cat;
    AppState& m_state;
    const Settings& m_settings;
    DiskLogger& m_logger;
    Prompter& m_prompter;
    std::string m_lastError;
};

} // namespace zentrix
