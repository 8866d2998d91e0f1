#include "ReportFakes.h"

#include "platform/Cp932Codec.h"
#include "reports/CountCsvExport.h"
#include "reports/CountCsvOptions.h"
#include "reports/CountReports.h"
#include "reports/ReportDateRange.h"
#include "reports/ReportExtents.h"
#include "support/TempFolder.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

class CountCsvExportTest : public ::testing::Test
{
protected:
    CountCsvExportTest()
    {
        options.gateNames[0] = QStringLiteral("正面玄関ゲート(1通路)");
        options.gateAddresses[0] = QStringLiteral("127.0.0.1");
        options.gateNames[2] = QStringLiteral("裏口");
        options.gateAddresses[2] = QStringLiteral("127.0.0.3");
    }

    void setRange(double first, double last)
    {
        range.first = first;
        range.last = last;
    }

    QStringList lines(const QByteArray& bytes) const
    {
        QStringList result = Cp932Codec::decode(bytes).split(QStringLiteral("\r\n"));
        EXPECT_EQ(result.takeLast(), QString()) << "every line ends with CR LF";
        return result;
    }

    ManualClock clock{day(2021, 4, 5) + 0.5};
    CountModel model{clock};
    CountCsvOptions options;
    ReportDateRange range;
    ReportExtents extents;
    TempFolder temp;
};

TEST_F(CountCsvExportTest, WritesOneLinePerBandOfEachGateDayInTheRange)
{
    addDay(model, 0, day(2021, 4, 5));
    addDay(model, 0, day(2021, 4, 6));
    addDay(model, 1, day(2021, 4, 6));
    addDay(model, 2, day(2021, 4, 5), 1000);
    // One day, with the band hours in the instants: the days count, not the times.
    setRange(day(2021, 4, 5) + 8 / 24.0, day(2021, 4, 5) + DayNumber::encodeTime(21, 59, 59));

    CountCsvExport csv(model, options, range, extents, nullptr);
    const QByteArray bytes = csv.countCsvBytes();
    const QStringList written = lines(bytes);

    ASSERT_EQ(written.size(), 28);
    EXPECT_EQ(written.first(),
              QStringLiteral("\"2021/04/05\",8,\"月\",\"127.0.0.1\",\"正面玄関ゲート(1通路)\",8,108,208"));
    EXPECT_EQ(written[13],
              QStringLiteral("\"2021/04/05\",21,\"月\",\"127.0.0.1\",\"正面玄関ゲート(1通路)\",21,121,221"));
    EXPECT_EQ(written[14], QStringLiteral("\"2021/04/05\",8,\"月\",\"127.0.0.3\",\"裏口\",1008,1108,1208"));
    // Shift-JIS bytes, no byte-order mark.
    EXPECT_TRUE(bytes.startsWith("\"2021/04/05\",8,\"\x8C\x8E\",\"127.0.0.1\""));
}

TEST_F(CountCsvExportTest, SortsTheTablesAndSkipsDaysOutsideTheRangeOrBefore2014)
{
    options.startBand = 9;
    options.endBand = 9;
    addDay(model, 0, day(2021, 4, 30));
    addDay(model, 0, day(2013, 12, 31));
    addDay(model, 0, day(2021, 4, 1));
    addDay(model, 0, day(2021, 5, 1));
    addDay(model, 0, day(2021, 3, 31));
    setRange(day(2013, 1, 1), day(2021, 4, 30) + DayNumber::encodeTime(23, 59, 59));

    CountCsvExport csv(model, options, range, extents, nullptr);
    const QStringList written = lines(csv.countCsvBytes());

    ASSERT_EQ(written.size(), 3);
    EXPECT_TRUE(written[0].startsWith(QStringLiteral("\"2021/03/31\",9,\"水\"")));
    EXPECT_TRUE(written[1].startsWith(QStringLiteral("\"2021/04/01\",9,\"木\"")));
    EXPECT_TRUE(written[2].startsWith(QStringLiteral("\"2021/04/30\",9,\"金\"")));
    EXPECT_EQ(model.dayRecord(0, 0).date, day(2013, 12, 31));
    EXPECT_EQ(model.dayRecord(0, 4).date, day(2021, 5, 1));
    // Five records visited, whatever was written.
    EXPECT_EQ(csv.progressPosition(), 5);

    ReportExtents expected;
    expected.fiscalYearMin = 6;
    expected.fiscalYearMax = 7;
    expected.fiscalMonthMin = 0;
    expected.fiscalMonthMax = 11;
    expected.monthDays = 31;
    EXPECT_EQ(extents, expected);
}

TEST_F(CountCsvExportTest, NamesEveryDayOfTheWeek)
{
    options.startBand = 0;
    options.endBand = 0;
    for (int d = 4; d <= 10; ++d)
        addDay(model, 0, day(2021, 4, d));
    setRange(day(2021, 4, 1), day(2021, 4, 30));

    CountCsvExport csv(model, options, range, extents, nullptr);
    ASSERT_TRUE(csv.ExportCountCsv(3, QString()).ok());
    EXPECT_EQ(csv.columnText(),
              QStringLiteral("\"日\"\r\n\"月\"\r\n\"火\"\r\n\"水\"\r\n\"木\"\r\n\"金\"\r\n\"土\"\r\n"));
}

TEST_F(CountCsvExportTest, ColumnModesGiveOneFieldOfEachLineAndLeaveTheFileEmpty)
{
    options.startBand = 8;
    options.endBand = 9;
    addDay(model, 2, day(2021, 4, 5));
    setRange(day(2021, 4, 5), day(2021, 4, 5));
    const QString work = temp.file(QStringLiteral("temp.csv"));

    const QString expected[] = {
        QStringLiteral("\"2021/04/05\"\r\n\"2021/04/05\"\r\n"),
        QStringLiteral("8\r\n9\r\n"),
        QStringLiteral("\"月\"\r\n\"月\"\r\n"),
        QStringLiteral("\"127.0.0.3\"\r\n\"127.0.0.3\"\r\n"),
        QStringLiteral("\"裏口\"\r\n\"裏口\"\r\n"),
        QStringLiteral("8\r\n9\r\n"),
        QStringLiteral("108\r\n109\r\n"),
        QStringLiteral("208\r\n209\r\n"),
    };
    CountCsvExport csv(model, options, range, extents, nullptr);
    for (int mode = 1; mode <= 8; ++mode) {
        ASSERT_TRUE(csv.ExportCountCsv(mode, work).ok());
        EXPECT_EQ(csv.columnText(), expected[mode - 1]) << "mode " << mode;
    }
    EXPECT_TRUE(QFile::exists(work));
    EXPECT_EQ(temp.read(QStringLiteral("temp.csv")), QByteArray());
    // Carried over from pass to pass: one step per day record each time.
    EXPECT_EQ(csv.progressPosition(), 8);
}

TEST_F(CountCsvExportTest, ReportModeAppendsTheRawLinesOfEveryBand)
{
    options.reportMode = true;
    addDay(model, 2, day(2021, 4, 5));
    addDay(model, 2, day(2021, 5, 1));
    addDay(model, 14, day(2013, 4, 30));
    setRange(day(2013, 4, 1), day(2021, 4, 30));
    const QString out = temp.file(QStringLiteral("out.csv"));

    CountCsvExport csv(model, options, range, extents, nullptr);
    ASSERT_TRUE(csv.ExportCountCsv(0, out).ok());
    const QByteArray once = temp.read(QStringLiteral("out.csv"));
    const QStringList written = lines(once);
    ASSERT_EQ(written.size(), 48);
    EXPECT_EQ(written[0], QStringLiteral("3,\"2021/04/05\",0,0,100,200"));
    EXPECT_EQ(written[23], QStringLiteral("3,\"2021/04/05\",23,23,123,223"));
    EXPECT_EQ(written[24], QStringLiteral("15,\"2013/04/30\",0,0,100,200"));

    // Run again into the same file: both outputs stay.
    ASSERT_TRUE(csv.ExportCountCsv(0, out).ok());
    EXPECT_EQ(temp.read(QStringLiteral("out.csv")), once + once);
}

TEST_F(CountCsvExportTest, ExportCountFileChoosesTheWriterByExtension)
{
    FakeProgress progress(clock);
    FakeHost host;
    CountReports reports(model, clock, progress, host, range);
    addDay(model, 0, day(2021, 4, 5));
    addDay(model, 4, day(2021, 4, 6));
    setRange(day(2021, 4, 1), day(2021, 4, 30));

    temp.write(QStringLiteral("old.CSV"), "old");
    const std::uint32_t start = clock.tickMs();
    ASSERT_TRUE(reports.ExportCountFile(temp.file(QStringLiteral("old.CSV"))).ok());
    EXPECT_EQ(lines(temp.read(QStringLiteral("old.CSV"))).size(), 2 * 14);
    EXPECT_EQ(progress.captions, QStringList{QStringLiteral("CSVファイルの書き込み中...")});
    EXPECT_EQ(progress.max, 2);
    EXPECT_EQ(progress.positions.back(), 2);
    EXPECT_FALSE(progress.open);
    // Shown for at least 2000 ms with the main window disabled meanwhile.
    EXPECT_GE(ticksSince(start, clock.tickMs()), 2000u);
    EXPECT_EQ(host.enabledChanges, (std::vector<bool>{false, true}));
    EXPECT_EQ(reports.extents().monthDays, 30);

    // During shutdown the connection check is off: no wait.
    host.checkRunning = false;
    const std::uint32_t shutdown = clock.tickMs();
    ASSERT_TRUE(reports.ExportCountFile(temp.file(QStringLiteral("exit.csv"))).ok());
    EXPECT_EQ(clock.tickMs(), shutdown);

    EXPECT_EQ(reports.ExportCountFile(temp.file(QStringLiteral("r.xlsx"))).status,
              ExportResult::Status::XlsxNotAvailable);
    EXPECT_EQ(reports.ExportCountFile(temp.file(QStringLiteral("r.txt"))).status,
              ExportResult::Status::NotAnExportName);
    EXPECT_FALSE(QFile::exists(temp.file(QStringLiteral("r.txt"))));
}

TEST_F(CountCsvExportTest, AFailedWriteIsReportedAndNothingIsLeftBehind)
{
    addDay(model, 0, day(2021, 4, 5));
    setRange(day(2021, 4, 1), day(2021, 4, 30));
    temp.write(QStringLiteral("blocker"), "a file, not a folder");
    const QString path = temp.file(QStringLiteral("blocker/out.csv"));

    CountCsvExport csv(model, options, range, extents, nullptr);
    const ExportResult normal = csv.ExportCountCsv(0, path);
    EXPECT_EQ(normal.status, ExportResult::Status::Failed);
    EXPECT_FALSE(normal.error.isEmpty());

    options.reportMode = true;
    EXPECT_EQ(csv.ExportCountCsv(0, path).status, ExportResult::Status::Failed);
    EXPECT_EQ(temp.read(QStringLiteral("blocker")), QByteArray("a file, not a folder"));
}

TEST_F(CountCsvExportTest, CountDatabaseExportWritesAll24BandsOrOnlyTheRange)
{
    FakeProgress progress(clock);
    FakeHost host;
    CountReports reports(model, clock, progress, host, range);
    options.startBand = 8;
    options.endBand = 9;
    reports.setOptions(options);
    addDay(model, 0, day(2021, 4, 5));
    addDay(model, 0, day(2010, 1, 1));
    addDay(model, 6, day(2021, 6, 1));
    setRange(day(2021, 4, 1), day(2021, 4, 30));
    const QString path = temp.file(QStringLiteral("db.csv"));

    ASSERT_TRUE(reports.exportCountDatabase(path, false).ok());
    const QStringList all = lines(temp.read(QStringLiteral("db.csv")));
    ASSERT_EQ(all.size(), 3 * 24);
    EXPECT_EQ(all[24], QStringLiteral("1,\"2010/01/01\",0,0,100,200"));
    EXPECT_EQ(all[71], QStringLiteral("7,\"2021/06/01\",23,23,123,223"));
    EXPECT_EQ(progress.captions.last(), QStringLiteral("人数カウントデータベースエクスポート中..."));
    EXPECT_EQ(progress.positions, (std::vector<int>{0, 1, 2, 3, 3}));
    EXPECT_FALSE(progress.open);
    EXPECT_EQ(host.enabledChanges, (std::vector<bool>{false, true}));

    ASSERT_TRUE(reports.exportCountDatabase(path, true).ok());
    const QStringList limited = lines(temp.read(QStringLiteral("db.csv")));
    ASSERT_EQ(limited.size(), 24);
    EXPECT_TRUE(limited[0].startsWith(QStringLiteral("1,\"2021/04/05\",0,")));
}

} // namespace
