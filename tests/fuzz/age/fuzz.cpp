// Typed answers to "Max file age in days ..." and the file times they are held
// against. Reading an answer is total; for every zone, moment and file time the
// age limit's quick decisions agree with the zone's own rules; and every file
// time converts to a timespec and back.
#include "filewindow/fileage.h"
#include "platform/filetime.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace zentrix;

namespace {

// Zones at the edges: old local mean times near 16 hours from universal time,
// the furthest of today's, and what a TZ variable may say.
const char* const kZones[] = {"UTC",        "Asia/Manila",  "America/Juneau", "Pacific/Kiritimati",
                              "Etc/GMT+12", "XXX-24:59:59", "XXX+24:59:59",   "Europe/Berlin"};
constexpr size_t kZoneCount = sizeof kZones / sizeof kZones[0];

void check(bool ok) {
    if (!ok)
        std::abort();
}

int64_t take64(const uint8_t*& data, size_t& size) {
    int64_t v = 0;
    const size_t n = size < sizeof v ? size : sizeof v;
    std::memcpy(&v, data, n);
    data += n;
    size -= n;
    return v;
}

void agree(const AgeLimit& limit, int64_t fileTime) {
    check(limit.Later(fileTime) == (LocalFileTime(fileTime) > limit.LocalLimit()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static size_t zone = kZoneCount;
    if (size == 0)
        return 0;
    const size_t wanted = data[0] % kZoneCount;
    ++data;
    --size;
    if (wanted != zone) {
        zone = wanted;
        ::setenv("TZ", kZones[zone], 1);
        ::tzset();
    }
    const int64_t now = take64(data, size);
    const int64_t fileTime = take64(data, size);
    const int days = ReadAgeDays(std::string(reinterpret_cast<const char*>(data), size));

    const timespec ts = platform::FromFileTime(fileTime);
    check(ts.tv_nsec >= 0 && ts.tv_nsec < 1000000000L);
    check(platform::ToFileTime(ts) == fileTime);

    const AgeLimit limit(now, days);
    agree(limit, fileTime);
    // Times near the limit are where the zone's rules decide.
    int64_t nearLimit = 0;
    if (!__builtin_add_overflow(limit.LocalLimit(), fileTime % (int64_t{30} * 3600 * 10000000),
                                &nearLimit))
        agree(limit, nearLimit);
    return 0;
}
