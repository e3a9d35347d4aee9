#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace zentrix {

/// A wall-clock date and time of the system's time zone, as the user types
/// and reads it.
struct LocalDateTime {
    int year = 1970;
    int month = 1; // 1..12
    int day = 1;   // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;

    bool operator==(const LocalDateTime&) const = default;
};

/// The file time (100-ns units since 1601, UTC) of a local date and time, by
/// the system's time zone rules. A time in the hour that a change to summer
/// time skips is read with the offset before the change (02:30 becomes 03:30
/// summer time); a time in the hour that the change back repeats means its
/// first occurrence (summer time). None for a date that does not exist.
std::optional<int64_t> LocalToFileTime(const LocalDateTime& local);
/// The local date and time of a file time (seconds; the fraction is dropped).
LocalDateTime FileTimeToLocal(int64_t fileTime);

/// How the user's locale writes and reads a date with its time; the windows
/// give the locale's own, so that the rules need no window.
class DateTimeTexts {
public:
    virtual ~DateTimeTexts() = default;
    /// The locale's short date, a blank and its time (with or without seconds);
    /// none when the text is no such date and time.
    virtual std::optional<LocalDateTime> Parse(const std::string& text) const = 0;
    /// The short date, a blank and the long time.
    virtual std::string Format(const LocalDateTime& value) const = 0;
    /// The pictures to show when Parse failed: the short date format, a blank
    /// and the short time format, as the locale writes them ("M/d/yy h:mm AP").
    virtual std::string Pictures() const = 0;
};

} // namespace zentrix
