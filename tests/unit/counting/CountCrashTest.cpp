#include "CountTestData.h"

#include "counting/CountFiles.h"
#include "counting/CountModel.h"
#include "platform/ManualClock.h"
#include "support/TempFolder.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <memory>
#include <random>
#include <set>
#include <vector>

#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kStates = 6;
constexpr int kRounds = 150;
constexpr int kMaxChildSaves = 20000;

// State k differs from every other state in sizes and contents, so a torn file cannot pass for one;
// gate 0's last in count and the first day record's band 8 name the state.
void buildState(CountModel& model, int k)
{
    const int events = 1500 + 397 * k;
    model.setEventCount(events);
    for (int i = 0; i < events; ++i) {
        CountEvent* event = model.EventAt(i);
        event->time = kToday + 0.3 + i * 1e-5;
        event->gate = static_cast<std::uint8_t>(i % 15);
        event->in = {k, i, -i};
        event->out = {i % 7, k, 1};
        event->firstWord = {static_cast<std::uint16_t>(i), 0, 0};
    }
    for (int g = 0; g < CountModel::kGates; ++g) {
        model.setLastValues(g, counts({k, g, 7}), true);
        const int days = 10 + 5 * k + g;
        model.setDayRecordCount(g, days);
        for (int i = 0; i < days; ++i) {
            DayCountRecord* record = model.DayRecordAt(g, i);
            record->date = kToday - days + i;
            record->bands[0][8] = k;
            record->bands[2][i % 24] = 1000 * g + i;
        }
    }
}

bool sameEvents(const CountModel& a, const CountModel& b)
{
    if (a.eventCount() != b.eventCount())
        return false;
    for (int i = 0; i < a.eventCount(); ++i)
        if (!(a.event(i) == b.event(i)))
            return false;
    for (int g = 0; g < CountModel::kGates; ++g)
        if (!(a.lastValues(g) == b.lastValues(g)) || a.hasLastValues(g) != b.hasLastValues(g))
            return false;
    return true;
}

bool sameDays(const CountModel& a, const CountModel& b)
{
    for (int g = 0; g < CountModel::kGates; ++g) {
        if (a.dayRecordCount(g) != b.dayRecordCount(g))
            return false;
        for (int i = 0; i < a.dayRecordCount(g); ++i)
            if (!(a.dayRecord(g, i) == b.dayRecord(g, i)))
                return false;
    }
    return true;
}

// A child process saves one state after another until it is killed at a random moment; whatever it
// leaves behind must load and equal one of the states it saved.
TEST(CountFilesCrash, KilledSaverLeavesTheOldOrTheNewFile)
{
    TempFolder temp;
    ManualClock clock(at(12, 0));
    std::vector<std::unique_ptr<CountModel>> states;
    std::vector<std::unique_ptr<CountFiles>> savers;
    for (int k = 0; k < kStates; ++k) {
        states.push_back(std::make_unique<CountModel>(clock));
        buildState(*states.back(), k);
        savers.push_back(std::make_unique<CountFiles>(*states.back(), clock, temp.path()));
    }
    savers[0]->S1Click();

    QElapsedTimer saveTime;
    saveTime.start();
    for (int k = 0; k < kStates; ++k)
        savers[k]->S1Click();
    const double msPerSave = saveTime.nsecsElapsed() / 1e6 / kStates;

    std::mt19937 random(20210401);
    std::uniform_int_distribution<int> delayUs(0, 40000);
    std::set<int> eventStates;
    std::set<int> dayStates;
    QElapsedTimer total;
    total.start();
    for (int round = 0; round < kRounds; ++round) {
        const pid_t child = fork();
        ASSERT_NE(child, -1);
        if (child == 0) {
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            for (int n = 0; n < kMaxChildSaves; ++n)
                savers[(n + round) % kStates]->S1Click();
            _exit(0);
        }
        usleep(static_cast<useconds_t>(delayUs(random)));
        ASSERT_EQ(kill(child, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "round " << round;

        CountModel loaded(clock);
        CountFiles loader(loaded, clock, temp.path());
        QStringList logs;
        loader.setLogSink([&](const QString& text) { logs.push_back(text); });
        ASSERT_EQ(loader.Read_PC_file().outcome, CountFileLoad::Outcome::Loaded) << "round " << round;
        const int eventState = loaded.lastValues(0).in[0];
        ASSERT_TRUE(eventState >= 0 && eventState < kStates) << "round " << round;
        ASSERT_TRUE(sameEvents(*states[eventState], loaded)) << "round " << round;
        // The day file is read apart: a loaded event log would bring the days it covers up to date.
        CountModel loadedDays(clock);
        CountFiles dayLoader(loadedDays, clock, temp.path());
        dayLoader.setLogSink([&](const QString& text) { logs.push_back(text); });
        ASSERT_EQ(dayLoader.Read_DAY_file().outcome, CountFileLoad::Outcome::Loaded) << "round " << round;
        const int dayState = loadedDays.dayRecord(0, 0).bands[0][8];
        ASSERT_TRUE(dayState >= 0 && dayState < kStates) << "round " << round;
        ASSERT_TRUE(sameDays(*states[dayState], loadedDays)) << "round " << round;
        ASSERT_TRUE(logs.isEmpty()) << logs.join(QLatin1Char('\n')).toStdString();
        eventStates.insert(eventState);
        dayStates.insert(dayState);
    }
    EXPECT_GT(eventStates.size(), 2u);
    EXPECT_GT(dayStates.size(), 2u);
    std::printf("[ figures  ] %d kills, %.2f ms per save of both files, %zu / %zu states seen, %.1f s\n", kRounds,
                msPerSave, eventStates.size(), dayStates.size(), total.elapsed() / 1000.0);
}

} // namespace
