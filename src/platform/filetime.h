#pragma once

#include <cstdint>
#include <ctime>

namespace zentrix::platform {

/// 100-ns intervals between 1601-01-01 and 1970-01-01 (both UTC).
constexpr int64_t kUnixEpochAsFileTime = 116444736000000000LL;

/// A file time: 100-ns units since 1 January 1601, UTC.
constexpr int64_t ToFileTime(const timespec& ts) {
    return kUnixEpochAsFileTime + static_cast<int64_t>(ts.tv_sec) * 10000000LL +
           ts.tv_nsec / 100;
}

constexpr timespec FromFileTime(int64_t fileTime) {
    const int64_t units = fileTime - kUnixEpochAsFileTime;
    int64_t sec = units / 10000000LL;
    int64_t rest = units % 10000000LL;
    if (rest < 0) {
        rest += 10000000LL;
        --sec;
    }
    return timespec{static_cast<time_t>(sec), static_cast<long>(rest * 100)};
}

} // namespace zentrix::platform
