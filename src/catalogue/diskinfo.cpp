#include "catalogue/diskinfo.h"

#include "core/text.h"
#include "platform/volume.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace zentrix {

using platform::DriveKind;

std::string GroupThousands(uint64_t value, char separator) {
    const std::string digits = std::to_string(value);
    std::string out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out.push_back(separator);
        out.push_back(digits[i]);
    }
    return out;
}

std::string DiskSizeText(uint64_t bytes) {
    const uint64_t kb = bytes / 1024 + (bytes % 1024 >= 512 ? 1 : 0);
    // kilobytes / 1024 > 1024 holds exactly when kb > 1024 * 1024.
    if (kb > 1024ull * 1024ull) {
        const uint64_t mb = kb / 1024 + (kb % 1024 >= 512 ? 1 : 0);
        return GroupThousands(mb) + " Mb";
    }
    return GroupThousands(kb) + " Kb";
}

int SpaceGaugePercent(uint64_t capacity, uint64_t freeBytes) {
    if (capacity == 0)
        return 0; // nothing is known about the drive's space
    const double used =
        1.0 - (static_cast<double>(freeBytes) + 1.0) / static_cast<double>(capacity);
    const long percent = std::lround(used * 100.0) + 1;
    return static_cast<int>(std::clamp(percent, 0L, 100L));
}

std::string DriveTypeName(char letter, DriveKind kind) {
    if (letter < 'A' || letter > 'Z')
        return "No drive";
    return platform::DriveKindName(kind);
}

std::string FileSystemKindName(std::string_view field) {
    std::string type = Trim(field.substr(0, std::min<size_t>(field.size(), 7)));
    if (type.empty())
        return "Unknown";
    if (type == "FAT12")
        return "12-bit FAT";
    if (type == "FAT16")
        return "16-bit FAT";
    if (type == "FAT32")
        return "32-bit FAT";
    if (type == "CDROM")
        return "High Sierra";
    if (type == "CD001")
        return "ISO 9660";
    if (type == "CDAUDIO")
        return "Audio CD";
    // The system's own name for anything else (the whole name, not 7 characters).
    return Trim(field);
}

std::string SerialNumberText(uint32_t serial) {
    char buf[10];
    std::snprintf(buf, sizeof buf, "%04X-%04X", static_cast<unsigned>(serial >> 16),
                  static_cast<unsigned>(serial & 0xFFFF));
    return buf;
}

std::optional<uint32_t> ParseSerialNumber(std::string_view text) {
    std::string digits;
    for (char c : text) {
        if (c != '-')
            digits.push_back(c);
    }
    if (digits.size() != 8)
        return std::nullopt;
    uint32_t value = 0;
    for (char c : digits) {
        const int d = HexDigit(c);
        if (d < 0)
            return std::nullopt;
        value = (value << 4) | static_cast<uint32_t>(d);
    }
    return value;
}

bool SerialEntryTooShort(std::string_view text) {
    return text.size() < 9;
}

namespace {
bool notChangeable(DriveKind kind) {
    return kind == DriveKind::Network || kind == DriveKind::CdRom;
}
} // namespace

std::optional<std::string> VolumeNameRefusal(char letter, DriveKind kind) {
    if (!notChangeable(kind))
        return std::nullopt;
    return "Cannot change volume name! (Disk type is " + DriveTypeName(letter, kind) +
           " type!)     ";
}

std::optional<std::string> SerialNumberRefusal(char letter, DriveKind kind) {
    if (!notChangeable(kind))
        return std::nullopt;
    return "Cannot change serial number! (Disk type is " + DriveTypeName(letter, kind) + " !)     ";
}

std::optional<std::string> SerialNumberRefusal(platform::SerialRefusal refusal) {
    switch (refusal) {
    case platform::SerialRefusal::None:
        break;
    case platform::SerialRefusal::RootFileSystem:
        return "Cannot change serial number! (The system runs from this disk!)     ";
    case platform::SerialRefusal::NamedInFstab:
        return "Cannot change serial number! (Disk is named in /etc/fstab!)     ";
    case platform::SerialRefusal::MountedFixed:
        return "Cannot change serial number! (Only removable or unmounted disks!)     ";
    }
    return std::nullopt;
}

std::string RemoteNameOf(const platform::DriveInfo& drive) {
    if (drive.kind != DriveKind::Network)
        return {};
    // Only a network mount's source names its connection ("//server/share",
    // "server:/export"); a local directory called a network drive has none.
    const bool remote = platform::KindOfMount(drive.fsType, {}) == DriveKind::Network ||
                        drive.device.rfind("//", 0) == 0 ||
                        drive.device.find(":/") != std::string::npos;
    return remote ? drive.device : std::string();
}

DiskPanelInfo DescribeDisk(char letter, const platform::DriveInfo* drive,
                           const platform::VolumeInfo& volume) {
    DiskPanelInfo info;
    info.letter = letter;
    info.driveNumber = letter - 64;
    info.exists = drive != nullptr;
    info.kind = drive ? drive->kind : DriveKind::Unknown;
    info.typeName = DriveTypeName(letter, info.kind);
    info.ready = drive && volume.ready;
    if (drive) {
        const std::string remote = RemoteNameOf(*drive);
        info.label = Trim(!remote.empty() ? remote : volume.label);
    }
    info.labelText = info.label.empty() ? "None" : info.label;
    info.capacity = info.ready ? volume.totalBytes : 0;
    info.freeBytes = info.ready ? volume.freeBytes : 0;
    info.capacityText = DiskSizeText(info.capacity);
    info.freeText = DiskSizeText(info.freeBytes);
    if (drive && info.kind == DriveKind::Floppy) {
        // The name a file manager gives a removable medium: its label, else the
        // name of the directory it is mounted on.
        std::string name = info.label;
        if (name.empty()) {
            const auto slash = drive->root.find_last_of('/');
            name = slash == std::string::npos ? drive->root : drive->root.substr(slash + 1);
        }
        if (name.empty())
            name = "Removable Disk";
        info.diskTypeText = name + " (" + std::string(1, letter) + ":)";
    } else {
        info.diskTypeText = info.typeName + " disk";
    }
    info.gaugePercent = SpaceGaugePercent(info.capacity, info.freeBytes);
    return info;
}

} // namespace zentrix
