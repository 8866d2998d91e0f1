#pragma once

struct DayTotals;

// The count display as the count model sees it: the main window implements it, tests fake it.
class CountViewHost
{
public:
    virtual ~CountViewHost() = default;
    // True while Timer1 or Timer2 is pending: their full refresh will redraw from the event log anyway.
    virtual bool refreshSuspended() const = 0;
    // The gate whose page is on screen, -1 when a log page is shown.
    virtual int activeGate() const = 0;
    // Redraws the band grid and the large counter of the gate from its rebuilt record of today.
    virtual void showCounts(int gate, const DayTotals& totals) = 0;
};
