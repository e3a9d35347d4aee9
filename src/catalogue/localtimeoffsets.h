#pragma once

#include <cstdint>
#include <unordered_map>

namespace zentrix {

/// Converts between file times (100-ns units since 1601, UTC) and the local
/// wall-clock milliseconds since midnight of 30 December 1899 that cache files
/// hold, by the system's time zone rules. A catalogue holds millions of files
/// whose times cluster: the offset is looked up once per day of UTC in which
/// it does not change, and asked of the system per instant only on the days
/// that hold a change of offset.
class LocalTimeOffsets {
public:
    /// Seconds east of UTC at an instant (seconds since 1970, UTC); 0 where the
    /// system cannot tell.
    int32_t OffsetAt(int64_t utcSeconds);

    /// Local milliseconds since 1899-12-30 00:00 (the file time's fraction of a
    /// millisecond is dropped).
    int64_t FileTimeToLocalMs(int64_t fileTime);
    /// The file time of a local time. A local time that occurs twice (the hour
    /// a change back to winter time repeats) means its later occurrence; the
    /// result is held to what a file time can hold.
    int64_t LocalMsToFileTime(int64_t localMs);

private:
    static int32_t systemOffset(int64_t utcSeconds);
    int64_t m_lastBucket = INT64_MIN;
    int32_t m_lastOffset = 0;
    std::unordered_map<int64_t, int32_t> m_buckets;
};

} // namespace zentrix
