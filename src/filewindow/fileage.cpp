#include "filewindow/fileage.h"

#include "core/text.h"
#include "platform/filetime.h"

#include <algorithm>
#include <ctime>
#include <limits>

namespace zentrix {
namespace {

constexpr int64_t kUnitsPerSecond = 10000000LL;
constexpr int64_t kUnitsPerDay = 86400LL * kUnitsPerSecond;
// No zone is further than this from universal time. Today's lie within +14 and
// -12 hours, but old local mean times in the zone database reach almost 16
// (-15:56 in Manila before 1845, +15:02 in Juneau before 1867), and a TZ
// variable may say up to 24:59:59.
constexpr int64_t kMaxZoneOffset = 25LL * 3600 * kUnitsPerSecond;

int64_t saturatingAdd(int64_t a, int64_t b) {
    int64_t r;
    if (__builtin_add_overflow(a, b, &r))
        return b > 0 ? std::numeric_limits<int64_t>::max() : std::numeric_limits<int64_t>::min();
    return r;
}

} // namespace

int ReadAgeDays(std::string_view answer) {
    constexpr int kUnreadable = -1;
    size_t start = 0;
    while (start < answer.size() && (answer[start] == ' ' || answer[start] == '\t'))
        ++start;
    std::string_view s = answer.substr(start);
    bool negative = false;
    if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
        negative = s[0] == '-';
        s.remove_prefix(1);
    }
    bool hex = false;
    if (s.size() >= 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        hex = true;
        s.remove_prefix(2);
    }
    const size_t last = s.find_last_not_of(" \t");
    if (last != std::string_view::npos && (s[last] == 'H' || s[last] == 'h')) {
        hex = true;
        s = s.substr(0, last);
    }
    if (s.empty())
        return kUnreadable;
    const int base = hex ? 16 : 10;
    uint64_t value = 0;
    for (const char c : s) {
        const int d = HexDigit(c);
        if (d < 0 || d >= base)
            return kUnreadable;
        value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
        if (value > 0xFFFFFFFFULL)
            return kUnreadable;
    }
    if (hex) {
        const uint32_t word = static_cast<uint32_t>(value);
        return static_cast<int32_t>(negative ? 0U - word : word);
    }
    if (value > (negative ? 2147483648ULL : 2147483647ULL))
        return kUnreadable;
    return static_cast<int>(negative ? -static_cast<int64_t>(value) : static_cast<int64_t>(value));
}

int64_t LocalFileTime(int64_t fileTime) {
    const timespec ts = platform::FromFileTime(fileTime);
    const time_t seconds = ts.tv_sec;
    tm local{};
    if (!localtime_r(&seconds, &local))
        return fileTime;
    // A damaged zone file may claim any offset; held to the largest possible,
    // the quick decisions of Later() still agree with this one.
    constexpr int64_t kMaxSeconds = kMaxZoneOffset / kUnitsPerSecond;
    const int64_t offset = std::clamp<int64_t>(local.tm_gmtoff, -kMaxSeconds, kMaxSeconds);
    return saturatingAdd(fileTime, offset * kUnitsPerSecond);
}

AgeLimit::AgeLimit(int64_t nowFileTime, int days) {
    int64_t span;
    if (__builtin_mul_overflow(static_cast<int64_t>(days), kUnitsPerDay, &span))
        span = days > 0 ? std::numeric_limits<int64_t>::max() : std::numeric_limits<int64_t>::min();
    const int64_t nowLocal = LocalFileTime(nowFileTime);
    // A limit beyond what a file time can hold leaves every file on one side.
    m_limitLocal = span == std::numeric_limits<int64_t>::min() ? std::numeric_limits<int64_t>::max()
                                                               : saturatingAdd(nowLocal, -span);
    m_surelyLater = saturatingAdd(m_limitLocal, kMaxZoneOffset);
    m_surelyNotLater = saturatingAdd(m_limitLocal, -kMaxZoneOffset);
}

AgeLimit AgeLimit::FromNow(int days) {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return AgeLimit(platform::ToFileTime(now), days);
}

bool AgeLimit::Later(int64_t fileTime) const {
    if (fileTime > m_surelyLater)
        return true;
    // A bound held at the lowest file time says nothing: the zone may still
    // move that time past the limit.
    if (fileTime <= m_surelyNotLater && m_surelyNotLater != std::numeric_limits<int64_t>::min())
        return false;
    return LocalFileTime(fileTime) > m_limitLocal;
}

bool AgeLimit::NotEarlier(int64_t fileTime) const {
    if (fileTime > m_surelyLater)
        return true;
    if (fileTime < m_surelyNotLater)
        return false;
    return LocalFileTime(fileTime) >= m_limitLocal;
}

} // namespace zentrix
