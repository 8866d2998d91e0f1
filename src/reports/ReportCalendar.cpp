#include "reports/ReportCalendar.h"

#include "platform/DayNumber.h"

#include <array>
#include <cmath>

namespace ReportCalendar {

namespace {

// Day numbers of 0001-01-01 and 9999-12-31.
constexpr double kFirstDay = -693593.0;
constexpr double kLastDay = 2958465.0;

} // namespace

int monthd(int year, int month)
{
    static constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

QString dayOfWeekName(const QDate& date)
{
    return dayOfWeekName(date.dayOfWeek());
}

QString dayOfWeekName(int dayOfWeek)
{
    // Indexed by the weekday number Sunday = 1 .. Saturday = 7, modulo 7.
    static const std::array<QString, 7> kNames = {
        QStringLiteral("土"), QStringLiteral("日"), QStringLiteral("月"), QStringLiteral("火"),
        QStringLiteral("水"), QStringLiteral("木"), QStringLiteral("金"),
    };
    const int sundayFirst = dayOfWeek % 7 + 1;
    return kNames[sundayFirst % 7];
}

int fiscalYearIndex(const QDate& date)
{
    return date.year() - 2014 - (date.month() <= 3 ? 1 : 0);
}

int fiscalMonthIndex(int month)
{
    return month >= 4 ? month - 4 : month + 8;
}

std::optional<int> recordDay(double date)
{
    if (!std::isfinite(date) || date < kFirstDay || date >= kLastDay + 1.0)
        return std::nullopt;
    return DayNumber::dayOf(date);
}

std::optional<QDate> recordDate(double date)
{
    const auto day = recordDay(date);
    if (!day)
        return std::nullopt;
    return DayNumber::epoch().addDays(*day);
}

} // namespace ReportCalendar
