#include "gatecontrol/EepromWatchSchedule.h"

#include "gatecontrol/ScheduleTime.h"

namespace EepromWatchSchedule {

using namespace ScheduleTime;

Firing fire(double now, double previous, double watchStart, double watchEnd)
{
    const qint64 nowMs = toMs(now);
    const qint64 today = dayStart(nowMs);
    const qint64 start = today + toMs(watchStart);
    const qint64 end = today + toMs(watchEnd);
    Firing firing;
    firing.newDay = dayStart(toMs(previous)) < today;
    qint64 next = 0;
    // A firing exactly at the watch end goes on to tomorrow's start: the end itself would be 0 ms away.
    if (nowMs >= end)
        next = start + kDayMs;
    else if (end - nowMs < kHourMs)
        next = end;
    else if (nowMs < start)
        next = start;
    else
        next = nextFullHour(nowMs);
    firing.intervalMs = static_cast<int>(next - nowMs);
    return firing;
}

} // namespace EepromWatchSchedule
