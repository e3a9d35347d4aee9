#pragma once

#include "ops/localdatetime.h"

#include <QLocale>
#include <QString>

namespace zentrix {

/// Dates and times as the user's locale writes them (QLocale's default, which
/// is the system's unless a test sets another): the short date format with
/// its year widened to four digits, so that no century is lost on the way back,
/// and the long time format without the time zone. Reading takes the short
/// date as widened or as the locale has it (a two-digit year then means 1969 to
/// 2068) followed by a blank and the long or the short time, or the date alone
/// (midnight).
class QtDateTimeTexts : public DateTimeTexts {
public:
    std::optional<LocalDateTime> Parse(const std::string& text) const override;
    std::string Format(const LocalDateTime& value) const override;
    std::string Pictures() const override;

    /// The short date format with "yy" made "yyyy".
    static QString DisplayDateFormat(const QLocale& locale);
    /// The long time format without its time-zone fields.
    static QString DisplayTimeFormat(const QLocale& locale);
    /// The date part of a text (as Parse reads it), or none.
    static std::optional<QDate> DatePart(const QString& text, const QLocale& locale);
    /// The text of a date with a time, as Format writes it.
    static QString DateTimeText(const QDate& date, const QTime& time, const QLocale& locale);
};

} // namespace zentrix
