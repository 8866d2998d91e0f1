#include "ReportFakes.h"

#include "platform/Cp932Codec.h"
#include "reports/CountCsvLine.h"
#include "reports/CountDatabaseImport.h"
#include "reports/CountReports.h"
#include "reports/ReportDateRange.h"
#include "support/TempFolder.h"

#include <QBuffer>

#include <gtest/gtest.h>

namespace {

TEST(CountCsvLine, ScansLikeTheFixedFormatWithItsWidthRetries)
{
    struct Case
    {
        const char* line;
        int gate;
        const char* date;
        const char* field;
        int band;
        std::array<int, 3> counts;
        bool valid;
    };
    const Case cases[] = {
        {"3,\"2021/04/05\",9,10,0,2", 3, "\"2021/04/05\"", "2021/04/05", 9, {10, 0, 2}, true},
        // Shorter dates run into the next field and are scanned again, cut before the comma.
        {"3,2021/04/05,9,10,0,2", 3, "2021/04/05", "2021/04/05", 9, {10, 0, 2}, true},
        {"3,2021/4/5,9,10,0,2", 3, "2021/4/5", "2021/4/5", 9, {10, 0, 2}, true},
        {"12, 2021/4/5,-9,1,2,3", 12, "2021/4/5", "2021/4/5", -9, {1, 2, 3}, false},
        // The blank before a separator ends the scan, as a literal comma must follow directly.
        {"3 ,\"2021/04/05\",9,1,2,3", 3, "", "", 0, {0, 0, 0}, false},
        // Width 7 for a comma this early; fields of the first pass that the second misses stay.
        {"3,21/4/5,9,1,2,3", 3, "21/4/5,", "21/4/5,", 3, {0, 0, 0}, false},
        {"3,\"2021/04/05\",24,1,2,3", 3, "\"2021/04/05\"", "2021/04/05", 24, {1, 2, 3}, false},
        {"0,\"2021/04/05\",9,1,2,3", 0, "\"2021/04/05\"", "2021/04/05", 9, {1, 2, 3}, false},
        {"16,\"2021/04/05\",9,1,2,3", 16, "\"2021/04/05\"", "2021/04/05", 9, {1, 2, 3}, false},
        {"garbage", 0, "", "", 0, {0, 0, 0}, false},
        {"", 0, "", "", 0, {0, 0, 0}, false},
        {"3,\"2021/04/05\",9,99999999999,-99999999999,+7",
         3,
         "\"2021/04/05\"",
         "2021/04/05",
         9,
         {2147483647, -2147483648, 7},
         true},
    };
    for (const Case& c : cases) {
        const CountCsvLine line = CountCsvLine::scan(QByteArrayView(c.line));
        EXPECT_EQ(line.gate, c.gate) << c.line;
        EXPECT_EQ(line.dateText(), QByteArrayView(c.date)) << c.line;
        EXPECT_EQ(line.dateField(), QByteArrayView(c.field)) << c.line;
        EXPECT_EQ(line.band, c.band) << c.line;
        EXPECT_EQ(line.counts, c.counts) << c.line;
        EXPECT_EQ(line.valid(), c.valid) << c.line;
    }
    // The line ends at a NUL byte, as for the C scan.
    const char raw[] = "3,\"2021/04/05\",9,1\0,2,3";
    const QByteArray withNul(raw, sizeof raw - 1);
    EXPECT_EQ(CountCsvLine::scan(withNul).counts, (std::array<int, 3>{1, 0, 0}));
}

class CountImportTest : public ::testing::Test
{
protected:
    ImportResult import(const QByteArray& text)
    {
        temp.write(QStringLiteral("in.csv"), text);
        return reports.importCountDatabase(temp.file(QStringLiteral("in.csv")));
    }

    static std::array<std::int32_t, 3> bandOf(const DayCountRecord& record, int band)
    {
        return {record.bands[0][band], record.bands[1][band], record.bands[2][band]};
    }

    ManualClock clock{day(2021, 4, 5) + DayNumber::encodeTime(10, 30, 0)};
    CountModel model{clock};
    FakeProgress progress{clock};
    FakeHost host;
    ReportDateRange range;
    CountReports reports{model, clock, progress, host, range};
    TempFolder temp;
};

TEST_F(CountImportTest, ALineCreatesTheGateDayWithThatBandOnly)
{
    const ImportResult result = import("3,\"2021/04/05\",9,10,0,2\r\n");

    EXPECT_EQ(result.linesRead, 1);
    EXPECT_EQ(result.linesImported, 1);
    ASSERT_EQ(model.dayRecordCount(2), 1);
    DayCountRecord expected;
    expected.date = day(2021, 4, 5);
    expected.bands[0][9] = 10;
    expected.bands[2][9] = 2;
    EXPECT_EQ(model.dayRecord(2, 0), expected);
    for (int gate : {0, 1, 3, 14})
        EXPECT_EQ(model.dayRecordCount(gate), 0);

    EXPECT_EQ(progress.captions, QStringList{QStringLiteral("人数カウントデータベースインポート中...")});
    EXPECT_EQ(progress.max, 25);
    EXPECT_FALSE(progress.open);
    EXPECT_EQ(host.enabledChanges, (std::vector<bool>{false, true}));
    EXPECT_EQ(host.pageLabels, 1);
    EXPECT_EQ(host.layoutPasses, 1);
    EXPECT_TRUE(host.questions.isEmpty());
}

TEST_F(CountImportTest, MergesByReplacingBandsAndSortsTheTable)
{
    addDay(model, 0, day(2021, 4, 1));
    addDay(model, 0, day(2021, 4, 3));
    const ImportResult result = import("1,2021/4/3,8,1,2,3\n"
                                       "1,2021/4/2,8,4,5,6\n"
                                       "1,2021/04/01,0,7,8,9\n"
                                       "1,2013/12/31,8,1,1,1\n"
                                       "1,\"2021/04/02\",9,10,11,12");

    EXPECT_EQ(result.linesRead, 5);
    EXPECT_EQ(result.linesImported, 4);
    ASSERT_EQ(model.dayRecordCount(0), 3);
    EXPECT_EQ(model.dayRecord(0, 0).date, day(2021, 4, 1));
    EXPECT_EQ(bandOf(model.dayRecord(0, 0), 0), (std::array<std::int32_t, 3>{7, 8, 9}));
    EXPECT_EQ(bandOf(model.dayRecord(0, 0), 1), (std::array<std::int32_t, 3>{1, 101, 201}));
    EXPECT_EQ(model.dayRecord(0, 1).date, day(2021, 4, 2));
    EXPECT_EQ(bandOf(model.dayRecord(0, 1), 8), (std::array<std::int32_t, 3>{4, 5, 6}));
    EXPECT_EQ(bandOf(model.dayRecord(0, 1), 9), (std::array<std::int32_t, 3>{10, 11, 12}));
    EXPECT_EQ(bandOf(model.dayRecord(0, 2), 8), (std::array<std::int32_t, 3>{1, 2, 3}));
}

TEST_F(CountImportTest, LinesEndAtCrLfLfOrCrAlone)
{
    struct Case
    {
        const char* name;
        QByteArray text;
        int lines;
    };
    const QByteArray first = "3,\"2021/04/05\",9,1,2,3";
    const QByteArray second = "3,\"2021/04/05\",10,4,5,6";
    // A CR LF pair split over two reads of the file (1 MiB each) still ends one line.
    const QByteArray longFirst = "3,\"2021/04/05\",9," + QByteArray((1 << 20) - 23, '0') + "1,2,3";
    ASSERT_EQ(longFirst.size(), (1 << 20) - 1);
    const Case cases[] = {
        {"CR LF", first + "\r\n" + second + "\r\n", 2},
        {"LF", first + "\n" + second + "\n", 2},
        {"CR", first + "\r" + second + "\r", 2},
        {"CR, last line without an end", first + "\r" + second, 2},
        {"CR, empty line between", first + "\r\r" + second + "\r", 3},
        {"CR LF across a read", longFirst + "\r\n" + second + "\r\n", 2},
    };
    for (const Case& c : cases) {
        ManualClock caseClock{day(2021, 4, 5)};
        CountModel counts{caseClock};
        FakeHost answers;
        QByteArray text = c.text;
        QBuffer file(&text);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const ImportResult result = CountDatabaseImport(counts, answers, nullptr).read(file);

        EXPECT_EQ(result.linesRead, c.lines) << c.name;
        EXPECT_EQ(result.linesImported, 2) << c.name;
        EXPECT_EQ(answers.questions.size(), c.lines - 2) << c.name;
        ASSERT_EQ(counts.dayRecordCount(2), 1) << c.name;
        EXPECT_EQ(bandOf(counts.dayRecord(2, 0), 9), (std::array<std::int32_t, 3>{1, 2, 3})) << c.name;
        EXPECT_EQ(bandOf(counts.dayRecord(2, 0), 10), (std::array<std::int32_t, 3>{4, 5, 6})) << c.name;
    }
}

TEST_F(CountImportTest, InvalidLinesAskWhetherToStop)
{
    host.answers = {false, true};
    const ImportResult result = import("3,\"2021/04/05\",9,1,1,1\r\n"
                                       "3,\"2021/04/05\",24,2,2,2\r\n"
                                       "3,\"2021/04/05\",10,3,3,3\r\n"
                                       "0,\"2021/04/05\",11,4,4,4\r\n"
                                       "3,\"2021/04/05\",12,5,5,5\r\n");

    ASSERT_EQ(host.questions.size(), 2);
    EXPECT_EQ(host.questions[0],
              QStringLiteral("不正なデータが見つかりました。\n2行目->3,\"2021/04/05\",24,2,2,2\n中断しますか?"));
    EXPECT_EQ(host.questions[1],
              QStringLiteral("不正なデータが見つかりました。\n4行目->0,\"2021/04/05\",11,4,4,4\n中断しますか?"));
    EXPECT_TRUE(result.aborted);
    EXPECT_EQ(result.linesRead, 4);
    ASSERT_EQ(model.dayRecordCount(2), 1);
    EXPECT_EQ(bandOf(model.dayRecord(2, 0), 10), (std::array<std::int32_t, 3>{3, 3, 3}));
    EXPECT_EQ(bandOf(model.dayRecord(2, 0), 12), (std::array<std::int32_t, 3>{0, 0, 0}));
}

TEST_F(CountImportTest, GarbageIsReportedLineByLineAndLosesNothingElse)
{
    const QByteArray shiftJis = Cp932Codec::encode(QStringLiteral("ゲート,日付"));
    const ImportResult result = import("garbage\r\n"
                                       "\r\n"
                                       "3,\"2021/02/30\",9,1,1,1\r\n"
                                       "3,\"abcdefghij\",9,1,1,1\r\n" +
                                       shiftJis + "\r\n" + QByteArray(5000, 'x') +
                                       "\r\n"
                                       "3,\"2021/04/05\",9,7,7,7\r\n");

    EXPECT_FALSE(result.aborted);
    EXPECT_EQ(result.linesRead, 7);
    EXPECT_EQ(result.linesImported, 1);
    ASSERT_EQ(host.questions.size(), 6);
    EXPECT_TRUE(host.questions[2].contains(QStringLiteral("3行目->3,\"2021/02/30\"")));
    EXPECT_TRUE(host.questions[4].contains(QStringLiteral("5行目->ゲート,日付\n")));
    // A very long line is shown by its start only.
    EXPECT_LT(host.questions[5].size(), 400);
    ASSERT_EQ(model.dayRecordCount(2), 1);
    EXPECT_EQ(bandOf(model.dayRecord(2, 0), 9), (std::array<std::int32_t, 3>{7, 7, 7}));
}

TEST_F(CountImportTest, TodaysEventsBecomeHourlyEventsOfTheImportedBands)
{
    const double today = day(2021, 4, 5);
    const auto addEvent = [&](int gate, double time, int in) {
        const int n = model.eventCount();
        model.setEventCount(n + 1);
        CountEvent& event = *model.EventAt(n);
        event.time = time;
        event.gate = static_cast<std::uint8_t>(gate);
        event.in = {in, 0, 0};
    };
    addEvent(2, today + DayNumber::encodeTime(7, 30, 0), 5);
    addEvent(0, today + DayNumber::encodeTime(9, 15, 0), 1);
    addEvent(2, today + DayNumber::encodeTime(9, 20, 0), 6);

    import("3,\"2021/04/05\",9,10,0,2\r\n");

    ASSERT_EQ(model.eventCount(), 25);
    int gate0 = 0;
    int hour = 0;
    for (int n = 0; n < model.eventCount(); ++n) {
        const CountEvent& event = model.event(n);
        if (event.gate == 0) {
            ++gate0;
            continue;
        }
        ASSERT_EQ(event.gate, 2);
        EXPECT_DOUBLE_EQ(event.time, today + hour / 24.0);
        const int expectedIn = hour == 9 ? 10 : 0;
        const int expectedAisle3 = hour == 9 ? 2 : 0;
        EXPECT_EQ(event.in, (std::array<std::int32_t, 3>{expectedIn, 0, expectedAisle3})) << hour;
        EXPECT_EQ(event.out, (std::array<std::int32_t, 3>{}));
        ++hour;
    }
    EXPECT_EQ(gate0, 1);
    EXPECT_EQ(hour, 24);
    EXPECT_DOUBLE_EQ(model.event(10).time, today + DayNumber::encodeTime(9, 15, 0));

    // Counting exits, the record's counts are exit increments.
    model.setCountExits(true);
    CountDatabaseImport::rebuildTodayEvents(model, clock.now());
    ASSERT_EQ(model.eventCount(), 25);
    EXPECT_EQ(model.event(9).out, (std::array<std::int32_t, 3>{10, 0, 2}));
    EXPECT_EQ(model.event(9).in, (std::array<std::int32_t, 3>{}));
}

TEST_F(CountImportTest, ACancelledDialogStillRebuildsAndRedraws)
{
    addDay(model, 4, day(2021, 4, 5));
    const ImportResult result = reports.importCountDatabase(QString());

    EXPECT_EQ(result.linesRead, 0);
    EXPECT_EQ(model.eventCount(), 24);
    EXPECT_TRUE(progress.captions.isEmpty());
    EXPECT_TRUE(host.enabledChanges.empty());
    EXPECT_EQ(host.pageLabels, 1);
    EXPECT_EQ(host.layoutPasses, 1);

    const ImportResult missing = reports.importCountDatabase(temp.file(QStringLiteral("missing.csv")));
    EXPECT_FALSE(missing.error.isEmpty());
    EXPECT_FALSE(progress.open);
    EXPECT_EQ(host.layoutPasses, 2);
}

} // namespace
