#include "catalogue/localtimeoffsets.h"

#include <ctime>
#include <limits>

namespace zentrix {

namespace {

// A day of UTC: offsets change at most once on the days they change at all
// (checked: a day whose two ends differ is asked about per instant).
constexpr int64_t kBucketSeconds = 86400;
constexpr int64_t kMsPerDay = 86400000;
// Days from 1601-01-01 to 1899-12-30, and seconds from 1601 to 1970.
constexpr int64_t kDays1601To1899 = 109205;
constexpr int64_t kSeconds1601To1970 = 11644473600LL;

int64_t floorDiv(int64_t a, int64_t b) {
    int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

// Milliseconds since 1601 as a file time, held to its range.
int64_t heldFileTime(int64_t ms1601) {
    int64_t result = 0;
    if (__builtin_mul_overflow(ms1601, int64_t(10000), &result))
        return ms1601 < 0 ? std::numeric_limits<int64_t>::min()
                          : std::numeric_limits<int64_t>::max();
    return result;
}

} // namespace

int32_t LocalTimeOffsets::systemOffset(int64_t utcSeconds) {
    if (utcSeconds < std::numeric_limits<time_t>::min() ||
        utcSeconds > std::numeric_limits<time_t>::max())
        return 0;
    const time_t t = static_cast<time_t>(utcSeconds);
    struct tm local {};
    if (!::localtime_r(&t, &local))
        return 0;
    return static_cast<int32_t>(local.tm_gmtoff);
}

int32_t LocalTimeOffsets::OffsetAt(int64_t utcSeconds) {
    const int64_t bucket = floorDiv(utcSeconds, kBucketSeconds);
    if (bucket == m_lastBucket)
        return m_lastOffset;
    if (auto it = m_buckets.find(bucket); it != m_buckets.end()) {
        m_lastBucket = bucket;
        m_lastOffset = it->second;
        return it->second;
    }
    const int64_t start = bucket * kBucketSeconds;
    const int32_t first = systemOffset(start);
    const int32_t last = systemOffset(start + kBucketSeconds - 1);
    if (first != last)
        return systemOffset(utcSeconds); // a change inside: ask every time
    if (m_buckets.size() > 100000)
        m_buckets.clear();
    m_buckets.emplace(bucket, first);
    m_lastBucket = bucket;
    m_lastOffset = first;
    return first;
}

int64_t LocalTimeOffsets::FileTimeToLocalMs(int64_t fileTime) {
    const int64_t ms1601 = floorDiv(fileTime, 10000);
    const int64_t utcSeconds = floorDiv(ms1601, 1000) - kSeconds1601To1970;
    const int64_t local = ms1601 + int64_t(OffsetAt(utcSeconds)) * 1000;
    return local - kDays1601To1899 * kMsPerDay;
}

int64_t LocalTimeOffsets::LocalMsToFileTime(int64_t localMs) {
    const int64_t local1601 = localMs + kDays1601To1899 * kMsPerDay;
    const int64_t localSeconds = floorDiv(local1601, 1000) - kSeconds1601To1970;
    // The offset at the instant the local time would be with today's offset,
    // then once more from there: right on both sides of a change.
    const int32_t guess = OffsetAt(localSeconds - OffsetAt(localSeconds));
    const int32_t offset = OffsetAt(localSeconds - guess);
    return heldFileTime(local1601 - int64_t(offset) * 1000);
}

} // namespace zentrix
