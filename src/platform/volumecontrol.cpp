#include "platform/volumecontrol.h"

#include "platform/fileprobe.h"
#include "platform/process.h"

#include <array>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <linux/cdrom.h>
#include <poll.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace zentrix::platform {
namespace {

using Family = MediumRecord::Family;

constexpr size_t kSector = 512;

uint16_t le16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
uint64_t le64(const uint8_t* p) {
    return static_cast<uint64_t>(le32(p)) | (static_cast<uint64_t>(le32(p + 4)) << 32);
}
uint32_t be32(const uint8_t* p) {
    return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
           (static_cast<uint32_t>(p[2]) << 8) | static_cast<uint32_t>(p[3]);
}
void putLe32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// A fixed-width text field: up to the first NUL, trailing blanks removed.
std::string field(const uint8_t* p, size_t n) {
    std::string s(reinterpret_cast<const char*>(p), n);
    if (const auto nul = s.find('\0'); nul != std::string::npos)
        s.resize(nul);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.pop_back();
    size_t b = 0;
    while (b < s.size() && s[b] == ' ')
        ++b;
    return s.substr(b);
}

// All n bytes at an offset through pread or pwrite, across short transfers
// and interruptions.
template <typename Io, typename Byte>
bool transferAt(Io io, int fd, uint64_t offset, Byte* buf, size_t n) {
    size_t done = 0;
    while (done < n) {
        const ssize_t r = io(fd, buf + done, n - done, static_cast<off_t>(offset + done));
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0)
            return false;
        done += static_cast<size_t>(r);
    }
    return true;
}

bool readAt(int fd, uint64_t offset, uint8_t* buf, size_t n) {
    return transferAt(::pread, fd, offset, buf, n);
}

bool writeAt(int fd, uint64_t offset, const uint8_t* buf, size_t n) {
    return transferAt(::pwrite, fd, offset, buf, n);
}

// Where the extended boot record of a FAT boot sector sits: 0x24 for FAT12 and
// FAT16, 0x40 for FAT32 (no root directory entries, no 16-bit FAT size).
struct FatLayout {
    size_t ebr = 0; // drive number; signature at +2, serial +3, label +7, type +18
    bool fat32 = false;
    bool hasSerial = false; // signature 0x28 or 0x29
    bool hasLabel = false;  // signature 0x29
    uint16_t bytesPerSector = 0;
};

std::optional<FatLayout> fatLayout(const uint8_t* b) {
    if (b[510] != 0x55 || b[511] != 0xAA || (b[0] != 0xEB && b[0] != 0xE9))
        return std::nullopt;
    const uint16_t bps = le16(b + 11);
    const uint8_t spc = b[13];
    if ((bps != 512 && bps != 1024 && bps != 2048 && bps != 4096) || spc == 0 ||
        (spc & (spc - 1)) != 0 || le16(b + 14) == 0 || b[16] == 0 || b[16] > 2)
        return std::nullopt;
    FatLayout l;
    l.bytesPerSector = bps;
    l.fat32 = le16(b + 17) == 0 && le16(b + 22) == 0;
    l.ebr = l.fat32 ? 0x40 : 0x24;
    const uint8_t sig = b[l.ebr + 2];
    l.hasSerial = sig == 0x28 || sig == 0x29;
    l.hasLabel = sig == 0x29;
    return l;
}

std::optional<MediumRecord> parseRecord(int fd) {
    std::array<uint8_t, 4096> b{};
    if (!readAt(fd, 0, b.data(), 2048))
        return std::nullopt;
    MediumRecord r;
    if (std::memcmp(b.data() + 3, "NTFS    ", 8) == 0) {
        r.family = Family::Ntfs;
        r.hasSerial = true;
        r.serial = le32(b.data() + 0x48);
        return r;
    }
    if (std::memcmp(b.data() + 3, "EXFAT   ", 8) == 0) {
        r.family = Family::ExFat;
        r.hasSerial = true;
        r.serial = le32(b.data() + 0x64);
        return r;
    }
    if (auto fat = fatLayout(b.data())) {
        r.family = Family::Fat;
        r.hasSerial = fat->hasSerial;
        if (fat->hasSerial)
            r.serial = le32(b.data() + fat->ebr + 3);
        if (fat->hasLabel) {
            r.label = field(b.data() + fat->ebr + 7, 11);
            if (r.label == "NO NAME")
                r.label.clear();
            r.fsType = field(b.data() + fat->ebr + 18, 8);
        }
        if (r.fsType.rfind("FAT", 0) != 0)
            r.fsType = fat->fat32 ? "FAT32" : "FAT";
        return r;
    }
    const uint8_t* sb = b.data() + 1024;
    if (le16(sb + 0x38) == 0xEF53) {
        r.family = Family::Ext;
        r.hasSerial = true;
        r.serial = be32(sb + 0x68);
        r.label = field(sb + 0x78, 16);
        return r;
    }
    std::array<uint8_t, 2048> pvd{};
    if (readAt(fd, 16 * 2048, pvd.data(), pvd.size()) && pvd[0] == 1 &&
        std::memcmp(pvd.data() + 1, "CD001", 5) == 0) {
        r.family = Family::Iso9660;
        r.fsType = "CD001";
        r.label = field(pvd.data() + 40, 32);
        return r;
    }
    return std::nullopt;
}

// The block device or image file behind a drive; empty for anything else
// (network sources, tmpfs, overlay).
std::string deviceOf(const DriveInfo& drive) {
    if (drive.device.empty() || drive.device[0] != '/' || drive.device.rfind("//", 0) == 0)
        return {};
    struct stat st {};
    if (::stat(drive.device.c_str(), &st) != 0 || !(S_ISBLK(st.st_mode) || S_ISREG(st.st_mode)))
        return {};
    return drive.device;
}

bool isBlockDevice(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISBLK(st.st_mode);
}

// The file-system tools live in the system directories, which are not on every
// user's PATH.
std::string findTool(const std::string& name) {
    const char* path = std::getenv("PATH");
    return FindProgramIn(name, std::string(path ? path : "/usr/bin:/bin") +
                                   ":/usr/sbin:/sbin:/usr/local/sbin");
}

struct ToolRun {
    bool started = false;
    int status = -1;
    std::string errors;
};

// Runs a tool with no input and collects what it writes to its error output.
ToolRun runTool(const std::string& program, const std::vector<std::string>& args,
                const std::vector<std::string>& extraEnv = {}) {
    ToolRun run;
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0)
        return run;
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (char** e = environ; e && *e; ++e)
        envp.push_back(*e);
    for (const auto& e : extraEnv)
        envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 2);
    pid_t pid = 0;
    const int rc =
        ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    if (rc != 0) {
        ::close(pipeFds[0]);
        run.errors = std::strerror(rc);
        return run;
    }
    run.started = true;
    char buf[512];
    for (;;) {
        const ssize_t n = ::read(pipeFds[0], buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        if (run.errors.size() < 4096)
            run.errors.append(buf, static_cast<size_t>(n));
    }
    ::close(pipeFds[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return run;
    }
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    while (!run.errors.empty() && (run.errors.back() == '\n' || run.errors.back() == ' '))
        run.errors.pop_back();
    return run;
}

VolumeWriteResult result(VolumeWriteStatus status, std::string detail = {}) {
    return {status, std::move(detail)};
}

// Runs the first of the candidate tools that is installed.
VolumeWriteResult
runFirstTool(const std::vector<std::pair<std::string, std::vector<std::string>>>& candidates,
             const std::vector<std::string>& extraEnv = {}) {
    std::string names;
    for (const auto& [name, args] : candidates) {
        const std::string program = findTool(name);
        if (program.empty()) {
            names += (names.empty() ? "" : ", ") + name;
            continue;
        }
        const ToolRun run = runTool(program, args, extraEnv);
        if (run.started && run.status == 0)
            return result(VolumeWriteStatus::Ok);
        return result(VolumeWriteStatus::Failed,
                      name + ": " + (run.errors.empty() ? "failed" : run.errors));
    }
    return result(VolumeWriteStatus::ToolMissing, "none of these tools is installed: " + names);
}

std::optional<Family> familyOfFsType(const std::string& fsType) {
    if (fsType == "vfat" || fsType == "msdos" || fsType == "fat")
        return Family::Fat;
    if (fsType.rfind("ext", 0) == 0)
        return Family::Ext;
    if (fsType == "ntfs" || fsType == "ntfs3" || fsType == "fuseblk" || fsType == "fuse.ntfs-3g")
        return Family::Ntfs;
    if (fsType == "exfat")
        return Family::ExFat;
    if (fsType == "iso9660" || fsType == "udf")
        return Family::Iso9660;
    return std::nullopt;
}

std::string hex8(uint32_t v, bool upper) {
    char buf[9];
    std::snprintf(buf, sizeof buf, upper ? "%08X" : "%08x", v);
    return buf;
}

struct FdCloser {
    int fd;
    ~FdCloser() {
        if (fd >= 0)
            ::close(fd);
    }
};

VolumeWriteResult writeFatSerial(const std::string& device, uint32_t serial) {
    const int fd = ::open(device.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return result(VolumeWriteStatus::Failed, device + ": " + std::strerror(errno));
    FdCloser closer{fd};
    std::array<uint8_t, kSector> b{};
    if (!readAt(fd, 0, b.data(), b.size()))
        return result(VolumeWriteStatus::Failed, device + ": cannot read the boot record");
    const auto layout = fatLayout(b.data());
    if (!layout || !layout->hasSerial)
        return result(VolumeWriteStatus::NotSupported, device + ": the boot record has no serial");
    const uint32_t old = le32(b.data() + layout->ebr + 3);
    putLe32(b.data() + layout->ebr + 3, serial);
    if (!writeAt(fd, 0, b.data(), b.size()))
        return result(VolumeWriteStatus::Failed, device + ": " + std::strerror(errno));
    // FAT32 keeps a copy of the boot record; it is changed only when it really is
    // the same record.
    if (layout->fat32) {
        const uint16_t backup = le16(b.data() + 0x32);
        std::array<uint8_t, kSector> c{};
        const uint64_t at = static_cast<uint64_t>(backup) * layout->bytesPerSector;
        if (backup != 0 && backup != 0xFFFF && readAt(fd, at, c.data(), c.size())) {
            const auto copy = fatLayout(c.data());
            if (copy && copy->fat32 && copy->hasSerial && le32(c.data() + copy->ebr + 3) == old) {
                putLe32(c.data() + copy->ebr + 3, serial);
                writeAt(fd, at, c.data(), c.size());
            }
        }
    }
    if (::fsync(fd) != 0)
        return result(VolumeWriteStatus::Failed, device + ": " + std::strerror(errno));
    return result(VolumeWriteStatus::Ok);
}

VolumeWriteResult writeNtfsSerial(const std::string& device, uint32_t serial) {
    const int fd = ::open(device.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return result(VolumeWriteStatus::Failed, device + ": " + std::strerror(errno));
    FdCloser closer{fd};
    std::array<uint8_t, kSector> b{};
    if (!readAt(fd, 0, b.data(), b.size()) || std::memcmp(b.data() + 3, "NTFS    ", 8) != 0)
        return result(VolumeWriteStatus::Failed, device + ": cannot read the boot record");
    const uint64_t oldSerial = le64(b.data() + 0x48);
    putLe32(b.data() + 0x48, serial);
    if (!writeAt(fd, 0, b.data(), b.size()))
        return result(VolumeWriteStatus::Failed, device + ": " + std::strerror(errno));
    // The copy sits in the sector after the volume's last one.
    const uint64_t at = le64(b.data() + 0x28) * le16(b.data() + 11);
    std::array<uint8_t, kSector> c{};
    if (at > 0 && readAt(fd, at, c.data(), c.size()) &&
        std::memcmp(c.data() + 3, "NTFS    ", 8) == 0 && le64(c.data() + 0x48) == oldSerial) {
        putLe32(c.data() + 0x48, serial);
        writeAt(fd, at, c.data(), c.size());
    }
    if (::fsync(fd) != 0)
        return result(VolumeWriteStatus::Failed, device + ": " + std::strerror(errno));
    return result(VolumeWriteStatus::Ok);
}

size_t utf8Length(const std::string& s) {
    size_t n = 0;
    for (unsigned char c : s)
        n += (c & 0xC0) != 0x80;
    return n;
}

} // namespace

std::optional<MediumRecord> ReadMediumRecord(const std::string& device) {
    const int fd = ::open(device.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return std::nullopt;
    FdCloser closer{fd};
    return parseRecord(fd);
}

std::string MediumFileSystemType(const DriveInfo& drive) {
    const std::string device = deviceOf(drive);
    if (!device.empty() && isBlockDevice(device)) {
        const int fd = ::open(device.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) {
            FdCloser closer{fd};
            const int driveStatus = ::ioctl(fd, CDROM_DRIVE_STATUS, CDSL_CURRENT);
            if (driveStatus >= 0) {
                // A CD-ROM drive: its table of contents says what the disc holds.
                if (driveStatus != CDS_DISC_OK)
                    return {};
                if (::ioctl(fd, CDROM_DISC_STATUS, 0) == CDS_AUDIO)
                    return "CDAUDIO";
            }
        }
    }
    if (!device.empty()) {
        if (auto record = ReadMediumRecord(device); record && !record->fsType.empty())
            return record->fsType;
    }
    return drive.fsType;
}

VolumeWriteResult WriteVolumeLabel(const DriveInfo& drive, const std::string& label) {
    const std::string device = deviceOf(drive);
    std::optional<Family> family;
    if (!device.empty()) {
        if (auto record = ReadMediumRecord(device))
            family = record->family;
    }
    if (!family)
        family = familyOfFsType(drive.fsType);

    if (!family) {
        // File systems that label themselves while mounted, or only through their tool.
        if (drive.fsType == "btrfs" && !drive.mountPoint.empty())
            return runFirstTool(
                {{"btrfs", {"filesystem", "label", "--", drive.mountPoint, label}}});
        if (drive.fsType == "xfs" && !device.empty())
            return runFirstTool({{"xfs_admin", {"-L", label.empty() ? "--" : label, device}}});
        if (device.empty())
            return result(VolumeWriteStatus::NoDevice,
                          "drive " + std::string(1, drive.letter) + ": has no device to label");
        return result(VolumeWriteStatus::NotSupported, drive.fsType + ": labels not supported");
    }
    if (device.empty())
        return result(VolumeWriteStatus::NoDevice,
                      "drive " + std::string(1, drive.letter) + ": has no device to label");

    // A label that begins with "-" reaches the tools after "--" (e2label reads
    // no options, and "-L" takes the word after it whatever it is): the tools
    // read options anywhere on their command line.
    switch (*family) {
    case Family::Fat:
        if (label.size() > 11)
            return result(VolumeWriteStatus::InvalidText, "a FAT label has at most 11 characters");
        if (label.empty())
            return runFirstTool(
                {{"fatlabel", {"-r", device}}, {"mlabel", {"-c", "-i", device, "::"}}},
                {"MTOOLS_SKIP_CHECK=1"});
        return runFirstTool(
            {{"fatlabel", {"--", device, label}}, {"mlabel", {"-i", device, "::" + label}}},
            {"MTOOLS_SKIP_CHECK=1"});
    case Family::Ext:
        if (label.size() > 16)
            return result(VolumeWriteStatus::InvalidText, "an ext label has at most 16 bytes");
        return runFirstTool({{"e2label", {device, label}}, {"tune2fs", {"-L", label, device}}});
    case Family::Ntfs:
        if (utf8Length(label) > 32)
            return result(VolumeWriteStatus::InvalidText,
                          "an NTFS label has at most 32 characters");
        return runFirstTool({{"ntfslabel", {"--", device, label}}});
    case Family::ExFat:
        if (utf8Length(label) > 11)
            return result(VolumeWriteStatus::InvalidText,
                          "an exFAT label has at most 11 characters");
        return runFirstTool(
            {{"exfatlabel", {"--", device, label}}, {"tune.exfat", {"-L", label, device}}});
    case Family::Iso9660:
        break;
    }
    return result(VolumeWriteStatus::NotSupported, "the medium cannot be written");
}

VolumeWriteResult WriteVolumeSerial(const DriveInfo& drive, uint32_t serial) {
    const std::string device = deviceOf(drive);
    if (device.empty())
        return result(VolumeWriteStatus::NoDevice,
                      "drive " + std::string(1, drive.letter) + ": has no device");
    const auto record = ReadMediumRecord(device);
    std::optional<Family> family = record ? std::optional(record->family) : std::nullopt;
    if (!family)
        family = familyOfFsType(drive.fsType);
    if (!family)
        return result(VolumeWriteStatus::NotSupported, drive.fsType + ": no serial number");
    switch (*family) {
    case Family::Fat:
        return writeFatSerial(device, serial);
    case Family::Ntfs:
        return writeNtfsSerial(device, serial);
    case Family::ExFat:
        return runFirstTool({{"tune.exfat", {"-I", "0x" + hex8(serial, false), device}}});
    case Family::Ext: {
        if (!record)
            return result(VolumeWriteStatus::Failed, device + ": cannot read the superblock");
        // The serial is the UUID's first eight digits; the other digits stay.
        const int fd = ::open(device.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return result(VolumeWriteStatus::Failed, device + ": " + std::strerror(errno));
        FdCloser closer{fd};
        std::array<uint8_t, 16> uuid{};
        if (!readAt(fd, 1024 + 0x68, uuid.data(), uuid.size()))
            return result(VolumeWriteStatus::Failed, device + ": cannot read the superblock");
        std::string text = hex8(serial, false);
        for (size_t i = 4; i < 16; ++i) {
            if (i == 4 || i == 6 || i == 8 || i == 10)
                text.push_back('-');
            char two[3];
            std::snprintf(two, sizeof two, "%02x", uuid[i]);
            text += two;
        }
        return runFirstTool({{"tune2fs", {"-U", text, device}}});
    }
    case Family::Iso9660:
        break;
    }
    return result(VolumeWriteStatus::NotSupported, "the medium cannot be written");
}

bool EjectDrive(const DriveInfo& drive) {
    // Only removable media are ever ejected: never the disk holding the system.
    if (drive.kind != DriveKind::CdRom && drive.kind != DriveKind::Floppy)
        return false;
    const std::string device = deviceOf(drive);
    // The drive must be the mount itself, not a directory somewhere on it.
    if (!drive.mountPoint.empty() && drive.mountPoint != "/" && drive.mountPoint == drive.root &&
        EjectMedium(drive.mountPoint))
        return true;
    if (device.empty() || !isBlockDevice(device))
        return false;
    const int fd = ::open(device.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    FdCloser closer{fd};
    return ::ioctl(fd, CDROMEJECT, 0) == 0;
}

} // namespace zentrix::platform
