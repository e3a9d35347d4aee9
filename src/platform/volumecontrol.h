#pragma once

#include "platform/drivetable.h"

#include <cstdint>
#include <optional>
#include <string>

namespace zentrix::platform {

/// The identification fields of a medium, as its boot record (or superblock)
/// holds them.
struct MediumRecord {
    /// The file-system families this layer can read and write.
    enum class Family { Fat, Ntfs, ExFat, Ext, Iso9660 };
    Family family = Family::Fat;
    /// The record's own type field, trimmed: "FAT12", "FAT16", "FAT32" for FAT,
    /// "CD001" for an ISO 9660 disc; empty where the file system has no such field.
    std::string fsType;
    /// Trimmed; empty when the medium has none ("NO NAME" on FAT counts as none).
    /// NTFS and exFAT keep their labels outside the boot record: empty there.
    std::string label;
    bool hasSerial = false;
    /// The 32-bit serial number: FAT and exFAT's volume id, the low half of NTFS's,
    /// the first eight hexadecimal digits of an ext UUID.
    uint32_t serial = 0;
};

/// Reads the identification record of a block device or an image file. None
/// when it cannot be opened or holds no file system this layer knows.
std::optional<MediumRecord> ReadMediumRecord(const std::string& device);

/// The medium's file-system type field as the drive list's audio-CD test wants
/// it: "CDAUDIO" when the drive's device is a CD-ROM drive holding a disc of
/// audio tracks only (asked of the drive through its table of contents), the
/// record's type field when the medium can be read and has one, otherwise the
/// mounted file system's name; empty when nothing is known.
std::string MediumFileSystemType(const DriveInfo& drive);

/// Why changing a label or serial number failed.
enum class VolumeWriteStatus {
    Ok,
    NoDevice,     // the drive has no block device or image behind it (network, virtual)
    NotSupported, // this file system's field cannot be changed here
    ToolMissing,  // the file system's own tool is not installed
    InvalidText,  // the label does not fit the file system
    Failed,       // the write or the tool failed (often: not permitted)
};

struct VolumeWriteResult {
    VolumeWriteStatus status = VolumeWriteStatus::Failed;
    /// What went wrong, for the error log: the tool's message or the system error.
    std::string detail;
    bool ok() const { return status == VolumeWriteStatus::Ok; }
};

/// Sets the volume label of the medium in a drive, through the file system's own
/// tool (fatlabel or mlabel, e2label or tune2fs, ntfslabel, exfatlabel, btrfs,
/// xfs_admin). An empty label removes it.
VolumeWriteResult WriteVolumeLabel(const DriveInfo& drive, const std::string& label);

/// Sets the 32-bit serial number of the medium in a drive. FAT boot records are
/// rewritten in place through the device (the backup record of FAT32 too), NTFS
/// keeps the high half of its 64-bit number; ext gets a UUID whose first eight
/// digits are the serial (tune2fs), exFAT goes through tune.exfat.
VolumeWriteResult WriteVolumeSerial(const DriveInfo& drive, uint32_t serial);

/// Ejects the medium of a drive: a mounted medium through the desktop's eject of
/// its mount point, an unmounted CD-ROM device through its eject request.
bool EjectDrive(const DriveInfo& drive);

} // namespace zentrix::platform
