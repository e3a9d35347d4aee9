#pragma once

#include <cstdint>
#include <string_view>

namespace zentrix {

/// Reads the answer to "Max file age in days ...": a signed whole number after
/// any leading blanks. A final "H" or "h" (blanks after it do not count) or a
/// leading "0x"/"0X" makes the digits between hexadecimal; hexadecimal numbers
/// of up to 32 bits wrap to negative as 32-bit words do. Anything else (an
/// empty answer, other characters, blanks after a decimal number, a number out
/// of the 32-bit range) reads as -1.
int ReadAgeDays(std::string_view answer);

/// A file time (100-ns units since 1601, UTC) as the local wall-clock time in
/// the same units.
int64_t LocalFileTime(int64_t fileTime);

/// "Newer than so many days", judged in local time: the limit is the local
/// date and time of `now` minus the days (to the 100 ns), and a file is newer
/// when its last-write time, in local time, is later than the limit.
class AgeLimit {
public:
    AgeLimit(int64_t nowFileTime, int days);
    /// The limit from the clock's current time.
    static AgeLimit FromNow(int days);

    /// True when the file time, in local time, is later than the limit. Only
    /// times near the limit need the zone's rules; the rest are decided by the
    /// largest offset any zone has.
    bool Later(int64_t fileTime) const;
    /// True when the file time, in local time, is the limit or later.
    bool NotEarlier(int64_t fileTime) const;
    int64_t LocalLimit() const { return m_limitLocal; }

private:
    int64_t m_limitLocal;
    int64_t m_surelyLater;    // UTC file times above this are later in any zone
    int64_t m_surelyNotLater; // UTC file times up to this are not
};

} // namespace zentrix
