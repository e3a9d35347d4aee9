#pragma once

#include "platform/drivetable.h"
#include "platform/serialguard.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zentrix {

namespace platform {
struct VolumeInfo;
}

/// Digits in groups of three: 1234567 -> "1,234,567".
std::string GroupThousands(uint64_t value, char separator = ',');

/// A byte count as the disk panel shows it: kilobytes (bytes / 1024, rounded)
/// with " Kb", or megabytes (kilobytes / 1024, rounded) with " Mb" once the
/// kilobytes exceed 1024 Mb; a volume of exactly 1048576 Kb stays in kilobytes.
std::string DiskSizeText(uint64_t bytes);

/// The used-space gauge: round((1 - (free + 1) / capacity) * 100) + 1, kept
/// within 0..100. A drive that reports no capacity shows 0.
int SpaceGaugePercent(uint64_t capacity, uint64_t freeBytes);

/// "Floppy", "Fixed", "Network", "CD-ROM", "RAM", "Unknown"; "No drive" for a
/// letter outside A to Z.
std::string DriveTypeName(char letter, platform::DriveKind kind);

/// The kind of file system from the medium's type field (its first 7
/// characters): "FAT12" -> "12-bit FAT", "FAT16" -> "16-bit FAT", "FAT32" ->
/// "32-bit FAT", "CDROM" -> "High Sierra", "CD001" -> "ISO 9660", "CDAUDIO" ->
/// "Audio CD", any other name as it is, "Unknown" when there is none.
std::string FileSystemKindName(std::string_view fsTypeField);

/// Eight upper-case hexadecimal digits with "-" after the fourth: "12AB-34CD".
std::string SerialNumberText(uint32_t serial);
/// The number an entered serial stands for: without its "-" the text must be
/// exactly eight hexadecimal digits of either case ("12ab-34CD" -> 0x12AB34CD).
std::optional<uint32_t> ParseSerialNumber(std::string_view text);
/// An entry too short to be a serial number (fewer than 9 characters) is
/// answered with the configured sound.
bool SerialEntryTooShort(std::string_view text);

/// The refusal shown instead of the volume-label page: network and CD-ROM
/// drives cannot be renamed. None for other kinds.
std::optional<std::string> VolumeNameRefusal(char letter, platform::DriveKind kind);
/// The refusal shown instead of the serial-number page, likewise.
std::optional<std::string> SerialNumberRefusal(char letter, platform::DriveKind kind);
/// The message that refuses a serial number the system mounts a volume by (the
/// root file system, a volume named in /etc/fstab, a fixed volume in use); none
/// for the volumes whose number may change.
std::optional<std::string> SerialNumberRefusal(platform::SerialRefusal refusal);

/// The remote name of a network drive's connection (the mount's source, such as
/// "//server/share" or "server:/export"); empty for other drives and when the
/// drive has no network source.
std::string RemoteNameOf(const platform::DriveInfo& drive);

/// What the disk information panel shows for the current disk.
struct DiskPanelInfo {
    char letter = 0;
    int driveNumber = 0; // A = 1
    platform::DriveKind kind = platform::DriveKind::Unknown;
    bool exists = false;
    bool ready = false;
    /// The drive type name ("Fixed", ... "No drive").
    std::string typeName;
    /// The remote name (network) or the volume label, trimmed; empty for none.
    std::string label;
    /// `VolumeLabel`: the label, or "None".
    std::string labelText;
    std::string capacityText; // `DriveCapacityLabel`
    std::string freeText;     // `AvailableBytesLabel`
    std::string diskTypeText; // `lbDiskType`
    int gaugePercent = 0;     // `DrvSpaceGauge`
    uint64_t capacity = 0;
    uint64_t freeBytes = 0;
};

/// The panel's facts for a drive (none when the letter has no drive) and what
/// its volume reported.
DiskPanelInfo DescribeDisk(char letter, const platform::DriveInfo* drive,
                           const platform::VolumeInfo& volume);

} // namespace zentrix
