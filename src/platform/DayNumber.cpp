#include "platform/DayNumber.h"

#include <QRegularExpression>

#include <cmath>

namespace DayNumber {

namespace {
constexpr double kMsPerDay = 86400000.0;
}

QDate epoch()
{
    return QDate(1899, 12, 30);
}

double fromDate(const QDate& date)
{
    return static_cast<double>(epoch().daysTo(date));
}

double fromDateAndTime(const QDate& date, const QTime& time)
{
    return fromDate(date) + time.msecsSinceStartOfDay() / kMsPerDay;
}

double fromDateTime(const QDateTime& dateTime)
{
    return fromDateAndTime(dateTime.date(), dateTime.time());
}

int dayOf(double dayNumber)
{
    return static_cast<int>(std::floor(dayNumber));
}

QDate toDate(double dayNumber)
{
    return epoch().addDays(dayOf(dayNumber));
}

QTime toTime(double dayNumber)
{
    const double fraction = dayNumber - std::floor(dayNumber);
    int ms = static_cast<int>(std::llround(fraction * kMsPerDay));
    if (ms >= 86400000)
        ms = 86399999;
    return QTime::fromMSecsSinceStartOfDay(ms);
}

QDateTime toDateTime(double dayNumber)
{
    return QDateTime(toDate(dayNumber), toTime(dayNumber));
}

double encodeTime(int hour, int minute, int second, int ms)
{
    return (((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + ms) / kMsPerDay;
}

QString formatDate(double dayNumber)
{
    return toDate(dayNumber).toString(QLatin1String(kDateFormat));
}

QString formatTime(double dayNumber)
{
    return toTime(dayNumber).toString(QLatin1String(kTimeFormat));
}

QString formatDateTime(double dayNumber)
{
    return formatDate(dayNumber) + QLatin1Char(' ') + formatTime(dayNumber);
}

std::optional<QDate> parseDate(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d{1,4})/(\\d{1,2})/(\\d{1,2})$"));
    const auto match = pattern.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    const QDate date(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
    if (!date.isValid())
        return std::nullopt;
    return date;
}

std::optional<double> parseTime(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))?$"));
    const auto match = pattern.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    const int hour = match.captured(1).toInt();
    const int minute = match.captured(2).toInt();
    const int second = match.captured(3).isEmpty() ? 0 : match.captured(3).toInt();
    if (hour > 23 || minute > 59 || second > 59)
        return std::nullopt;
    return encodeTime(hour, minute, second);
}

} // namespace DayNumber
