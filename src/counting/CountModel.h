#pragma once

#include "counting/CountEvent.h"
#include "counting/CountRecord.h"
#include "counting/DayCountRecord.h"

#include <array>
#include <vector>

class Clock;
class CountViewHost;

// Per-aisle totals of today's bands start..end, handed to the count view.
struct DayTotals
{
    std::array<int, 3> aisles{};
    int sum = 0;
};

// Turns the gates' running counters into increments, keeps today's event log and one
// day record per gate and date, of the counted direction only.
class CountModel final
{
public:
    static constexpr int kGates = 15;
    // Highest index of the event log and of a day table; also the most records either holds.
    static constexpr int kMaxIndex = 1048576;

    explicit CountModel(const Clock& clock);

    void setBands(int startBand, int endBand);
    int startBand() const { return m_startBand; }
    int endBand() const { return m_endBand; }
    // "出カウント切替": true counts exits instead of entries.
    void setCountExits(bool countExits) { m_countExits = countExits; }
    bool countExits() const { return m_countExits; }
    void setClosing(bool closing) { m_closing = closing; }
    void setViewHost(CountViewHost* host) { m_viewHost = host; }
    void setAisleCount(int gate, int aisles);
    int aisleCount(int gate) const;

    // One CountRecord of a gate slot. While the event log is full the record is refused before the last
    // values change, so its counts are still taken in by the first event that fits.
    void CountValuesReceived(int gate, const CountRecord& record);

    // Last-values table, restored and saved with the event file.
    const CountRecord& lastValues(int gate) const { return m_last[gate]; }
    bool hasLastValues(int gate) const { return m_haveLast[gate]; }
    void setLastValues(int gate, const CountRecord& record, bool have);
    // Zeroes the gate's last values (the flag stays set); the next record is taken against zero.
    void clearLastValues(int gate);

    // The event log. Indexes are clamped to 0..kMaxIndex; storage grows on access and starts zeroed, and
    // lowering the count releases the storage above it. An address stays valid until the log is resized.
    int eventCount() const { return m_eventCount; }
    void setEventCount(int count);
    CountEvent* EventAt(int n);
    // Read access to event n below the count.
    const CountEvent& event(int n) const;
    // Stable sort by time stamp; callers that add or remove events restore the order with it.
    void sortEvents();

    // The day table of a gate, with the same index and storage rules as the event log.
    int dayRecordCount(int gate) const { return m_dayCount[gate]; }
    void setDayRecordCount(int gate, int count);
    DayCountRecord* DayRecordAt(int gate, int n);
    // Read access to day record n below the gate's count.
    const DayCountRecord& dayRecord(int gate, int n) const;
    int FindDayRecord(int gate, double date) const;
    // Stable sort by whole day; the search of FindDayRecord relies on it.
    void sortDayRecords(int gate);

    // Rebuilds the gate's record of today (bands start..end) from the event log and returns its totals.
    // A missing record is inserted in date order, so a clock set back across midnight keeps the table sorted.
    DayTotals rebuildToday(int gate);

private:
    int findDayRecord(int gate, double day, int lo, int hi) const;
    int insertTodayRecord(int gate, double today);

    const Clock& m_clock;
    CountViewHost* m_viewHost = nullptr;
    int m_startBand = 8;
    int m_endBand = 21;
    bool m_countExits = false;
    bool m_closing = false;
    bool m_logFullReported = false;
    std::array<int, kGates> m_aisles{};
    std::array<CountRecord, kGates> m_last{};
    std::array<bool, kGates> m_haveLast{};
    std::vector<CountEvent> m_events;
    int m_eventCount = 0;
    std::array<std::vector<DayCountRecord>, kGates> m_days;
    std::array<int, kGates> m_dayCount{};
};
