#include "CountTestData.h"

#include "counting/CountModel.h"
#include "counting/CountViewHost.h"
#include "platform/ManualClock.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

class CountModelTest : public ::testing::Test
{
protected:
    // Feeds the gate a base record, then moves the clock and feeds the next one.
    void feed(int gate, const CountRecord& record, double time)
    {
        clock.setNow(time);
        model.CountValuesReceived(gate, record);
    }

    const DayCountRecord& today(int gate)
    {
        const int index = model.FindDayRecord(gate, kToday);
        EXPECT_GE(index, 0);
        return *model.DayRecordAt(gate, index);
    }

    ManualClock clock{at(10, 0)};
    CountModel model{clock};
};

struct ReceiveCase
{
    const char* name;
    bool countExits;
    std::optional<CountRecord> last;
    CountRecord next;
    std::optional<CountEvent> event; // increments only; time, gate and words are checked apart
    CountRecord lastAfter;
};

CountEvent increments(std::array<std::int32_t, 3> in, std::array<std::int32_t, 3> out)
{
    CountEvent event;
    event.in = in;
    event.out = out;
    return event;
}

TEST_F(CountModelTest, TurnsRunningCountersIntoEvents)
{
    const ReceiveCase cases[] = {
        {"first record only sets the base", false, std::nullopt, counts({10, 5, 0}), std::nullopt, counts({10, 5, 0})},
        {"unchanged entries while exits moved", false, counts({10, 5, 0}, {1, 1, 1}), counts({10, 5, 0}, {4, 1, 1}),
         std::nullopt, counts({10, 5, 0}, {1, 1, 1})},
        {"entries grow", false, counts({10, 5, 0}, {1, 0, 0}), counts({12, 5, 0}, {3, 0, 0}),
         increments({2, 0, 0}, {2, 0, 0}), counts({12, 5, 0}, {3, 0, 0})},
        {"entry counter reset counts the full values", false, counts({10, 5, 0}, {9, 0, 0}),
         counts({3, 5, 0}, {7, 0, 0}), increments({3, 5, 0}, {7, 0, 0}), counts({3, 5, 0}, {7, 0, 0})},
        {"exits counted: entries alone do not count", true, counts({1, 0, 0}, {4, 0, 0}), counts({2, 0, 0}, {4, 0, 0}),
         std::nullopt, counts({1, 0, 0}, {4, 0, 0})},
        {"exits counted: a reset of entries is no reset", true, counts({5, 0, 0}, {4, 0, 0}),
         counts({1, 0, 0}, {6, 0, 0}), increments({-4, 0, 0}, {2, 0, 0}), counts({1, 0, 0}, {6, 0, 0})},
        {"exits counted: exit counter reset", true, counts({5, 0, 0}, {4, 4, 0}), counts({6, 0, 0}, {2, 4, 0}),
         increments({6, 0, 0}, {2, 4, 0}), counts({6, 0, 0}, {2, 4, 0})},
        {"a difference beyond 32 bits wraps", false, counts({-5, 0, 0}), counts({2147483647, 0, 0}),
         increments({-2147483644, 0, 0}, {0, 0, 0}), counts({2147483647, 0, 0})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ManualClock caseClock(at(10, 15));
        CountModel m(caseClock);
        m.setCountExits(c.countExits);
        if (c.last)
            m.setLastValues(4, *c.last, true);
        m.CountValuesReceived(4, c.next);

        EXPECT_TRUE(m.hasLastValues(4));
        EXPECT_EQ(m.lastValues(4), c.lastAfter);
        if (c.event) {
            ASSERT_EQ(m.eventCount(), 1);
            EXPECT_EQ(m.EventAt(0)->in, c.event->in);
            EXPECT_EQ(m.EventAt(0)->out, c.event->out);
        } else {
            EXPECT_EQ(m.eventCount(), 0);
        }
    }
}

TEST_F(CountModelTest, EventCarriesTimeGateAndWordsAndLogStaysInTimeOrder)
{
    model.setLastValues(2, counts({0, 0, 0}), true);
    feed(2, counts({1, 0, 0}, {0, 0, 0}, {0x1111, 0x2222, 0x3333}, {0x4444, 0x5555, 0x6666}), at(10, 30));
    feed(2, counts({2, 0, 0}), at(9, 45)); // the clock was set back

    ASSERT_EQ(model.eventCount(), 2);
    EXPECT_EQ(model.EventAt(0)->time, at(9, 45));
    EXPECT_EQ(model.EventAt(1)->time, at(10, 30));
    const CountEvent& first = *model.EventAt(1);
    EXPECT_EQ(first.gate, 2);
    EXPECT_EQ(first.firstWord, (std::array<std::uint16_t, 3>{0x1111, 0x2222, 0x3333}));
    EXPECT_EQ(first.secondWord, (std::array<std::uint16_t, 3>{0x4444, 0x5555, 0x6666}));
}

TEST_F(CountModelTest, DropsRecordsWhileClosingAndForUnknownGates)
{
    model.setLastValues(0, counts({1, 0, 0}), true);
    model.setClosing(true);
    feed(0, counts({5, 0, 0}), at(10, 1));
    model.setClosing(false);
    feed(15, counts({5, 0, 0}), at(10, 2));
    feed(-1, counts({5, 0, 0}), at(10, 2));
    EXPECT_EQ(model.eventCount(), 0);
    EXPECT_EQ(model.lastValues(0), counts({1, 0, 0}));
}

TEST_F(CountModelTest, ClearedLastValuesTakeTheNextRecordAgainstZero)
{
    model.setLastValues(1, counts({40, 0, 0}), true);
    model.clearLastValues(1);
    EXPECT_TRUE(model.hasLastValues(1));
    feed(1, counts({3, 0, 0}), at(10, 5));
    ASSERT_EQ(model.eventCount(), 1);
    EXPECT_EQ(model.EventAt(0)->in[0], 3);
}

// The owner stores the files on these calls; counts a gate can still replay from its counters are not told.
TEST_F(CountModelTest, TellsTheOwnerWhenTheBaseCannotBeReplayed)
{
    std::vector<int> told;
    model.setBaseChangedHandler([&](int gate) { told.push_back(gate); });
    enum Action
    {
        Feed,
        ResetAhead,
        Clear
    };
    const struct
    {
        const char* step;
        Action action;
        int gate;
        std::int32_t entries;
        std::vector<int> toldAfter;
    } steps[] = {
        {"first record sets the base", Feed, 2, 10, {2}},
        {"later counts", Feed, 2, 12, {2}},
        {"another gate's base", Feed, 4, 7, {2, 4}},
        {"counter reset ahead", ResetAhead, 2, 0, {2, 4, 2}},
        {"count while the reset is pending", Feed, 2, 13, {2, 4, 2, 2}},
        {"unchanged record while pending", Feed, 2, 13, {2, 4, 2, 2}},
        {"other gate unaffected", Feed, 4, 9, {2, 4, 2, 2}},
        {"last values cleared", Clear, 2, 0, {2, 4, 2, 2, 2}},
        {"counting again from zero", Feed, 2, 1, {2, 4, 2, 2, 2}},
    };
    int minute = 0;
    for (const auto& step : steps) {
        if (step.action == Feed)
            feed(step.gate, counts({step.entries, 0, 0}), at(10, ++minute));
        else if (step.action == ResetAhead)
            model.counterResetAhead(step.gate);
        else
            model.clearLastValues(step.gate);
        EXPECT_EQ(told, step.toldAfter) << step.step;
    }
    EXPECT_EQ(model.eventCount(), 4);
}

TEST_F(CountModelTest, TodayCountsOnlyBandsStartToEnd)
{
    model.setBands(8, 21);
    model.setAisleCount(0, 3);
    model.setLastValues(0, counts({0, 0, 0}), true);
    feed(0, counts({1, 0, 0}), at(7, 30));
    feed(0, counts({3, 0, 0}), at(8, 15));
    feed(0, counts({5, 1, 0}), at(8, 59, 59));
    feed(0, counts({9, 1, 0}), at(21, 59));
    feed(0, counts({17, 1, 0}), at(22, 10));

    const DayTotals totals = model.rebuildToday(0);
    const DayCountRecord& record = today(0);
    EXPECT_EQ(record.date, kToday);
    std::array<std::int32_t, 24> aisle1{};
    aisle1[8] = 4;
    aisle1[21] = 4;
    EXPECT_EQ(record.bands[0], aisle1);
    EXPECT_EQ(record.bands[1][8], 1);
    EXPECT_EQ(totals.aisles, (std::array<int, 3>{8, 1, 0}));
    EXPECT_EQ(totals.sum, 9);
}

TEST_F(CountModelTest, AisleCountLimitsTheAislesSummed)
{
    const struct
    {
        int aisles;
        std::array<int, 3> expected;
    } cases[] = {{0, {2, 0, 0}}, {1, {2, 0, 0}}, {2, {2, 3, 0}}, {3, {2, 3, 4}}, {7, {2, 3, 4}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.aisles);
        CountModel m(clock);
        m.setAisleCount(3, c.aisles);
        m.setLastValues(3, counts({0, 0, 0}), true);
        m.CountValuesReceived(3, counts({2, 3, 4}));
        const DayTotals totals = m.rebuildToday(3);
        EXPECT_EQ(totals.aisles, c.expected);
        const DayCountRecord& record = *m.DayRecordAt(3, m.FindDayRecord(3, kToday));
        for (int a = 0; a < 3; ++a)
            EXPECT_EQ(record.bands[a][10], c.expected[a]) << "aisle " << a + 1;
    }
}

TEST_F(CountModelTest, YesterdaysLateEventsStayOutOfToday)
{
    model.setBands(0, 23);
    model.setLastValues(0, counts({0, 0, 0}), true);
    feed(0, counts({5, 0, 0}), at(23, 59, 0, kToday - 1));
    feed(0, counts({6, 0, 0}), at(0, 10));

    EXPECT_EQ(model.dayRecordCount(0), 2);
    const DayTotals totals = model.rebuildToday(0);
    EXPECT_EQ(totals.sum, 1);
    EXPECT_EQ(today(0).bands[0][23], 0);
    EXPECT_EQ(today(0).bands[0][0], 1);
    const DayCountRecord& yesterday = *model.DayRecordAt(0, model.FindDayRecord(0, kToday - 1));
    EXPECT_EQ(yesterday.bands[0][23], 5);
}

TEST_F(CountModelTest, RebuildWithoutEventsGivesAnEmptyRecordAndKeepsBandsOutsideTheRange)
{
    model.setBands(8, 21);
    EXPECT_EQ(model.rebuildToday(6).sum, 0);
    ASSERT_EQ(model.dayRecordCount(6), 1);
    EXPECT_EQ(*model.DayRecordAt(6, 0), (DayCountRecord{kToday, {}}));

    // Bands outside start..end (an imported day, say) are left alone; the others come from the log.
    model.DayRecordAt(6, 0)->bands[0][3] = 7;
    model.DayRecordAt(6, 0)->bands[0][9] = 9;
    model.rebuildToday(6);
    EXPECT_EQ(model.dayRecordCount(6), 1);
    EXPECT_EQ(model.DayRecordAt(6, 0)->bands[0][3], 7);
    EXPECT_EQ(model.DayRecordAt(6, 0)->bands[0][9], 0);
}

TEST_F(CountModelTest, CountsExitsWhenTheDirectionIsSwitched)
{
    model.setCountExits(true);
    model.setAisleCount(0, 2);
    model.setLastValues(0, counts({0, 0, 0}, {0, 0, 0}), true);
    feed(0, counts({9, 9, 9}, {1, 2, 3}), at(12, 0));
    const DayTotals totals = model.rebuildToday(0);
    EXPECT_EQ(totals.aisles, (std::array<int, 3>{1, 2, 0}));
    EXPECT_EQ(today(0).bands[0][12], 1);
    EXPECT_EQ(today(0).bands[1][12], 2);
}

TEST_F(CountModelTest, NewDayRecordIsPlacedInDateOrder)
{
    for (const double day : {kToday - 5, kToday + 3}) {
        const int n = model.dayRecordCount(0);
        model.DayRecordAt(0, n)->date = day;
        model.setDayRecordCount(0, n + 1);
    }
    model.rebuildToday(0); // the clock was set back behind the last saved day
    ASSERT_EQ(model.dayRecordCount(0), 3);
    EXPECT_EQ(model.DayRecordAt(0, 0)->date, kToday - 5);
    EXPECT_EQ(model.DayRecordAt(0, 1)->date, kToday);
    EXPECT_EQ(model.DayRecordAt(0, 2)->date, kToday + 3);
}

class FakeView final : public CountViewHost
{
public:
    bool refreshSuspended() const override { return suspended; }
    int activeGate() const override { return active; }
    void showCounts(int gate, const DayTotals& totals) override { shown.push_back({gate, totals.sum}); }

    bool suspended = false;
    int active = -1;
    std::vector<std::pair<int, int>> shown;
};

TEST_F(CountModelTest, DrawsOnlyTheGateOnScreenButAlwaysRebuildsToday)
{
    const struct
    {
        const char* name;
        bool suspended;
        int active;
        bool drawn;
    } cases[] = {
        {"gate on screen", false, 5, true},
        {"other gate on screen", false, 2, false},
        {"log page on screen", false, -1, false},
        {"full refresh pending", true, 5, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeView view;
        view.suspended = c.suspended;
        view.active = c.active;
        CountModel m(clock);
        m.setViewHost(&view);
        m.setLastValues(5, counts({0, 0, 0}), true);
        m.CountValuesReceived(5, counts({4, 0, 0}));

        ASSERT_EQ(m.dayRecordCount(5), 1);
        EXPECT_EQ(m.DayRecordAt(5, 0)->bands[0][10], 4);
        if (c.drawn)
            EXPECT_EQ(view.shown, (std::vector<std::pair<int, int>>{{5, 4}}));
        else
            EXPECT_TRUE(view.shown.empty());
    }
}

TEST_F(CountModelTest, IndexesAreClampedAndNewStorageIsZero)
{
    EXPECT_EQ(model.EventAt(-3), model.EventAt(0));
    EXPECT_EQ(model.EventAt(CountModel::kMaxIndex + 5), model.EventAt(CountModel::kMaxIndex));
    EXPECT_EQ(model.DayRecordAt(1, -1), model.DayRecordAt(1, 0));

    model.setEventCount(20000);
    model.EventAt(19999)->gate = 9;
    model.setEventCount(5);
    EXPECT_EQ(*model.EventAt(19999), CountEvent{});
    model.setEventCount(CountModel::kMaxIndex + 1);
    EXPECT_EQ(model.eventCount(), CountModel::kMaxIndex);

    model.setDayRecordCount(1, 3);
    model.DayRecordAt(1, 2)->date = 5;
    model.setDayRecordCount(1, 2);
    EXPECT_EQ(*model.DayRecordAt(1, 2), DayCountRecord{});
    model.setDayRecordCount(1, -4);
    EXPECT_EQ(model.dayRecordCount(1), 0);
}

TEST_F(CountModelTest, FullEventLogKeepsTheCountsForLater)
{
    model.setLastValues(0, counts({10, 0, 0}), true);
    model.setEventCount(CountModel::kMaxIndex);
    feed(0, counts({12, 0, 0}), at(10, 1));
    EXPECT_EQ(model.eventCount(), CountModel::kMaxIndex);
    EXPECT_EQ(model.lastValues(0), counts({10, 0, 0}));

    model.setEventCount(0);
    feed(0, counts({13, 0, 0}), at(10, 2));
    ASSERT_EQ(model.eventCount(), 1);
    EXPECT_EQ(model.EventAt(0)->in[0], 3);
}

TEST(CountModelBands, OutOfRangeBandsAreClampedAndOrdered)
{
    ManualClock clock;
    CountModel model(clock);
    model.setBands(30, -2);
    EXPECT_EQ(model.startBand(), 0);
    EXPECT_EQ(model.endBand(), 23);
    model.setBands(17, 9);
    EXPECT_EQ(model.startBand(), 9);
    EXPECT_EQ(model.endBand(), 17);
}

TEST(FindDayRecord, FindsEveryStoredDayAndNoOther)
{
    ManualClock clock;
    for (const int size : {0, 1, 99, 100, 101, 102, 257, 5000}) {
        SCOPED_TRACE(size);
        CountModel model(clock);
        // Every other day, so the gaps test the misses between records.
        for (int i = 0; i < size; ++i)
            model.DayRecordAt(7, i)->date = kToday + 2 * i;
        model.setDayRecordCount(7, size);

        for (int i = 0; i < size; ++i) {
            ASSERT_EQ(model.FindDayRecord(7, kToday + 2 * i), i);
            ASSERT_EQ(model.FindDayRecord(7, kToday + 2 * i + 0.75), i) << "a time of day still finds the day";
            ASSERT_EQ(model.FindDayRecord(7, kToday + 2 * i + 1), -1);
        }
        EXPECT_EQ(model.FindDayRecord(7, kToday - 1), -1);
        EXPECT_EQ(model.FindDayRecord(7, kToday + 2 * size), -1);
        EXPECT_EQ(model.FindDayRecord(6, kToday), -1);
    }
}

} // namespace
