#pragma once

// The lamp always-on schedule: request 1 (always-on mode on) from the time E to the time D, across midnight
// when E is later than D, request 2 outside; E = D leaves the window empty. Day numbers as everywhere.
namespace LampSchedule {

struct Tick
{
    // The lamp request for all gate links: 0 none, 1 or 2.
    int request = 0;
    // Whether the last request sent is the one for inside the window.
    bool lampWindow = false;
    // Milliseconds until the next tick, never 0: a zero interval would stop the schedule.
    int intervalMs = 0;
};

// lastTick is the day number of the previous tick (0 before the first); onTime and offTime are E and D as
// times of day.
Tick AutoLampTimerTimer(double now, double lastTick, bool lampWindow, double onTime, double offTime);

} // namespace LampSchedule
