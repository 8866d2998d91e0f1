#include "counting/CountModel.h"

#include "counting/CountViewHost.h"
#include "platform/Clock.h"
#include "platform/DayNumber.h"

#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

namespace {

constexpr int kScanLimit = 100;

// The gates' counters are 32-bit and may wrap; increments and sums wrap the same way instead of overflowing.
std::int32_t wrapSub(std::int32_t a, std::int32_t b)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

std::int32_t wrapAdd(std::int32_t a, std::int32_t b)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

// Whole day of a day number, kept as a double: stored dates come from files and may be anything.
double wholeDay(double dayNumber)
{
    return std::floor(dayNumber);
}

// Orders day numbers with anything that is not a number last, so a damaged record cannot break a sort.
bool earlier(double a, double b)
{
    if (std::isnan(a))
        return false;
    if (std::isnan(b))
        return true;
    return a < b;
}

int clampIndex(int n)
{
    return std::clamp(n, 0, CountModel::kMaxIndex);
}

// Storage is value-initialised, so slots above the count read as zero until written.
template <typename Table> void fitTable(Table& table, int size, bool release)
{
    const auto wanted = static_cast<std::size_t>(size);
    if (wanted > table.size()) {
        table.resize(wanted);
    } else if (release && wanted < table.size()) {
        table.resize(wanted);
        if (table.capacity() > 2 * wanted + 8192)
            table.shrink_to_fit();
    }
}

} // namespace

CountModel::CountModel(const Clock& clock) : m_clock(clock)
{
    m_aisles.fill(1);
}

void CountModel::setBands(int startBand, int endBand)
{
    m_startBand = std::clamp(startBand, 0, DayCountRecord::kBands - 1);
    m_endBand = std::clamp(endBand, 0, DayCountRecord::kBands - 1);
    if (m_endBand < m_startBand)
        std::swap(m_startBand, m_endBand);
}

void CountModel::setBaseChangedHandler(BaseChangedHandler handler)
{
    m_baseChanged = std::move(handler);
}

void CountModel::baseChanged(int gate)
{
    if (m_baseChanged)
        m_baseChanged(gate);
}

void CountModel::setAisleCount(int gate, int aisles)
{
    Q_ASSERT(gate >= 0 && gate < kGates);
    m_aisles[gate] = std::clamp(aisles, 1, 7);
}

int CountModel::aisleCount(int gate) const
{
    Q_ASSERT(gate >= 0 && gate < kGates);
    return m_aisles[gate];
}

void CountModel::CountValuesReceived(int gate, const CountRecord& record)
{
    if (m_closing || gate < 0 || gate >= kGates)
        return;
    if (!m_haveLast[gate]) {
        // The first reply after start-up only sets the base.
        m_last[gate] = record;
        m_haveLast[gate] = true;
        baseChanged(gate);
        return;
    }

    const auto& counted = m_countExits ? record.out : record.in;
    const auto& lastCounted = m_countExits ? m_last[gate].out : m_last[gate].in;
    for (int a = 0; a < CountRecord::kAisles; ++a) {
        if (counted[a] < lastCounted[a]) {
            // The gate's counters were reset or wrapped: count the full new values.
            m_last[gate] = CountRecord{};
            break;
        }
    }

    CountEvent event;
    for (int a = 0; a < CountRecord::kAisles; ++a) {
        event.in[a] = wrapSub(record.in[a], m_last[gate].in[a]);
        event.out[a] = wrapSub(record.out[a], m_last[gate].out[a]);
    }
    const auto& increments = m_countExits ? event.out : event.in;
    if (std::all_of(increments.begin(), increments.end(), [](std::int32_t v) { return v == 0; }))
        return;
    if (m_eventCount >= kMaxIndex) {
        if (!m_logFullReported)
            qWarning("count event log is full (%d events): counts wait until the log has room", kMaxIndex);
        m_logFullReported = true;
        return;
    }

    m_last[gate] = record;
    event.time = m_clock.now();
    event.gate = static_cast<std::uint8_t>(gate);
    event.firstWord = record.firstWord;
    event.secondWord = record.secondWord;
    *EventAt(m_eventCount) = event;
    ++m_eventCount;
    sortEvents();

    // Today's record is rebuilt even while a pending full refresh holds the drawing back, so the files
    // and reports never miss an event of a gate whose page is not refreshed before the next save.
    const DayTotals totals = rebuildToday(gate);
    if (m_resetAhead[gate])
        baseChanged(gate);
    if (m_viewHost && !m_viewHost->refreshSuspended() && m_viewHost->activeGate() == gate)
        m_viewHost->showCounts(gate, totals);
}

void CountModel::CountBlocksReceived(int gate, const CountRecord& record, int blocks)
{
    if (m_closing || gate < 0 || gate >= kGates)
        return;
    blocks = std::clamp(blocks, 0, CountRecord::kAisles);
    CountRecord& last = m_last[gate];
    const auto& counted = m_countExits ? record.out : record.in;
    const auto& lastCounted = m_countExits ? last.out : last.in;
    bool backwards = false;
    for (int a = 0; a < blocks; ++a)
        backwards = backwards || counted[a] < lastCounted[a];
    CountRecord merged = last;
    for (int a = 0; a < blocks; ++a) {
        if (backwards && m_haveLast[gate]) {
            last.in[a] = 0;
            last.out[a] = 0;
            last.firstWord[a] = 0;
            last.secondWord[a] = 0;
        }
        merged.in[a] = record.in[a];
        merged.out[a] = record.out[a];
        merged.firstWord[a] = record.firstWord[a];
        merged.secondWord[a] = record.secondWord[a];
    }
    CountValuesReceived(gate, merged);
}

void CountModel::setLastValues(int gate, const CountRecord& record, bool have)
{
    Q_ASSERT(gate >= 0 && gate < kGates);
    m_last[gate] = record;
    m_haveLast[gate] = have;
}

void CountModel::counterResetAhead(int gate)
{
    Q_ASSERT(gate >= 0 && gate < kGates);
    m_resetAhead[gate] = true;
    baseChanged(gate);
}

void CountModel::clearLastValues(int gate)
{
    Q_ASSERT(gate >= 0 && gate < kGates);
    m_last[gate] = CountRecord{};
    m_resetAhead[gate] = false;
    baseChanged(gate);
}

void CountModel::setEventCount(int count)
{
    m_eventCount = clampIndex(count);
    fitTable(m_events, m_eventCount, true);
    if (m_eventCount < kMaxIndex)
        m_logFullReported = false;
}

CountEvent* CountModel::EventAt(int n)
{
    n = clampIndex(n);
    fitTable(m_events, n + 1, false);
    return &m_events[static_cast<std::size_t>(n)];
}

const CountEvent& CountModel::event(int n) const
{
    Q_ASSERT(n >= 0 && n < m_eventCount);
    return m_events[static_cast<std::size_t>(n)];
}

void CountModel::sortEvents()
{
    std::stable_sort(m_events.begin(), m_events.begin() + m_eventCount,
                     [](const CountEvent& a, const CountEvent& b) { return earlier(a.time, b.time); });
}

void CountModel::setDayRecordCount(int gate, int count)
{
    Q_ASSERT(gate >= 0 && gate < kGates);
    m_dayCount[gate] = clampIndex(count);
    fitTable(m_days[gate], m_dayCount[gate], true);
}

DayCountRecord* CountModel::DayRecordAt(int gate, int n)
{
    Q_ASSERT(gate >= 0 && gate < kGates);
    n = clampIndex(n);
    fitTable(m_days[gate], n + 1, false);
    return &m_days[gate][static_cast<std::size_t>(n)];
}

const DayCountRecord& CountModel::dayRecord(int gate, int n) const
{
    Q_ASSERT(gate >= 0 && gate < kGates && n >= 0 && n < m_dayCount[gate]);
    return m_days[gate][static_cast<std::size_t>(n)];
}

int CountModel::FindDayRecord(int gate, double date) const
{
    if (gate < 0 || gate >= kGates)
        return -1;
    return findDayRecord(gate, wholeDay(date), 0, m_dayCount[gate] - 1);
}

// Halving search that hands short ranges to a linear scan; both halves keep the middle record.
int CountModel::findDayRecord(int gate, double day, int lo, int hi) const
{
    const auto& table = m_days[gate];
    if (hi - lo + 1 <= kScanLimit) {
        for (int i = lo; i <= hi; ++i)
            if (wholeDay(table[static_cast<std::size_t>(i)].date) == day)
                return i;
        return -1;
    }
    const int mid = lo + (hi - lo + 1) / 2;
    const double midDay = wholeDay(table[static_cast<std::size_t>(mid)].date);
    if (midDay == day)
        return mid;
    if (earlier(day, midDay))
        return findDayRecord(gate, day, lo, mid);
    return findDayRecord(gate, day, mid, hi);
}

void CountModel::sortDayRecords(int gate)
{
    Q_ASSERT(gate >= 0 && gate < kGates);
    auto& table = m_days[gate];
    const auto byDay = [](const DayCountRecord& a, const DayCountRecord& b) {
        return earlier(wholeDay(a.date), wholeDay(b.date));
    };
    // Reports sort before every pass; a table in order, the usual case, is only checked.
    const auto end = table.begin() + m_dayCount[gate];
    if (!std::is_sorted(table.begin(), end, byDay))
        std::stable_sort(table.begin(), end, byDay);
}

// Places an empty record for the day behind every earlier date; -1 when the table is full.
int CountModel::insertDayRecord(int gate, double day)
{
    if (m_dayCount[gate] >= kMaxIndex) {
        qWarning("day table of gate %d is full (%d records): the day's counts are not recorded", gate + 1, kMaxIndex);
        return -1;
    }
    auto& table = m_days[gate];
    table.resize(static_cast<std::size_t>(m_dayCount[gate]));
    const auto at = std::upper_bound(table.begin(), table.end(), day,
                                     [](double d, const DayCountRecord& r) { return earlier(d, wholeDay(r.date)); });
    const auto index = static_cast<int>(at - table.begin());
    DayCountRecord record;
    record.date = day;
    table.insert(at, record);
    ++m_dayCount[gate];
    return index;
}

DayTotals CountModel::rebuildToday(int gate)
{
    Q_ASSERT(gate >= 0 && gate < kGates);
    return rebuildDay(gate, wholeDay(m_clock.now()), m_aisles[gate]);
}

void CountModel::rebuildLoggedDays()
{
    for (int gate = 0; gate < kGates; ++gate) {
        std::vector<double> days;
        for (int i = 0; i < m_eventCount; ++i) {
            const CountEvent& event = m_events[static_cast<std::size_t>(i)];
            if (event.gate == gate && !std::isnan(event.time))
                days.push_back(wholeDay(event.time));
        }
        std::sort(days.begin(), days.end());
        days.erase(std::unique(days.begin(), days.end()), days.end());
        const int aisles = std::max(m_aisles[gate], aislesInUse(gate));
        for (const double day : days)
            rebuildDay(gate, day, aisles);
    }
}

int CountModel::aislesInUse(int gate) const
{
    int aisles = 0;
    for (int n = 0; n < m_dayCount[gate]; ++n) {
        const DayCountRecord& record = m_days[gate][static_cast<std::size_t>(n)];
        for (int a = aisles; a < DayCountRecord::kAisles; ++a)
            if (std::any_of(record.bands[a].begin(), record.bands[a].end(), [](std::int32_t v) { return v != 0; }))
                aisles = a + 1;
    }
    return aisles;
}

DayTotals CountModel::rebuildDay(int gate, double day, int aisleCount)
{
    int index = FindDayRecord(gate, day);
    if (index < 0)
        index = insertDayRecord(gate, day);
    DayCountRecord* record = index >= 0 ? &m_days[gate][static_cast<std::size_t>(index)] : nullptr;

    const int aisles = std::min(aisleCount, DayCountRecord::kAisles);
    std::array<std::int32_t, DayCountRecord::kAisles> band{};
    std::array<std::int32_t, DayCountRecord::kAisles> total{};
    const auto closeBand = [&](int b) {
        if (record) {
            record->date = day;
            for (int a = 0; a < DayCountRecord::kAisles; ++a)
                record->bands[a][b] = band[a];
        }
        band.fill(0);
    };

    int b = m_startBand;
    for (int i = 0; i < m_eventCount; ++i) {
        const CountEvent& event = m_events[static_cast<std::size_t>(i)];
        if (event.gate != gate || wholeDay(event.time) != day)
            continue;
        const int hour = DayNumber::toTime(event.time).hour();
        if (hour > m_endBand)
            break;
        while (hour > b)
            closeBand(b++);
        if (hour < b)
            continue; // before the start band
        const auto& increments = m_countExits ? event.out : event.in;
        for (int a = 0; a < aisles; ++a) {
            band[a] = wrapAdd(band[a], increments[a]);
            total[a] = wrapAdd(total[a], increments[a]);
        }
    }
    for (; b <= m_endBand; ++b)
        closeBand(b);

    DayTotals totals;
    for (int a = 0; a < DayCountRecord::kAisles; ++a) {
        totals.aisles[a] = total[a];
        totals.sum = wrapAdd(totals.sum, total[a]);
    }
    return totals;
}
