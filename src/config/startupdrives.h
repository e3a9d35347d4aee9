#pragma once

#include <string>
#include <vector>

namespace zentrix {

namespace platform {
class DriveTable;
struct DriveInfo;
} // namespace platform

/// The entry a drive has in the list of drives to log at start-up: the letter, a
/// blank and the volume label (fixed disks) or the network name (network disks);
/// empty for every other kind of drive, which is not offered.
std::string StartupDriveEntry(const platform::DriveInfo& drive, const std::string& volumeLabel);

/// The entries of all fixed and network drives of the table, in letter order.
/// Reads each fixed drive's volume label.
std::vector<std::string> StartupDriveChoices(const platform::DriveTable& drives);

/// True when an entry's first letter equals, in any case, the first letter of one
/// of the stored values.
bool IsStartupDriveChosen(const std::string& entry, const std::vector<std::string>& stored);

} // namespace zentrix
