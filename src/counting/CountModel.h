#pragma once

#include "counting/CountEvent.h"
#include "counting/CountRecord.h"
#include "counting/DayCountRecord.h"

#include <array>
#include <functional>
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
    // Told, with the gate, whenever the gate's last values move in a way its counters cannot replay after a
    // hard stop: the first base, a counter reset ahead, every count taken while that reset is pending, and
    // the zeroing that completes it. The owner stores the last values and the events before anything else
    // happens, so the counts kept on disk and the gate's counters always add up.
    using BaseChangedHandler = std::function<void(int gate)>;
    void setBaseChangedHandler(BaseChangedHandler handler);
    void setAisleCount(int gate, int aisles);
    int aisleCount(int gate) const;

    // One CountRecord of a gate slot. While the event log is full the record is refused before the last
    // values change, so its counts are still taken in by the first event that fits.
    void CountValuesReceived(int gate, const CountRecord& record);
    // A count frame that carried only the first `blocks` aisle blocks (a gate with fewer aisles). Those
    // aisles are taken as CountValuesReceived takes them; the missing aisles keep their last values, so they
    // neither count nor reset, and a present aisle that ran backwards zeroes the present aisles only.
    void CountBlocksReceived(int gate, const CountRecord& record, int blocks);

    // Last-values table, restored and saved with the event file.
    const CountRecord& lastValues(int gate) const { return m_last[gate]; }
    bool hasLastValues(int gate) const { return m_haveLast[gate]; }
    void setLastValues(int gate, const CountRecord& record, bool have);
    // The gate is about to zero its own counters (shutdown): what it counted so far can no longer be read
    // back from it, so every change until clearLastValues is passed to the base-changed handler.
    void counterResetAhead(int gate);
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
    // Rebuilds, for every gate, the record of each day the event log holds events of: the log is what the
    // day records are made from, and a day file saved before the event file may lag behind it. The gates
    // have not told their aisle count yet, so every aisle a gate's day records ever counted is taken.
    void rebuildLoggedDays();

private:
    int findDayRecord(int gate, double day, int lo, int hi) const;
    int insertDayRecord(int gate, double day);
    DayTotals rebuildDay(int gate, double day, int aisles);
    int aislesInUse(int gate) const;

    void baseChanged(int gate);

    const Clock& m_clock;
    CountViewHost* m_viewHost = nullptr;
    BaseChangedHandler m_baseChanged;
    int m_startBand = 8;
    int m_endBand = 21;
    bool m_countExits = false;
    bool m_closing = false;
    bool m_logFullReported = false;
    std::array<int, kGates> m_aisles{};
    std::array<CountRecord, kGates> m_last{};
    std::array<bool, kGates> m_haveLast{};
    std::array<bool, kGates> m_resetAhead{};
    std::vector<CountEvent> m_events;
    int m_eventCount = 0;
    std::array<std::vector<DayCountRecord>, kGates> m_days;
    std::array<int, kGates> m_dayCount{};
};
