#pragma once

#include "platform/drivetable.h"

#include <cstdint>
#include <string>

namespace zentrix::platform {

/// What the system tells about the volume behind a drive letter.
struct VolumeInfo {
    bool ready = false;      // false: the drive's root is missing or unreadable
    std::string label;       // trimmed; empty when the volume has none
    uint64_t totalBytes = 0;
    uint64_t freeBytes = 0;  // bytes available to this user
    bool hasSerial = false;  // the file system keeps a serial number or UUID
    uint32_t serial = 0;
    std::string fsType;      // the system's file-system name ("ext4", "vfat" ...)
};

/// Volume facts of a drive. The label comes from ZENTRIX_DRIVES when given there,
/// otherwise from the udev label links of the mount's device; a drive standing
/// for an image file takes label and serial number from the image's own record.
VolumeInfo QueryVolume(const DriveInfo& drive);

/// The 32-bit serial a file system UUID stands for: "12AB-34CD" (FAT) reads as
/// 0x12AB34CD, a 16-digit NTFS id gives its low 32 bits, any other UUID its first
/// eight hexadecimal digits. False when the text holds no hexadecimal id.
bool SerialFromUuid(const std::string& uuid, uint32_t& serial);

/// Decodes the \xNN escapes udev writes into its by-label link names.
std::string DecodeUdevName(const std::string& name);

} // namespace zentrix::platform
