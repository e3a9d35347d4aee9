#include "catalogue/diskcommands.h"

#include "catalogue/catalogue.h"
#include "catalogue/diskinfo.h"
#include "catalogue/disklogger.h"
#include "config/compatibility.h"
#include "config/settings.h"
#include "core/appstate.h"
#include "core/prompter.h"
#include "platform/sound.h"
#include "platform/volume.h"
#include "platform/volumecontrol.h"

#include <cctype>

namespace zentrix {

DiskCommands::DiskCommands(Catalogue& catalogue, AppState& state, const Settings& settings,
                           DiskLogger& logger, Prompter& prompter)
    : MediumFsType(platform::MediumFileSystemType), Eject(platform::EjectDrive),
      PlaySound(platform::PlaySystemSound), m_cat(catalogue), m_state(state), m_settings(settings),
      m_logger(logger), m_prompter(prompter) {}

const platform::DriveInfo* DiskCommands::currentDrive() const {
    return m_cat.Drives().Find(m_state.currentDisk);
}

DiskCommands::Choice DiskCommands::CheckChosenDrive(char letter) {
    letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    while (!m_cat.Drives().IsReady(letter)) {
        if (!m_prompter.askRetryCancel("Disk not ready!     ", "Warning!"))
            return Choice::BackToCurrent;
    }
    const platform::DriveInfo* drive = m_cat.Drives().Find(letter);
    if (m_settings.Compatibility >= kCompatibilityFull && drive &&
        drive->kind == platform::DriveKind::CdRom && MediumFsType &&
        FileSystemKindName(MediumFsType(*drive)) == "Audio CD") {
        if (!m_prompter.askYesNo("Can't log an audio CD! Eject it?     "))
            return Choice::KeepList;
        if (Eject)
            Eject(*drive);
        return Choice::Ejected;
    }
    return Choice::Log;
}

void DiskCommands::LogChosenDrive(char letter) {
    m_logger.LogDrive(letter);
    m_state.requestRefill();
}

bool DiskCommands::BeginVolumeName(std::string& label) {
    const platform::DriveInfo* drive = currentDrive();
    const platform::DriveKind kind = drive ? drive->kind : platform::DriveKind::Unknown;
    if (auto refusal = VolumeNameRefusal(m_state.currentDisk, kind)) {
        m_prompter.warn(*refusal);
        return false;
    }
    label = drive ? platform::QueryVolume(*drive).label : std::string();
    return true;
}

bool DiskCommands::SetVolumeLabel(const std::string& label) {
    m_lastError.clear();
    const platform::DriveInfo* drive = currentDrive();
    platform::VolumeWriteResult written;
    if (drive) {
        written = platform::WriteVolumeLabel(*drive, label);
    } else {
        written.detail = "no drive " + std::string(1, m_state.currentDisk) + ":";
    }
    if (written.ok()) {
        m_logger.UpdateDiskInfo();
        return true;
    }
    m_lastError = written.detail;
    m_prompter.beep();
    return false;
}

bool DiskCommands::BeginSerialNumber(std::string& text) {
    const platform::DriveInfo* drive = currentDrive();
    const platform::DriveKind kind = drive ? drive->kind : platform::DriveKind::Unknown;
    if (auto refusal = SerialNumberRefusal(m_state.currentDisk, kind)) {
        m_prompter.warn(*refusal);
        return false;
    }
    if (drive) {
        if (auto refusal = SerialNumberRefusal(platform::SerialChangeRefusal(*drive))) {
            m_prompter.warn(*refusal);
            return false;
        }
    }
    uint32_t serial = 0;
    if (drive) {
        const platform::VolumeInfo volume = platform::QueryVolume(*drive);
        if (volume.hasSerial)
            serial = volume.serial;
    }
    text = SerialNumberText(serial);
    return true;
}

DiskCommands::SerialResult DiskCommands::SetSerialNumber(const std::string& text) {
    m_lastError.clear();
    const auto serial = ParseSerialNumber(text);
    if (!serial) {
        if (SerialEntryTooShort(text) && PlaySound)
            PlaySound(m_settings.ChosenSound);
        return SerialResult::Invalid;
    }
    const platform::DriveInfo* drive = currentDrive();
    platform::VolumeWriteResult written;
    // Asked again: the volume may have been mounted since the page opened.
    const auto refusal =
        drive ? SerialNumberRefusal(platform::SerialChangeRefusal(*drive)) : std::nullopt;
    if (refusal) {
        m_prompter.warn(*refusal);
        return SerialResult::Failed;
    } else if (drive) {
        written = platform::WriteVolumeSerial(*drive, *serial);
    } else {
        written.detail = "no drive " + std::string(1, m_state.currentDisk) + ":";
    }
    if (written.ok())
        return SerialResult::Written;
    m_lastError = written.detail;
    m_prompter.beep();
    return SerialResult::Failed;
}

} // namespace zentrix
