// The identification record of a disk image or device, whatever its first
// sectors hold: reading never fails, and what it finds fits the fields of the
// record it claims to have read.
#include "platform/volumecontrol.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

using namespace zentrix::platform;

namespace {

void check(bool ok) {
    if (!ok)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const int fd = ::memfd_create("medium", MFD_CLOEXEC);
    check(fd >= 0);
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, size - done);
        check(n > 0);
        done += static_cast<size_t>(n);
    }
    const auto record = ReadMediumRecord("/proc/self/fd/" + std::to_string(fd));
    ::close(fd);
    if (!record)
        return 0;
    check(size >= 2048);
    check(record->fsType.size() <= 8 && record->label.size() <= 32);
    check(record->label.find('\0') == std::string::npos);
    check(record->fsType.find('\0') == std::string::npos);
    switch (record->family) {
    case MediumRecord::Family::Fat:
        check(record->fsType.rfind("FAT", 0) == 0 && record->label.size() <= 11);
        break;
    case MediumRecord::Family::Ntfs:
    case MediumRecord::Family::ExFat:
        check(record->hasSerial && record->label.empty());
        break;
    case MediumRecord::Family::Ext:
        check(record->hasSerial && record->label.size() <= 16);
        break;
    case MediumRecord::Family::Iso9660:
        check(record->fsType == "CD001" && size >= 17 * 2048);
        break;
    }
    return 0;
}
