#pragma once

// The daily EEPROM watch schedule: a check at start-up, at the watch start, every full hour after it and at
// the watch end. Times are day numbers (days since 1899-12-30, the time of day as the fraction).
namespace EepromWatchSchedule {

struct Firing
{
    // The first firing of a calendar day, and the first of the run: the shared log is written and cleared.
    bool newDay = false;
    // Milliseconds until the next firing, never 0: a zero interval would stop the schedule.
    int intervalMs = 0;
};

// previous is the day number of the last firing, 0 before the first one; watchStart and watchEnd are times
// of day.
Firing fire(double now, double previous, double watchStart, double watchEnd);

} // namespace EepromWatchSchedule
