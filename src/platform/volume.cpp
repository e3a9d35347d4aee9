#include "platform/volume.h"

#include "platform/volumecontrol.h"

#include <cctype>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace zentrix::platform {
namespace {

std::string trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b])))
        ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1])))
        --e;
    return s.substr(b, e - b);
}

std::string resolved(const std::string& path) {
    char buf[PATH_MAX];
    return ::realpath(path.c_str(), buf) ? std::string(buf) : std::string();
}

// The name of the link in `dir` that points at `device`, or empty.
std::string linkNameFor(const char* dir, const std::string& device) {
    const std::string target = resolved(device);
    if (target.empty())
        return {};
    DIR* d = ::opendir(dir);
    if (!d)
        return {};
    std::string found;
    while (dirent* e = ::readdir(d)) {
        if (e->d_name[0] == '.')
            continue;
        if (resolved(std::string(dir) + "/" + e->d_name) == target) {
            found = e->d_name;
            break;
        }
    }
    ::closedir(d);
    return found;
}

} // namespace

std::string DecodeUdevName(const std::string& name) {
    std::string out;
    for (size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x' &&
            std::isxdigit(static_cast<unsigned char>(name[i + 2])) &&
            std::isxdigit(static_cast<unsigned char>(name[i + 3]))) {
            out.push_back(static_cast<char>(std::stoi(name.substr(i + 2, 2), nullptr, 16)));
            i += 3;
        } else {
            out.push_back(name[i]);
        }
    }
    return out;
}

bool SerialFromUuid(const std::string& uuid, uint32_t& serial) {
    std::string hex;
    for (char c : uuid) {
        if (std::isxdigit(static_cast<unsigned char>(c)))
            hex.push_back(c);
        else if (c != '-')
            return false;
    }
    if (hex.size() < 8)
        return false;
    const std::string digits = hex.size() == 16 ? hex.substr(8) : hex.substr(0, 8);
    serial = static_cast<uint32_t>(std::stoul(digits, nullptr, 16));
    return true;
}

VolumeInfo QueryVolume(const DriveInfo& drive) {
    VolumeInfo info;
    info.fsType = drive.fsType;
    struct statvfs vfs{};
    if (::access(drive.root.c_str(), R_OK | X_OK) != 0 || ::statvfs(drive.root.c_str(), &vfs) != 0)
        return info;
    info.ready = true;
    info.totalBytes = static_cast<uint64_t>(vfs.f_blocks) * vfs.f_frsize;
    info.freeBytes = static_cast<uint64_t>(vfs.f_bavail) * vfs.f_frsize;
    if (!drive.label.empty()) {
        info.label = trim(drive.label);
    } else if (drive.device.rfind("/dev/", 0) == 0) {
        info.label = trim(DecodeUdevName(linkNameFor("/dev/disk/by-label", drive.device)));
    }
    if (struct stat st{}; ::stat(drive.device.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
        // An image file stands for the medium: its own record tells.
        if (auto record = ReadMediumRecord(drive.device)) {
            if (drive.label.empty())
                info.label = trim(record->label);
            info.hasSerial = record->hasSerial;
            info.serial = record->serial;
        }
    } else if (drive.device.rfind("/dev/", 0) == 0) {
        const std::string uuid = linkNameFor("/dev/disk/by-uuid", drive.device);
        if (!uuid.empty())
            info.hasSerial = SerialFromUuid(uuid, info.serial);
    }
    return info;
}

} // namespace zentrix::platform
