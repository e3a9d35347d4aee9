#include "gui/ops/qtdatetimetexts.h"

#include <QDate>
#include <QStringList>
#include <QTime>

namespace zentrix {
namespace {

// The format with the runs of one pattern letter (outside quoted text)
// rewritten: dropped with `drop`, otherwise a run of two made four ("yy" to
// "yyyy") and other runs kept.
QString rewriteField(const QString& format, QChar field, bool drop) {
    QString out;
    bool quoted = false;
    for (int i = 0; i < format.size();) {
        const QChar c = format.at(i);
        if (c == '\'') {
            quoted = !quoted;
            out += c;
            ++i;
            continue;
        }
        if (quoted || c != field) {
            out += c;
            ++i;
            continue;
        }
        int run = 0;
        while (i + run < format.size() && format.at(i + run) == field)
            ++run;
        if (!drop)
            out += QString(run == 2 ? 4 : run, field);
        i += run;
    }
    return out;
}

std::optional<LocalDateTime> combine(const QDate& date, const QTime& time) {
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return LocalDateTime{date.year(), date.month(),  date.day(),
                         time.hour(), time.minute(), time.second()};
}

QDate readDate(const QString& text, const QLocale& locale) {
    const QString own = locale.dateFormat(QLocale::ShortFormat);
    QDate date = locale.toDate(text, QtDateTimeTexts::DisplayDateFormat(locale));
    if (date.isValid())
        return date;
    date = locale.toDate(text, own);
    // Qt reads a two-digit year as 19xx; the usual window is 1969 to 2068.
    if (date.isValid() && !own.contains("yyyy") && date.year() < 1969)
        date = date.addYears(100);
    return date;
}

QTime readTime(const QString& text, const QLocale& locale) {
    for (const QString& format :
         {QtDateTimeTexts::DisplayTimeFormat(locale), locale.timeFormat(QLocale::ShortFormat)}) {
        const QTime time = locale.toTime(text, format);
        if (time.isValid())
            return time;
    }
    return {};
}

} // namespace

QString QtDateTimeTexts::DisplayDateFormat(const QLocale& locale) {
    return rewriteField(locale.dateFormat(QLocale::ShortFormat), 'y', false);
}

QString QtDateTimeTexts::DisplayTimeFormat(const QLocale& locale) {
    return rewriteField(locale.timeFormat(QLocale::LongFormat), 't', true).trimmed();
}

std::optional<QDate> QtDateTimeTexts::DatePart(const QString& text, const QLocale& locale) {
    const QString trimmed = text.trimmed();
    // The date may hold blanks itself ("2 Jan 2024"): every blank is tried as
    // the one between date and time.
    for (int at = trimmed.size(); at > 0; at = trimmed.lastIndexOf(' ', at - 1)) {
        const QDate date = readDate(trimmed.left(at).trimmed(), locale);
        if (date.isValid())
            return date;
    }
    return std::nullopt;
}

std::optional<LocalDateTime> QtDateTimeTexts::Parse(const std::string& text) const {
    const QLocale locale;
    const QString trimmed = QString::fromStdString(text).trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    if (const auto value = combine(readDate(trimmed, locale), QTime(0, 0)))
        return value;
    for (int at = trimmed.indexOf(' '); at > 0; at = trimmed.indexOf(' ', at + 1)) {
        const QDate date = readDate(trimmed.left(at).trimmed(), locale);
        if (!date.isValid())
            continue;
        if (const auto value = combine(date, readTime(trimmed.mid(at + 1).trimmed(), locale)))
            return value;
    }
    return std::nullopt;
}

QString QtDateTimeTexts::DateTimeText(const QDate& date, const QTime& time, const QLocale& locale) {
    return locale.toString(date, DisplayDateFormat(locale)) + ' ' +
           locale.toString(time, DisplayTimeFormat(locale));
}

std::string QtDateTimeTexts::Format(const LocalDateTime& value) const {
    return DateTimeText(QDate(value.year, value.month, value.day),
                        QTime(value.hour, value.minute, value.second), QLocale())
        .toStdString();
}

std::string QtDateTimeTexts::Pictures() const {
    const QLocale locale;
    return (locale.dateFormat(QLocale::ShortFormat) + ' ' + locale.timeFormat(QLocale::ShortFormat))
        .toStdString();
}

} // namespace zentrix
