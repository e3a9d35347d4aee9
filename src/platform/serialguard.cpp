#include "platform/serialguard.h"

#include "platform/volumecontrol.h"

#include <cctype>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace zentrix::platform {
namespace {

// The table writes blanks and tabs inside a field as octal escapes ("\040").
std::string unescapeField(std::string_view s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 3 < s.size() &&
            std::isdigit(static_cast<unsigned char>(s[i + 1])) &&
            std::isdigit(static_cast<unsigned char>(s[i + 2])) &&
            std::isdigit(static_cast<unsigned char>(s[i + 3]))) {
            out.push_back(static_cast<char>(
                ((s[i + 1] - '0') * 64 + (s[i + 2] - '0') * 8 + (s[i + 3] - '0')) & 0xFF));
            i += 3;
        } else {
            out.push_back(s[i]);
        }
    }
    return out;
}

// What a path is on disk: a block device by its device number, anything else
// by its file.
struct Identity {
    bool known = false;
    bool block = false;
    dev_t dev = 0;
    ino_t ino = 0;
};

Identity identityOf(const std::string& path) {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0)
        return {};
    if (S_ISBLK(st.st_mode))
        return {true, true, st.st_rdev, 0};
    return {true, false, st.st_dev, st.st_ino};
}

bool same(const Identity& a, const Identity& b) {
    return a.known && b.known && a.block == b.block && a.dev == b.dev && a.ino == b.ino;
}

// The device a table's spec names, through the system's links by UUID and label.
std::string specPath(const std::string& spec) {
    if (!spec.empty() && spec[0] == '/')
        return spec;
    static const struct {
        const char* prefix;
        const char* dir;
    } kLinks[] = {{"UUID=", "/dev/disk/by-uuid/"},
                  {"LABEL=", "/dev/disk/by-label/"},
                  {"PARTUUID=", "/dev/disk/by-partuuid/"},
                  {"PARTLABEL=", "/dev/disk/by-partlabel/"}};
    for (const auto& l : kLinks)
        if (spec.rfind(l.prefix, 0) == 0)
            return l.dir + spec.substr(std::string(l.prefix).size());
    return {}; // a share or a pseudo file system: no device of ours
}

std::string hexDigitsOnly(const std::string& s) {
    std::string out;
    for (char c : s)
        if (std::isxdigit(static_cast<unsigned char>(c)))
            out.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    return out;
}

// A UUID in the table that carries the medium's serial number: FAT writes it as
// "12AB-34CD", ext's begins with it, NTFS's 16 digits end with it.
bool uuidHoldsSerial(const std::string& uuid, uint32_t serial) {
    char own[9];
    std::snprintf(own, sizeof own, "%08X", serial);
    const std::string digits = hexDigitsOnly(uuid);
    if (digits.size() < 8)
        return false;
    return digits.compare(0, 8, own) == 0 ||
           (digits.size() == 16 && digits.compare(8, 8, own) == 0);
}

} // namespace

std::vector<FstabEntry> ParseFstab(std::string_view text) {
    std::vector<FstabEntry> entries;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        std::vector<std::string_view> fields;
        size_t i = 0;
        while (i < line.size() && fields.size() < 2) {
            while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i])))
                ++i;
            if (i >= line.size() || line[i] == '#')
                break;
            const size_t start = i;
            while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i])))
                ++i;
            fields.push_back(line.substr(start, i - start));
        }
        if (fields.size() == 2)
            entries.push_back({unescapeField(fields[0]), unescapeField(fields[1])});
    }
    return entries;
}

SerialRefusal SerialChangeRefusal(const DriveInfo& drive, std::string_view fstabText,
                                  const std::vector<MountEntry>& mounts,
                                  const std::string& rootPath) {
    const Identity device = identityOf(drive.device);
    if (!device.known)
        return SerialRefusal::None; // nothing to write to: the write itself says so

    // The root file system lives on the device its root directory is on.
    struct stat root {};
    if (device.block && ::stat(rootPath.c_str(), &root) == 0 && root.st_dev == device.dev)
        return SerialRefusal::RootFileSystem;

    // Where the volume is mounted now, by the mount's source. Only sources that
    // are paths are looked at: a mount point or a share may hang when asked.
    std::vector<std::string> mountedAt;
    for (const MountEntry& m : mounts)
        if (!m.source.empty() && m.source[0] == '/' && same(identityOf(m.source), device))
            mountedAt.push_back(m.mountPoint);

    const auto record = ReadMediumRecord(drive.device);
    for (const FstabEntry& e : ParseFstab(fstabText)) {
        if (same(identityOf(specPath(e.spec)), device))
            return SerialRefusal::NamedInFstab;
        for (const std::string& at : mountedAt)
            if (at == e.mountPoint)
                return SerialRefusal::NamedInFstab;
        if (record && record->hasSerial && e.spec.rfind("UUID=", 0) == 0 &&
            uuidHoldsSerial(e.spec.substr(5), record->serial))
            return SerialRefusal::NamedInFstab;
        if (record && !record->label.empty() && e.spec == "LABEL=" + record->label)
            return SerialRefusal::NamedInFstab;
    }

    if (!mountedAt.empty() && drive.kind != DriveKind::Floppy)
        return SerialRefusal::MountedFixed;
    return SerialRefusal::None;
}

SerialRefusal SerialChangeRefusal(const DriveInfo& drive) {
    std::string fstab;
    if (std::ifstream in{"/etc/fstab"}) {
        std::ostringstream text;
        text << in.rdbuf();
        fstab = text.str();
    }
    return SerialChangeRefusal(drive, fstab, DriveTable::ReadMountTable());
}

} // namespace zentrix::platform
