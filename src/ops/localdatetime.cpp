#include "ops/localdatetime.h"

#include "platform/filetime.h"

#include <ctime>

namespace zentrix {
namespace {

// The zone's offset from UTC in seconds at an instant.
std::optional<long> offsetAt(std::time_t when) {
    std::tm tm{};
    if (!::localtime_r(&when, &tm))
        return std::nullopt;
    return tm.tm_gmtoff;
}

} // namespace

std::optional<int64_t> LocalToFileTime(const LocalDateTime& local) {
    if (local.month < 1 || local.month > 12 || local.day < 1 || local.day > 31 || local.hour < 0 ||
        local.hour > 23 || local.minute < 0 || local.minute > 59 || local.second < 0 ||
        local.second > 59 || local.year < 1601 || local.year > 30000)
        return std::nullopt;
    std::tm fields{};
    fields.tm_year = local.year - 1900;
    fields.tm_mon = local.month - 1;
    fields.tm_mday = local.day;
    fields.tm_hour = local.hour;
    fields.tm_min = local.minute;
    fields.tm_sec = local.second;
    // The wall-clock reading taken as if it were UTC; the true instant lies
    // within a day of it, off by the zone's offset at that instant.
    const std::time_t asUtc = ::timegm(&fields);
    if (fields.tm_mday != local.day || fields.tm_mon != local.month - 1)
        return std::nullopt; // 31 April and the like
    const auto before = offsetAt(asUtc - 86400);
    const auto after = offsetAt(asUtc + 86400);
    const auto at = offsetAt(asUtc);
    if (!before || !after || !at)
        return std::nullopt;
    std::optional<std::time_t> best;
    for (const long offset : {*before, *at, *after}) {
        const std::time_t candidate = asUtc - offset;
        const auto real = offsetAt(candidate);
        // A reading that exists under this offset; of two (the repeated hour)
        // the earlier one.
        if (real && *real == offset && (!best || candidate < *best))
            best = candidate;
    }
    if (!best)
        best = asUtc - *before; // the skipped hour, read as before the change
    return platform::ToFileTime(timespec{*best, 0});
}

LocalDateTime FileTimeToLocal(int64_t fileTime) {
    const timespec ts = platform::FromFileTime(fileTime);
    const std::time_t seconds = ts.tv_sec;
    std::tm tm{};
    if (!::localtime_r(&seconds, &tm))
        return {};
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

} // namespace zentrix
