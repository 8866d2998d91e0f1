#include "ReportFakes.h"

#include "reports/ExitCsv.h"
#include "reports/ReportDateRange.h"
#include "reports/ReportMode.h"
#include "support/TempFolder.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

TEST(ExitCsv, RangeCountsBackFromTodayAndForwardFromTheFirstDay)
{
    struct Case
    {
        QDate today;
        int setting;
        const char* first;
        const char* last;
    };
    const Case cases[] = {
        {QDate(2024, 3, 31), 3, "2024/02/29 0:00:00", "2024/03/29 23:59:59"},
        {QDate(2023, 3, 31), 3, "2023/02/28 0:00:00", "2023/03/28 23:59:59"},
        {QDate(2024, 2, 29), 1, "2022/02/28 0:00:00", "2024/02/28 23:59:59"},
        {QDate(2024, 2, 29), 2, "2023/02/28 0:00:00", "2024/02/28 23:59:59"},
        {QDate(2021, 4, 5), 4, "2021/03/29 0:00:00", "2021/04/05 23:59:59"},
        {QDate(2021, 4, 5), 5, "2021/04/04 0:00:00", "2021/04/05 23:59:59"},
        {QDate(2021, 4, 5), 0, "2014/01/01 0:00:00", "2030/01/01 23:59:59"},
        {QDate(2021, 4, 5), 6, "2014/01/01 0:00:00", "2030/01/01 23:59:59"},
        {QDate(2021, 4, 5), -1, "2014/01/01 0:00:00", "2030/01/01 23:59:59"},
    };
    for (const Case& c : cases) {
        ReportDateRange range;
        range.outputKind = 2;
        ExitCsv::applyRange(range, DayNumber::fromDate(c.today) + 0.7, c.setting);
        EXPECT_EQ(DayNumber::formatDateTime(range.first), QLatin1String(c.first)) << c.setting;
        EXPECT_EQ(DayNumber::formatDateTime(range.last), QLatin1String(c.last)) << c.setting;
        EXPECT_EQ(range.outputKind, 2);
    }
}

TEST(ExitCsv, ShiftAsksForTheFileFirst)
{
    const ExitCsv::Plan plain = ExitCsv::plan(true, QStringLiteral("/out"), QStringLiteral("人数カウント.CSV"), false);
    EXPECT_TRUE(plain.write);
    EXPECT_FALSE(plain.askForPath);
    EXPECT_EQ(plain.path, QStringLiteral("/out/人数カウント.CSV"));
    EXPECT_TRUE(ExitCsv::plan(true, QStringLiteral("/out"), QStringLiteral("a.xlsx"), true).askForPath);
    const ExitCsv::Plan off = ExitCsv::plan(false, QStringLiteral("/out"), QStringLiteral("a.csv"), true);
    EXPECT_FALSE(off.write);
    EXPECT_FALSE(off.askForPath);
}

TEST(ReportMode, ReadsThePeriodAfterDate)
{
    EXPECT_TRUE(ReportMode::isReportMode(QStringLiteral("date=2021/04/01-2021/04/30")));
    EXPECT_FALSE(ReportMode::isReportMode(QStringLiteral("--data-dir")));

    struct Case
    {
        const char* argument;
        QDate first;
        QDate last;
    };
    const Case good[] = {
        {"DATE=2021/04/01-2021/04/30", QDate(2021, 4, 1), QDate(2021, 4, 30)},
        {"date= 2021/4/1 - 2021/4/30 ", QDate(2021, 4, 1), QDate(2021, 4, 30)},
        {"xDATE=2021/04/30-2021/04/01", QDate(2021, 4, 30), QDate(2021, 4, 1)},
    };
    for (const Case& c : good) {
        const auto period = ReportMode::parsePeriod(QLatin1String(c.argument));
        ASSERT_TRUE(period) << c.argument;
        EXPECT_EQ(period->first, c.first) << c.argument;
        EXPECT_EQ(period->last, c.last) << c.argument;
    }
    for (const char* bad :
         {"DATE=2021/04/01", "DATE=2021/04/01-", "DATE=2021/13/01-2021/04/30", "DATE=2021/04/01-2021/04/31",
          "DATE=yesterday-today", "X-DATE=2021/04/01-2021/04/30", "DATE=2021.04.01-2021.04.30"})
        EXPECT_FALSE(ReportMode::parsePeriod(QLatin1String(bad))) << bad;
}

TEST(ReportMode, ResolvesTheOutputArgument)
{
    ReportMode::Arguments arguments;
    arguments.dataFolder = QStringLiteral("/data");
    arguments.documentsFolder = QStringLiteral("/docs");
    arguments.dialogFolder = QStringLiteral("/data/out");

    const struct
    {
        const char* raw;
        const char* expected;
    } cases[] = {
        {"", "/data/out/人数エクスポート.csv"},
        {"  ", "/data/out/人数エクスポート.csv"},
        {"x.csv", "/docs/x.csv"},
        {"sub\\x.csv", "/data/sub/x.csv"},
        {"/abs/x.csv", "/abs/x.csv"},
        {"C:\\r\\x.csv", "C:/r/x.csv"},
    };
    for (const auto& c : cases) {
        arguments.outputArgument = QString::fromUtf8(c.raw);
        EXPECT_EQ(ReportMode::outputPath(arguments), QString::fromUtf8(c.expected)) << c.raw;
    }
    arguments.outputArgument.clear();
    arguments.dialogFolder.clear();
    EXPECT_EQ(ReportMode::outputPath(arguments), QStringLiteral("/docs/人数エクスポート.csv"));
}

TEST(ReportMode, AppendsThePeriodsRawLinesAndRefusesUnreadableDates)
{
    ManualClock clock(day(2021, 5, 10));
    CountModel model(clock);
    addDay(model, 0, day(2021, 3, 31));
    addDay(model, 0, day(2021, 4, 1));
    addDay(model, 9, day(2021, 4, 30));
    addDay(model, 9, day(2021, 5, 1));
    TempFolder temp;
    ReportMode::Arguments arguments;
    arguments.dateArgument = QStringLiteral(" DATE=2021/04/01-2021/04/30 ");
    arguments.outputArgument = temp.file(QStringLiteral("out.csv"));
    ReportDateRange range;

    const ReportMode::Result first = ReportMode::run(model, arguments, range);
    ASSERT_TRUE(first.ok) << first.error.toStdString();
    EXPECT_EQ(first.outputPath, temp.file(QStringLiteral("out.csv")));
    EXPECT_EQ(DayNumber::toDate(range.first), QDate(2021, 4, 1));
    EXPECT_EQ(DayNumber::toDate(range.last), QDate(2021, 4, 30));
    const QByteArray once = temp.read(QStringLiteral("out.csv"));
    const QList<QByteArray> lines = once.split('\n');
    ASSERT_EQ(lines.size(), 49);
    EXPECT_EQ(lines[0], QByteArray("1,\"2021/04/01\",0,0,100,200\r"));
    EXPECT_EQ(lines[47], QByteArray("10,\"2021/04/30\",23,23,123,223\r"));

    ASSERT_TRUE(ReportMode::run(model, arguments, range).ok);
    EXPECT_EQ(temp.read(QStringLiteral("out.csv")), once + once);

    arguments.dateArgument = QStringLiteral("DATE=2021/04/01-2021/04/31");
    arguments.outputArgument = temp.file(QStringLiteral("bad.csv"));
    const ReportMode::Result bad = ReportMode::run(model, arguments, range);
    EXPECT_FALSE(bad.ok);
    EXPECT_TRUE(bad.error.contains(QStringLiteral("DATE=2021/04/01-2021/04/31")));
    EXPECT_FALSE(QFile::exists(temp.file(QStringLiteral("bad.csv"))));
}

} // namespace
