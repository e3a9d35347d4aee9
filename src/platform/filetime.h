#pragma once

#include <cstdint>
#include <ctime>
#include <limits>

namespace zentrix::platform {

/// 100-ns intervals between 1601-01-01 and 1970-01-01 (both UTC).
constexpr int64_t kUnixEpochAsFileTime = 116444736000000000LL;
constexpr int64_t kFileTimeUnitsPerSecond = 10000000LL;

/// A file time: 100-ns units since 1 January 1601, UTC. Times beyond what a
/// file time can hold (some file systems store 64-bit seconds) are held to its
/// first or last value; every file time comes back from its timespec.
constexpr int64_t ToFileTime(const timespec& ts) {
    constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
    constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
    int64_t seconds = 0;
    if (__builtin_add_overflow(static_cast<int64_t>(ts.tv_sec),
                               kUnixEpochAsFileTime / kFileTimeUnitsPerSecond, &seconds))
        return ts.tv_sec < 0 ? kMin : kMax;
    int64_t fraction = ts.tv_nsec / 100;
    // Before 1601 the second is counted up and the fraction down, so that the
    // earliest file times do not overflow on the way.
    if (seconds < 0 && fraction > 0) {
        ++seconds;
        fraction -= kFileTimeUnitsPerSecond;
    }
    int64_t units = 0;
    if (__builtin_mul_overflow(seconds, kFileTimeUnitsPerSecond, &units) ||
        __builtin_add_overflow(units, fraction, &units))
        return seconds < 0 ? kMin : kMax;
    return units;
}

/// Every file time has a timespec: the seconds are counted from 1601 first, so
/// that nothing overflows at either end of the range.
constexpr timespec FromFileTime(int64_t fileTime) {
    int64_t sec = fileTime / kFileTimeUnitsPerSecond;
    int64_t rest = fileTime % kFileTimeUnitsPerSecond;
    if (rest < 0) {
        rest += kFileTimeUnitsPerSecond;
        --sec;
    }
    return timespec{static_cast<time_t>(sec - kUnixEpochAsFileTime / kFileTimeUnitsPerSecond),
                    static_cast<long>(rest * 100)};
}

} // namespace zentrix::platform
