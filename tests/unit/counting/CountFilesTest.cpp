#include "CountTestData.h"

#include "counting/CountDayFile.h"
#include "counting/CountEventFile.h"
#include "counting/CountFiles.h"
#include "counting/CountModel.h"
#include "platform/LittleEndian.h"
#include "platform/ManualClock.h"
#include "support/TempFolder.h"

#include <QBuffer>
#include <QFile>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

using Outcome = CountFileLoad::Outcome;

// A device that takes the first `limit` bytes and then fails, like a full disk.
class FailingDevice final : public QBuffer
{
public:
    explicit FailingDevice(qint64 limit) : m_limit(limit) { open(QIODevice::WriteOnly); }

protected:
    qint64 writeData(const char* data, qint64 len) override
    {
        if (pos() + len > m_limit)
            return -1;
        return QBuffer::writeData(data, len);
    }

private:
    qint64 m_limit;
};

// Gates 0 and 3 counted today, last values on every gate, day records on three gates.
void fill(CountModel& model, ManualClock& clock)
{
    model.setAisleCount(3, 3);
    for (int g = 0; g < CountModel::kGates; ++g)
        model.setLastValues(g, counts({g, 0, 0}, {0, g, 0}, {1, 2, 3}, {4, 5, 6}), true);
    for (int i = 1; i <= 6; ++i) {
        clock.setNow(at(8 + i, 5 * i));
        model.CountValuesReceived(0, counts({i, 0, 0}, {0, 0, 0}));
        model.CountValuesReceived(3, counts({3 + i, i, 2 * i}, {0, 3, 0}));
    }
    for (const int g : {0, 3, 14}) {
        for (int d = 1; d <= 4; ++d) {
            const int n = model.dayRecordCount(g);
            DayCountRecord* record = model.DayRecordAt(g, n);
            record->date = kToday - 10 * d;
            record->bands[d % 3][5 + d] = 100 * g + d;
            model.setDayRecordCount(g, n + 1);
        }
    }
    clock.setNow(at(16, 0));
}

void expectSameEvents(const CountModel& a, const CountModel& b)
{
    ASSERT_EQ(a.eventCount(), b.eventCount());
    for (int i = 0; i < a.eventCount(); ++i)
        EXPECT_EQ(a.event(i), b.event(i)) << "event " << i;
    for (int g = 0; g < CountModel::kGates; ++g) {
        EXPECT_EQ(a.lastValues(g), b.lastValues(g)) << "gate " << g;
        EXPECT_EQ(a.hasLastValues(g), b.hasLastValues(g)) << "gate " << g;
    }
}

void expectSameDays(const CountModel& a, const CountModel& b)
{
    for (int g = 0; g < CountModel::kGates; ++g) {
        ASSERT_EQ(a.dayRecordCount(g), b.dayRecordCount(g)) << "gate " << g;
        for (int i = 0; i < a.dayRecordCount(g); ++i)
            EXPECT_EQ(a.dayRecord(g, i), b.dayRecord(g, i)) << "gate " << g << " record " << i;
    }
}

QByteArray eventHeader(std::int32_t version, std::int32_t count, std::int32_t size)
{
    QByteArray bytes;
    appendI32(bytes, version);
    appendI32(bytes, count);
    appendI32(bytes, size);
    return bytes;
}

QByteArray recordBytes(const CountRecord& record)
{
    QByteArray bytes(static_cast<int>(CountRecord::kSize), '\0');
    record.write(reinterpret_cast<std::uint8_t*>(bytes.data()));
    return bytes;
}

class CountFilesTest : public ::testing::Test
{
protected:
    CountFilesTest()
    {
        files.setLogSink([this](const QString& text) { logs.push_back(text); });
    }

    // A second run of the program on the same data folder.
    struct Restart
    {
        explicit Restart(const QString& folder, double now) : clock(now), model(clock), files(model, clock, folder)
        {
            files.setLogSink([this](const QString& text) { logs.push_back(text); });
        }
        ManualClock clock;
        CountModel model;
        CountFiles files;
        QStringList logs;
    };

    void stampEventFile(double when)
    {
        QFile file(files.eventFilePath());
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(DayNumber::toDateTime(when), QFileDevice::FileModificationTime));
    }

    TempFolder temp;
    ManualClock clock{at(10, 0)};
    CountModel model{clock};
    CountFiles files{model, clock, temp.path()};
    QStringList logs;
};

TEST_F(CountFilesTest, EmptySaveWritesHeadersAndEmptyTables)
{
    files.S1Click();

    QByteArray events = eventHeader(2, 0, 45);
    for (int g = 0; g < CountModel::kGates; ++g)
        events.append(recordBytes(CountEventFile::kNoBase));
    EXPECT_EQ(events.size(), 12 + 540);
    EXPECT_EQ(temp.read(QStringLiteral("pc_gate.dat")), events);

    QByteArray days;
    appendI32(days, 1);
    appendI32(days, 296);
    days.append(QByteArray(15 * 4, '\0'));
    EXPECT_EQ(temp.read(QStringLiteral("pc_all.dat")), days);
    EXPECT_EQ(days.size(), 68);
    EXPECT_TRUE(logs.isEmpty());
}

TEST_F(CountFilesTest, SavedFilesHoldTheRecordsInTheirLayout)
{
    model.setLastValues(0, counts({7, 0, 0}), true);
    clock.setNow(at(9, 30));
    model.CountValuesReceived(0, counts({9, 0, 0}, {1, 0, 0}, {0xABCD, 0, 0}));
    model.DayRecordAt(2, 0)->date = kToday - 1;
    model.DayRecordAt(2, 1)->date = kToday - 3;
    model.setDayRecordCount(2, 2);
    ASSERT_TRUE(files.Write_PC_file());
    ASSERT_TRUE(files.Write_DAY_file());

    QByteArray events = eventHeader(2, 1, 45);
    QByteArray record(45, '\0');
    model.EventAt(0)->write(reinterpret_cast<std::uint8_t*>(record.data()));
    events.append(record);
    events.append(recordBytes(counts({9, 0, 0}, {1, 0, 0}, {0xABCD, 0, 0})));
    for (int g = 1; g < CountModel::kGates; ++g)
        events.append(recordBytes(CountEventFile::kNoBase));
    EXPECT_EQ(temp.read(QStringLiteral("pc_gate.dat")), events);

    const QByteArray days = temp.read(QStringLiteral("pc_all.dat"));
    ASSERT_EQ(days.size(), 8 + 15 * 4 + 3 * 296); // gate 0 has today's record, gate 2 two days
    const auto* p = reinterpret_cast<const std::uint8_t*>(days.constData());
    EXPECT_EQ(LittleEndian::i32(p + 8), 1);
    EXPECT_EQ(DayCountRecord::read(p + 12).date, kToday);
    const std::uint8_t* gate2 = p + 12 + 296 + 4;
    EXPECT_EQ(LittleEndian::i32(gate2), 2);
    EXPECT_EQ(DayCountRecord::read(gate2 + 4).date, kToday - 3) << "saved in date order";
    EXPECT_EQ(DayCountRecord::read(gate2 + 4 + 296).date, kToday - 1);
}

TEST_F(CountFilesTest, RestartOnTheSameDayRestoresEverything)
{
    fill(model, clock);
    const DayTotals before = model.rebuildToday(3);
    files.S1Click();
    stampEventFile(at(16, 0));

    Restart next(temp.path(), at(16, 30));
    next.model.setAisleCount(3, 3);
    next.files.loadAtStartUp();
    expectSameEvents(model, next.model);
    expectSameDays(model, next.model);
    const DayTotals after = next.model.rebuildToday(3);
    EXPECT_EQ(after.aisles, before.aisles);
    EXPECT_GT(after.sum, 0);
    EXPECT_TRUE(next.logs.isEmpty());
}

TEST_F(CountFilesTest, RestartOnALaterDayKeepsDaysAndLastValuesButNotTheLog)
{
    fill(model, clock);
    model.rebuildToday(0);
    files.S1Click();
    stampEventFile(at(16, 0));

    Restart next(temp.path(), at(8, 0, 0, kToday + 1));
    next.files.loadAtStartUp();
    EXPECT_EQ(next.model.eventCount(), 0);
    EXPECT_EQ(next.model.lastValues(5), model.lastValues(5));
    EXPECT_TRUE(next.model.hasLastValues(5));
    expectSameDays(model, next.model);
}

// A hard stop right after a gate's first record: nothing was saved by the backup timer or at exit.
TEST_F(CountFilesTest, HardStopAfterTheFirstRecordLosesNoVisitor)
{
    model.CountValuesReceived(0, counts({100, 40, 0}, {3, 0, 0}));
    clock.setNow(at(10, 1));
    model.CountValuesReceived(0, counts({104, 40, 0}, {3, 0, 0}));

    Restart next(temp.path(), at(10, 30));
    next.files.loadAtStartUp();
    EXPECT_TRUE(next.model.hasLastValues(0));
    next.model.CountValuesReceived(0, counts({112, 41, 0}, {3, 0, 0}));
    ASSERT_EQ(next.model.eventCount(), 1);
    EXPECT_EQ(next.model.event(0).in, (std::array<std::int32_t, 3>{12, 1, 0})) << "every visitor since the base";
    EXPECT_EQ(next.model.rebuildToday(0).sum, 12);
    EXPECT_TRUE(next.logs.isEmpty());
}

// A gate first heard after the last save has its counts from before the program knew it; a restart must
// not take them as visitors of today.
TEST_F(CountFilesTest, GateWithoutABaseHasNoneAfterARestart)
{
    model.setLastValues(0, counts({100, 0, 0}), true);
    model.setLastValues(2, counts({}), true); // zeroed by the shutdown steps: counting goes on from zero
    files.S1Click();

    Restart next(temp.path(), at(10, 30));
    next.files.loadAtStartUp();
    EXPECT_FALSE(next.model.hasLastValues(1));
    EXPECT_TRUE(next.model.hasLastValues(2));
    next.model.CountValuesReceived(1, counts({5000, 20, 0}));
    next.model.CountValuesReceived(2, counts({6, 0, 0}));
    ASSERT_EQ(next.model.eventCount(), 1);
    EXPECT_EQ(next.model.event(0).gate, 2);
    EXPECT_EQ(next.model.event(0).in[0], 6);
    EXPECT_EQ(next.model.lastValues(1), counts({5000, 20, 0}));

    // Stored again, the new base holds and the gates still unheard keep none.
    next.files.S1Click();
    Restart third(temp.path(), at(11, 0));
    third.files.loadAtStartUp();
    EXPECT_EQ(third.model.lastValues(1), counts({5000, 20, 0}));
    EXPECT_TRUE(third.model.hasLastValues(1));
    EXPECT_FALSE(third.model.hasLastValues(3));
}

// A hard stop between the two saves leaves the day file behind the event file, whose last values already
// cover the newer events: the start-up rebuilds the days the log holds, on the same day and on a later one.
TEST_F(CountFilesTest, DayFileBehindTheEventFileIsBroughtUpToDate)
{
    const struct
    {
        const char* name;
        double restart;
        int eventsAfter;
    } cases[] = {
        {"same day", at(10, 0), 4},
        {"next day", at(8, 0, 0, kToday + 1), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        ManualClock runClock(at(8, 0));
        CountModel run(runClock);
        CountFiles runFiles(run, runClock, folder.path());
        run.setAisleCount(3, 3);
        run.setLastValues(0, counts({10, 0, 0}), true);
        run.setLastValues(3, counts({0, 0, 0}), true);
        runClock.setNow(at(9, 0));
        run.CountValuesReceived(0, counts({14, 0, 0}));
        run.CountValuesReceived(3, counts({1, 2, 3}));
        runFiles.S1Click();
        runClock.setNow(at(9, 30));
        run.CountValuesReceived(0, counts({17, 0, 0}));
        run.CountValuesReceived(3, counts({2, 4, 6}));
        ASSERT_TRUE(runFiles.Write_PC_file());
        QFile file(runFiles.eventFilePath());
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(DayNumber::toDateTime(at(9, 30)), QFileDevice::FileModificationTime));
        file.close();

        for (int start = 0; start < 2; ++start) {
            Restart next(folder.path(), c.restart);
            next.files.loadAtStartUp();
            EXPECT_EQ(next.model.eventCount(), c.eventsAfter) << "start " << start;
            const int zero = next.model.FindDayRecord(0, kToday);
            const int three = next.model.FindDayRecord(3, kToday);
            ASSERT_GE(zero, 0);
            ASSERT_GE(three, 0);
            EXPECT_EQ(next.model.dayRecord(0, zero).bands[0][9], 7) << "start " << start;
            for (int a = 0; a < 3; ++a)
                EXPECT_EQ(next.model.dayRecord(3, three).bands[a][9], 2 * (a + 1)) << "aisle " << a;
            EXPECT_TRUE(next.logs.isEmpty());
        }
    }
}

TEST_F(CountFilesTest, ReadsOtherStoredRecordSizes)
{
    CountEvent event;
    event.time = at(11, 0);
    event.gate = 4;
    event.in = {1, 2, 3};
    event.firstWord = {4, 5, 6};
    event.out = {7, 8, 9};
    event.secondWord = {10, 11, 12};
    DayCountRecord day;
    day.date = kToday - 2;
    for (int a = 0; a < 3; ++a)
        for (int h = 0; h < 24; ++h)
            day.bands[a][h] = 100 * a + h;

    for (const int size : {17, 44, 45, 60, 1000}) {
        SCOPED_TRACE(size);
        QByteArray bytes = eventHeader(2, 2, size);
        bytes += storedRecord(event, size) + storedRecord(event, size) + QByteArray(540, '\0');
        temp.write(QStringLiteral("pc_gate.dat"), bytes);
        CountModel m(clock);
        CountFiles f(m, clock, temp.path());
        ASSERT_EQ(f.Read_PC_file().outcome, Outcome::Loaded);
        ASSERT_EQ(m.eventCount(), 2);
        QByteArray known(45, '\0');
        event.write(reinterpret_cast<std::uint8_t*>(known.data()));
        known = known.left(size) + QByteArray(std::max(0, 45 - size), '\0');
        EXPECT_EQ(m.event(1), CountEvent::read(reinterpret_cast<const std::uint8_t*>(known.constData())));
    }
    for (const int size : {100, 295, 296, 300, 4096}) {
        SCOPED_TRACE(size);
        QByteArray bytes;
        appendI32(bytes, 1);
        appendI32(bytes, size);
        for (int g = 0; g < 15; ++g) {
            appendI32(bytes, g == 9 ? 2 : 0);
            if (g == 9)
                bytes += storedRecord(day, size) + storedRecord(day, size);
        }
        temp.write(QStringLiteral("pc_all.dat"), bytes);
        CountModel m(clock);
        CountFiles f(m, clock, temp.path());
        ASSERT_EQ(f.Read_DAY_file().outcome, Outcome::Loaded);
        ASSERT_EQ(m.dayRecordCount(9), 2);
        QByteArray known(296, '\0');
        day.write(reinterpret_cast<std::uint8_t*>(known.data()));
        known = known.left(size) + QByteArray(std::max(0, 296 - size), '\0');
        EXPECT_EQ(m.dayRecord(9, 1), DayCountRecord::read(reinterpret_cast<const std::uint8_t*>(known.constData())));
    }
}

TEST_F(CountFilesTest, EventFileVersions)
{
    CountEvent event;
    event.time = at(9, 0);
    event.in = {1, 0, 0};
    const struct
    {
        std::int32_t version;
        Outcome outcome;
        int events;
        bool lastValues;
    } cases[] = {
        {1, Outcome::Loaded, 1, false},  {2, Outcome::Loaded, 1, true},    {3, Outcome::Loaded, 1, true},
        {0, Outcome::Ignored, 0, false}, {-1, Outcome::Ignored, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.version);
        QByteArray bytes = eventHeader(c.version, 1, 45) + storedRecord(event, 45);
        if (c.version >= 2)
            bytes += QByteArray(540, '\x01');
        temp.write(QStringLiteral("pc_gate.dat"), bytes);
        QFile::remove(temp.file(QStringLiteral("pc_gate.dat.bad")));
        CountModel m(clock);
        CountFiles f(m, clock, temp.path());
        f.setLogSink([](const QString&) {});
        EXPECT_EQ(f.Read_PC_file().outcome, c.outcome);
        EXPECT_EQ(m.eventCount(), c.events);
        EXPECT_EQ(m.hasLastValues(14), c.lastValues);
        EXPECT_EQ(QFile::exists(temp.file(QStringLiteral("pc_gate.dat.bad"))), c.outcome != Outcome::Loaded);
    }
}

struct BadFile
{
    const char* name;
    QByteArray bytes;
};

QByteArray goodEventFile()
{
    CountEvent event;
    event.time = at(9, 0);
    return eventHeader(2, 2, 45) + storedRecord(event, 45) + storedRecord(event, 45) + QByteArray(540, '\0');
}

TEST_F(CountFilesTest, RefusedEventFileLeavesTheModelAndIsKeptAside)
{
    const BadFile cases[] = {
        {"empty file", QByteArray()},
        {"cut in the version", QByteArray("\x02\x00", 2)},
        {"cut in the header", eventHeader(2, 0, 45).left(9)},
        {"more events than the log holds", eventHeader(2, 2000000, 45) + QByteArray(600, '\0')},
        {"count far beyond the limit", eventHeader(2, 0x7FFFFFFF, 45)},
        {"negative count", eventHeader(2, -1, 45) + QByteArray(540, '\0')},
        {"record size 0", eventHeader(2, 3, 0) + QByteArray(540, '\0')},
        {"huge record size", eventHeader(2, 2, 0x7FFFFFFF) + QByteArray(540, '\0')},
        {"last values cut", goodEventFile().chopped(1)},
        {"version 1 with an event cut", eventHeader(1, 2, 45) + QByteArray(89, '\0')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        folder.write(QStringLiteral("pc_gate.dat"), c.bytes);
        ManualClock caseClock(at(10, 0));
        CountModel m(caseClock);
        m.setLastValues(0, counts({5, 0, 0}), true);
        m.CountValuesReceived(0, counts({6, 0, 0}));
        const CountEvent before = *m.EventAt(0);
        CountFiles f(m, caseClock, folder.path());
        QStringList caseLogs;
        f.setLogSink([&](const QString& text) { caseLogs.push_back(text); });

        EXPECT_EQ(f.Read_PC_file().outcome, Outcome::Damaged);
        ASSERT_EQ(m.eventCount(), 1);
        EXPECT_EQ(*m.EventAt(0), before);
        EXPECT_EQ(m.lastValues(0), counts({6, 0, 0}));
        EXPECT_FALSE(m.hasLastValues(1));
        ASSERT_EQ(caseLogs.size(), 2);
        EXPECT_TRUE(caseLogs[0].contains(QStringLiteral("pc_gate.dat not loaded"))) << caseLogs[0].toStdString();
        EXPECT_EQ(folder.read(QStringLiteral("pc_gate.dat.bad")), c.bytes);

        // The next save replaces the file; the refused bytes stay aside.
        EXPECT_TRUE(f.Write_PC_file());
        EXPECT_EQ(folder.read(QStringLiteral("pc_gate.dat")).size(), 12 + 45 + 540);
        EXPECT_EQ(folder.read(QStringLiteral("pc_gate.dat.bad")), c.bytes);
    }
}

QByteArray dayFile(const std::vector<int>& countsPerGate, int recordsPresent)
{
    QByteArray bytes;
    appendI32(bytes, 1);
    appendI32(bytes, 296);
    int written = 0;
    for (const int n : countsPerGate) {
        appendI32(bytes, n);
        for (int i = 0; i < n && written < recordsPresent; ++i, ++written) {
            DayCountRecord record;
            record.date = kToday - 1 - i;
            bytes += storedRecord(record, 296);
        }
    }
    return bytes;
}

TEST_F(CountFilesTest, DamagedDayFileKeepsTheGatesReadBeforeTheFault)
{
    const struct
    {
        const char* name;
        QByteArray bytes;
        Outcome outcome;
        int gatesLoaded;
    } cases[] = {
        {"version 0", QByteArray(68, '\0'), Outcome::Ignored, 0},
        {"cut in the header", dayFile({}, 0).left(6), Outcome::Damaged, 0},
        {"record size 0", QByteArray("\x01\0\0\0\0\0\0\0", 8) + QByteArray(60, '\0'), Outcome::Damaged, 0},
        {"count beyond the table", dayFile({2000000}, 0), Outcome::Damaged, 0},
        {"negative count of gate 3", dayFile({1, 1, 1, -1}, 3), Outcome::Damaged, 3},
        {"records of gate 4 cut", dayFile({1, 2, 1, 1, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 7), Outcome::Damaged, 4},
        {"counts of the last gates missing", dayFile({1, 1, 1, 1, 1, 1}, 6), Outcome::Damaged, 6},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        folder.write(QStringLiteral("pc_all.dat"), c.bytes);
        CountModel m(clock);
        for (int g = 0; g < CountModel::kGates; ++g) {
            m.DayRecordAt(g, 0)->date = kToday + g;
            m.setDayRecordCount(g, 1);
        }
        CountFiles f(m, clock, folder.path());
        f.setLogSink([](const QString&) {});

        EXPECT_EQ(f.Read_DAY_file().outcome, c.outcome);
        for (int g = 0; g < CountModel::kGates; ++g) {
            if (g < c.gatesLoaded) {
                EXPECT_NE(m.FindDayRecord(g, kToday - 1), -1) << "gate " << g;
            } else {
                ASSERT_EQ(m.dayRecordCount(g), 1) << "gate " << g;
                EXPECT_EQ(m.dayRecord(g, 0).date, kToday + g);
            }
        }
        EXPECT_EQ(folder.read(QStringLiteral("pc_all.dat.bad")), c.bytes);
    }
}

TEST_F(CountFilesTest, EveryRefusedLoadGetsItsOwnCopy)
{
    temp.write(QStringLiteral("pc_gate.dat"), QByteArray("first"));
    files.Read_PC_file();
    files.Write_PC_file();
    temp.write(QStringLiteral("pc_gate.dat"), QByteArray("second"));
    files.Read_PC_file();
    EXPECT_EQ(temp.read(QStringLiteral("pc_gate.dat.bad")), QByteArray("first"));
    EXPECT_EQ(temp.read(QStringLiteral("pc_gate.dat.bad2")), QByteArray("second"));
}

TEST_F(CountFilesTest, RefusedFileThatCannotBeKeptAsideIsNotOverwritten)
{
    temp.write(QStringLiteral("pc_all.dat"), QByteArray("\x01\0\0\0", 4));
    temp.write(QStringLiteral("pc_all.dat.bad"), QByteArray());
    for (int n = 2; n <= 100; ++n)
        temp.write(QStringLiteral("pc_all.dat.bad%1").arg(n), QByteArray());
    EXPECT_EQ(files.Read_DAY_file().outcome, Outcome::Damaged);
    EXPECT_FALSE(files.Write_DAY_file());
    EXPECT_EQ(temp.read(QStringLiteral("pc_all.dat")), QByteArray("\x01\0\0\0", 4));
    EXPECT_TRUE(logs.last().contains(QStringLiteral("not overwritten"))) << logs.last().toStdString();

    // Once a copy can be made, saving resumes.
    QFile::remove(temp.file(QStringLiteral("pc_all.dat.bad50")));
    EXPECT_TRUE(files.Write_DAY_file());
    EXPECT_EQ(temp.read(QStringLiteral("pc_all.dat.bad50")), QByteArray("\x01\0\0\0", 4));
    EXPECT_EQ(temp.read(QStringLiteral("pc_all.dat")).size(), 68);
}

TEST_F(CountFilesTest, WritersReportAFailingDevice)
{
    fill(model, clock);
    for (const qint64 limit : {0, 3, 12, 100, 400, 900}) {
        SCOPED_TRACE(limit);
        FailingDevice events(limit);
        EXPECT_FALSE(CountEventFile::write(model, events));
        FailingDevice days(limit);
        EXPECT_FALSE(CountDayFile::write(model, days));
    }

    CountFiles lost(model, clock, temp.file(QStringLiteral("no/such/folder")));
    QStringList lostLogs;
    lost.setLogSink([&](const QString& text) { lostLogs.push_back(text); });
    lost.S1Click();
    ASSERT_EQ(lostLogs.size(), 2);
    EXPECT_TRUE(lostLogs[0].contains(QStringLiteral("pc_gate.dat not saved")));
    EXPECT_TRUE(lostLogs[1].contains(QStringLiteral("pc_all.dat not saved")));
}

TEST_F(CountFilesTest, BackUpTimerSavesBothFiles)
{
    QTimer* timer = files.backUpTimer();
    EXPECT_EQ(timer->objectName(), QStringLiteral("BackUpTimer"));
    EXPECT_FALSE(timer->isActive());
    const std::pair<int, int> intervals[] = {{5, 30000}, {1, 6000}, {120, 720000}, {0, 6000}, {500, 720000}};
    for (const auto& [minutes, ms] : intervals) {
        files.startBackUpTimer(minutes);
        EXPECT_EQ(timer->interval(), ms) << minutes;
    }
    EXPECT_TRUE(timer->isActive());

    timer->setInterval(1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(files.dayFilePath()); }, 2000));
    EXPECT_TRUE(QFile::exists(files.eventFilePath()));
}

} // namespace
