#include "gatecontrol/LampSchedule.h"

#include "gatecontrol/ScheduleTime.h"

namespace LampSchedule {

using namespace ScheduleTime;

Tick AutoLampTimerTimer(double now, double lastTick, bool lampWindow, double onTime, double offTime)
{
    const qint64 nowMs = toMs(now);
    const qint64 today = dayStart(nowMs);
    const qint64 on = toMs(onTime);
    const qint64 off = toMs(offTime);
    const bool onFirst = on < off;
    const qint64 windowStart = today + (onFirst ? on : off);
    const qint64 windowEnd = today + (onFirst ? off : on);
    const qint64 nextStart = windowStart + kDayMs;
    const int inside = onFirst ? 1 : 2;
    const int outside = onFirst ? 2 : 1;

    Tick tick;
    tick.lampWindow = lampWindow;
    qint64 next = 0;
    // A tick exactly at the window end goes on to the next start: the end itself would be 0 ms away and
    // stop the schedule.
    if (nowMs < windowStart)
        next = windowStart;
    else if (nowMs >= windowEnd)
        next = nextStart;
    else if (windowEnd - nowMs < kHourMs)
        next = windowEnd;
    else
        next = nextFullHour(nowMs);
    tick.intervalMs = static_cast<int>(next - nowMs);

    if (dayStart(toMs(lastTick)) < today) {
        const bool within = windowStart <= nowMs && nowMs < windowEnd;
        tick.request = within ? inside : outside;
        tick.lampWindow = within;
    } else if (nowMs >= windowEnd) {
        tick.request = outside;
        tick.lampWindow = false;
    } else if (!lampWindow) {
        tick.request = inside;
        tick.lampWindow = true;
    }
    return tick;
}

} // namespace LampSchedule
