#pragma once

#include <QtGlobal>

// Day numbers as whole milliseconds, so that the schedules compare instants exactly.
namespace ScheduleTime {

inline constexpr qint64 kDayMs = 86400000;
inline constexpr qint64 kHourMs = 3600000;

inline qint64 toMs(double dayNumber)
{
    return qRound64(dayNumber * static_cast<double>(kDayMs));
}

// Midnight at the start of the day that holds ms.
inline qint64 dayStart(qint64 ms)
{
    const qint64 day = ms >= 0 ? ms / kDayMs : -((-ms + kDayMs - 1) / kDayMs);
    return day * kDayMs;
}

// The next full hour after ms.
inline qint64 nextFullHour(qint64 ms)
{
    const qint64 today = dayStart(ms);
    return today + ((ms - today) / kHourMs + 1) * kHourMs;
}

} // namespace ScheduleTime
