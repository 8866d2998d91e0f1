#include "gatecontrol/DailySchedules.h"
#include "config/SettingsRecord.h"
#include "gatecontrol/EepromWatchSchedule.h"
#include "gatecontrol/LampSchedule.h"
#include "gatelink/EepromLogFile.h"
#include "gatelink/LinkLogModel.h"
#include "gatelink/LinkShared.h"
#include "gatelink/TTComXDlg.h"
#include "platform/DayNumber.h"
#include "platform/ManualClock.h"
#include "support/TempFolder.h"

#include <QDir>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

const QDate kDay(2024, 5, 1);

double at(int dayOffset, int hour, int minute = 0, int second = 0, int ms = 0)
{
    return DayNumber::fromDate(kDay.addDays(dayOffset)) + DayNumber::encodeTime(hour, minute, second, ms);
}

std::string text(double dayNumber)
{
    return DayNumber::toDateTime(dayNumber).toString(QStringLiteral("MM/dd HH:mm:ss.zzz")).toStdString();
}

double after(double now, int intervalMs)
{
    return now + intervalMs / 86400000.0;
}

} // namespace

TEST(EepromWatchSchedule, FiresAtTheStartEveryFullHourAndTheEndThenTomorrow)
{
    struct Case
    {
        const char* name;
        double now;
        double previous;
        double next;
        bool newDay;
    };
    const double start = DayNumber::encodeTime(8, 0, 0);
    const double end = DayNumber::encodeTime(21, 0, 0);
    const Case cases[] = {
        {"start-up at 7:30", at(0, 7, 30), 0.0, at(0, 8), true},
        {"at the start", at(0, 8), at(0, 7, 30), at(0, 9), false},
        {"9:00", at(0, 9), at(0, 8), at(0, 10), false},
        {"a little after 9:00", at(0, 9, 0, 0, 15), at(0, 8), at(0, 10), false},
        {"20:00", at(0, 20), at(0, 19), at(0, 21), false},
        {"20:30", at(0, 20, 30), at(0, 20), at(0, 21), false},
        {"exactly 21:00", at(0, 21), at(0, 20, 30), at(1, 8), false},
        {"just after 21:00", at(0, 21, 0, 0, 1), at(0, 20, 30), at(1, 8), false},
        {"the next day's first firing", at(1, 8), at(0, 21), at(1, 9), true},
        {"start-up at 23:00", at(0, 23), 0.0, at(1, 8), true},
        {"start-up after midnight", at(1, 0, 10), at(0, 23), at(1, 8), true},
    };
    for (const auto& c : cases) {
        const auto firing = EepromWatchSchedule::fire(c.now, c.previous, start, end);
        EXPECT_EQ(text(after(c.now, firing.intervalMs)), text(c.next)) << c.name;
        EXPECT_GT(firing.intervalMs, 0) << c.name;
        EXPECT_EQ(firing.newDay, c.newDay) << c.name;
    }
}

namespace {

struct LampStep
{
    std::string time;
    int request;
};

// Runs the lamp schedule from start for `ticks` ticks, each at the time the previous one asked for.
std::vector<LampStep> runLamp(double start, double onTime, double offTime, int ticks)
{
    std::vector<LampStep> steps;
    double now = start;
    double last = 0.0;
    bool window = false;
    for (int i = 0; i < ticks; ++i) {
        const auto tick = LampSchedule::AutoLampTimerTimer(now, last, window, onTime, offTime);
        steps.push_back({text(now), tick.request});
        if (tick.intervalMs <= 0) {
            steps.push_back({"stopped", 0});
            break;
        }
        window = tick.lampWindow;
        last = now;
        now = after(now, tick.intervalMs);
    }
    return steps;
}

} // namespace

TEST(LampSchedule, TicksAndRequestsFollowTheWindow)
{
    struct Case
    {
        const char* name;
        double start;
        QTime on;
        QTime off;
        int ticks;
        std::vector<std::pair<double, int>> expected;
    };
    std::vector<std::pair<double, int>> daytime{{at(0, 7), 2}, {at(0, 8), 1}};
    for (int hour = 9; hour <= 16; ++hour)
        daytime.emplace_back(at(0, hour), 0);
    daytime.insert(daytime.end(), {{at(0, 17), 2}, {at(1, 8), 1}, {at(1, 9), 0}});

    std::vector<std::pair<double, int>> overnight{{at(0, 12), 2}};
    for (int hour = 13; hour <= 19; ++hour)
        overnight.emplace_back(at(0, hour), 0);
    overnight.insert(overnight.end(), {{at(0, 20), 1}, {at(1, 6), 2}, {at(1, 7), 0}});

    const Case cases[] = {
        {"E 8:00, D 17:00 from 7:00", at(0, 7), QTime(8, 0), QTime(17, 0), 13, daytime},
        {"E 20:00, D 6:00 from 12:00", at(0, 12), QTime(20, 0), QTime(6, 0), 11, overnight},
        {"E = D from 7:00",
         at(0, 7),
         QTime(8, 0),
         QTime(8, 0),
         4,
         {{at(0, 7), 1}, {at(0, 8), 1}, {at(1, 8), 1}, {at(2, 8), 1}}},
        {"E = D from 9:00", at(0, 9), QTime(8, 0), QTime(8, 0), 2, {{at(0, 9), 1}, {at(1, 8), 1}}},
        {"E 8:00, D 17:00 from 17:00", at(0, 17), QTime(8, 0), QTime(17, 0), 2, {{at(0, 17), 2}, {at(1, 8), 1}}},
    };
    for (const auto& c : cases) {
        const double on = DayNumber::encodeTime(c.on.hour(), c.on.minute(), 0);
        const double off = DayNumber::encodeTime(c.off.hour(), c.off.minute(), 0);
        const auto steps = runLamp(c.start, on, off, c.ticks);
        std::vector<std::pair<std::string, int>> got;
        for (const auto& step : steps)
            got.emplace_back(step.time, step.request);
        std::vector<std::pair<std::string, int>> want;
        for (const auto& [time, request] : c.expected)
            want.emplace_back(text(time), request);
        EXPECT_EQ(got, want) << c.name;
    }
}

namespace {

// The 15 gate links (without transport) and the main window's two schedules over them.
class Schedules : public ::testing::Test
{
protected:
    void SetUp() override
    {
        shared.dataFolder = folder.path();
        for (int slot = 0; slot < LinkShared::kGateSlots; ++slot) {
            links.push_back(std::make_unique<TTComXDlg>(shared, slot));
            links.back()->LinkInit(&log, slot, false, TcpIpParaEntry{}, TTComXDlg::NoTransport);
        }
    }

    QStringList logFiles() const
    {
        return QDir(folder.path()).entryList({QStringLiteral("EEPROM_ERROR_LOG_*.txt")}, QDir::Files);
    }

    TempFolder folder;
    ManualClock clock{at(0, 7, 30)};
    LinkShared shared{clock};
    LinkLogModel log;
    SettingsRecord settings;
    std::vector<std::unique_ptr<TTComXDlg>> links;
};

} // namespace

TEST_F(Schedules, FirstShowRunsTheEnabledSchedulesAndStartsTheirTimers)
{
    struct Case
    {
        const char* name;
        bool restore;
        bool lamp;
    };
    const Case cases[] = {
        {"both", true, true}, {"watch only", true, false}, {"lamp only", false, true}, {"none", false, false}};
    for (const auto& c : cases) {
        settings.eeprom.restore = c.restore;
        settings.lamp.autoControl = c.lamp;
        for (auto& link : links)
            link->LinkInit(&log, link->gate(), false, TcpIpParaEntry{}, TTComXDlg::NoTransport);
        DailySchedules schedules(shared, log, settings);
        schedules.start();
        EXPECT_EQ(schedules.eepromWatchTimer().isActive(), c.restore) << c.name;
        EXPECT_EQ(schedules.autoLampTimer().isActive(), c.lamp) << c.name;
        for (auto& link : links) {
            EXPECT_EQ(link->eepromWatch().checkRequested(), c.restore) << c.name;
            EXPECT_EQ(link->eepromWatch().lampRequest(), c.lamp ? 2 : 0) << c.name;
        }
        if (c.restore) {
            EXPECT_EQ(schedules.eepromWatchTimer().interval(), 30 * 60 * 1000) << c.name;
        }
        if (c.lamp) {
            EXPECT_EQ(schedules.autoLampTimer().interval(), 30 * 60 * 1000) << c.name;
        }
    }
}

TEST_F(Schedules, TheFirstFiringOfADayWritesTheLogWhenAskedAndClearsIt)
{
    settings.eeprom.restore = true;
    DailySchedules schedules(shared, log, settings);
    for (const bool write : {false, true}) {
        settings.eeprom.logBeforeClear = write;
        log.append(QStringLiteral("a line of the day before"));
        links[3]->setOpen(true);
        clock.setNow(at(write ? 2 : 1, 7, 30));
        schedules.eepromWatchTimerTimer();
        EXPECT_EQ(log.lineCount(), 0) << write;
        EXPECT_EQ(logFiles().size(), write ? 1 : 0) << write;

        log.append(QStringLiteral("a line of today"));
        clock.setNow(at(write ? 2 : 1, 8));
        schedules.eepromWatchTimerTimer();
        EXPECT_EQ(log.lineCount(), 1) << write;
    }
    EXPECT_EQ(logFiles(), QStringList{EepromLogFile::fileName(at(2, 7, 30))});
}

TEST_F(Schedules, TheExitLogIsWrittenOnlyWithAnOpenGateLinkAndALog)
{
    DailySchedules schedules(shared, log, settings);
    log.append(QStringLiteral("line"));
    schedules.writeEepromLogs();
    EXPECT_TRUE(logFiles().isEmpty());
    links[14]->setOpen(true);
    log.clear();
    schedules.writeEepromLogs();
    EXPECT_TRUE(logFiles().isEmpty());
    log.append(QStringLiteral("line"));
    schedules.writeEepromLogs();
    EXPECT_EQ(logFiles().size(), 1);
}
