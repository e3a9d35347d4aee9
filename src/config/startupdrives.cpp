#include "config/startupdrives.h"

#include "platform/drivetable.h"
#include "platform/volume.h"

#include <cctype>

namespace zentrix {

std::string StartupDriveEntry(const platform::DriveInfo& drive, const std::string& volumeLabel) {
    using platform::DriveKind;
    if (drive.kind == DriveKind::Fixed)
        return std::string(1, drive.letter) + " " + volumeLabel;
    if (drive.kind == DriveKind::Network)
        return std::string(1, drive.letter) + " " +
               (drive.device.empty() ? drive.label : drive.device);
    return {};
}

std::vector<std::string> StartupDriveChoices(const platform::DriveTable& drives) {
    std::vector<std::string> entries;
    for (const auto& d : drives.Drives()) {
        if (d.kind != platform::DriveKind::Fixed && d.kind != platform::DriveKind::Network)
            continue;
        const std::string label =
            d.kind == platform::DriveKind::Fixed ? platform::QueryVolume(d).label : std::string();
        entries.push_back(StartupDriveEntry(d, label));
    }
    return entries;
}

bool IsStartupDriveChosen(const std::string& entry, const std::vector<std::string>& stored) {
    if (entry.empty())
        return false;
    const auto letter = std::toupper(static_cast<unsigned char>(entry[0]));
    for (const auto& s : stored)
        if (!s.empty() && std::toupper(static_cast<unsigned char>(s[0])) == letter)
            return true;
    return false;
}

} // namespace zentrix
