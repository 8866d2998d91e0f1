// The XLSX report's formulas are only right when a spreadsheet program computes them: the produced
// workbooks are recalculated headless by LibreOffice Calc and the computed cells read back.
#include "counting/CountModel.h"
#include "platform/DayNumber.h"
#include "platform/ManualClock.h"
#include "reports/CountCsvOptions.h"
#include "reports/ReportCalendar.h"
#include "reports/ReportDateRange.h"
#include "reports/WindowlessProgress.h"
#include "reports/WindowlessReportHost.h"
#include "reports/XlsxReport.h"
#include "support/TempFolder.h"
#include "unit/reports/XlsxBook.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <memory>

namespace {

// From band 0, so that the band rows out of use (band 0 in column E) must not count band 0 again.
constexpr int kFirstBand = 0;
constexpr int kLastBand = 21;

// Crafted counts: small, different per gate, day, aisle and band.
int countOf(int gate, const QDate& date, int aisle, int band)
{
    return (date.day() * 3 + band * 5 + aisle * 7 + gate * 11) % 13 + aisle;
}

struct RangeCase
{
    const char* name;
    QDate first;
    QDate last;
    int outputKind;
    std::array<const char*, 5> titles;
};

const std::array<RangeCase, 4> kCases = {{
    {"day",
     QDate(2021, 4, 5),
     QDate(2021, 4, 5),
     1,
     {"令和3年4月5日の時間帯別入館者数", "令和3年4月5日の曜日別入館者数", "令和3年4月5日の日別入館者数",
      "令和3年4月の入館者数", "令和3年度の入館者数"}},
    {"fiscal",
     QDate(2020, 4, 1),
     QDate(2021, 3, 31),
     3,
     {"令和2年4月から令和3年3月までの時間帯別入館者数", "令和2年4月から令和3年3月までの曜日別入館者数",
      "令和2年4月から令和3年3月までの日別入館者数", "令和2年4月から令和3年3月までの月別入館者数",
      "令和2年度の入館者数"}},
    {"range",
     QDate(2021, 4, 1),
     QDate(2021, 6, 30),
     0,
     {"令和3年4月から6月までの時間帯別入館者数", "令和3年4月から6月までの曜日別入館者数",
      "令和3年4月から6月までの日別入館者数", "令和3年4月から6月までの月別入館者数", "令和3年度の入館者数"}},
    {"month",
     QDate(2021, 4, 1),
     QDate(2021, 4, 30),
     2,
     {"令和3年4月の時間帯別入館者数", "令和3年4月の曜日別入館者数", "令和3年4月の日別入館者数", "令和3年4月の入館者数",
      "令和3年度の入館者数"}},
}};

// What the formulas must give for one period, summed here from the crafted counts.
struct Expected
{
    std::array<std::array<long long, 7>, 24> bandByWeekday{}; // [band][Monday 0 .. Sunday 6]
    std::array<long long, 7> weekday{};
    std::array<long long, 12> month{}; // January 0
    std::array<long long, 31> dayOfMonth{};
    std::map<int, long long> fiscalYear;
    long long total = 0;
};

// Gate 1 counts every day from April 2020 to June 2021, gate 3 every third day; one day of 2013 is
// never reported.
std::vector<std::pair<int, QDate>> gateDays()
{
    std::vector<std::pair<int, QDate>> days;
    for (QDate d(2020, 4, 1); d <= QDate(2021, 6, 30); d = d.addDays(1)) {
        days.emplace_back(0, d);
        if (d.toJulianDay() % 3 == 0)
            days.emplace_back(2, d);
    }
    days.emplace_back(0, QDate(2013, 5, 1));
    return days;
}

Expected expectedFor(const RangeCase& c)
{
    Expected e;
    for (const auto& [gate, date] : gateDays()) {
        if (date < c.first || date > c.last || date.year() < 2014)
            continue;
        for (int band = kFirstBand; band <= kLastBand; ++band) {
            long long visitors = 0;
            for (int aisle = 0; aisle < 3; ++aisle)
                visitors += countOf(gate, date, aisle, band);
            e.bandByWeekday[band][date.dayOfWeek() - 1] += visitors;
            e.weekday[date.dayOfWeek() - 1] += visitors;
            e.month[date.month() - 1] += visitors;
            e.dayOfMonth[date.day() - 1] += visitors;
            e.fiscalYear[ReportCalendar::fiscalYearIndex(date)] += visitors;
            e.total += visitors;
        }
    }
    return e;
}

using Sheet = std::vector<QStringList>;

// One line of LibreOffice's CSV: fields split at commas outside quotes, quotes removed.
QStringList csvFields(const QString& line)
{
    QStringList fields;
    QString field;
    bool quoted = false;
    for (qsizetype k = 0; k < line.size(); ++k) {
        const QChar c = line[k];
        if (quoted) {
            if (c == QLatin1Char('"') && k + 1 < line.size() && line[k + 1] == QLatin1Char('"')) {
                field += c;
                ++k;
            } else if (c == QLatin1Char('"')) {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == QLatin1Char(',')) {
            fields << field;
            field.clear();
        } else {
            field += c;
        }
    }
    fields << field;
    return fields;
}

class XlsxRecalcTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_folder = std::make_unique<TempFolder>();
        s_soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
        if (s_soffice.isEmpty())
            return;
        ManualClock clock(DayNumber::fromDate(QDate(2021, 7, 1)) + 0.5);
        CountModel model(clock);
        for (const auto& [gate, date] : gateDays()) {
            const int n = model.dayRecordCount(gate);
            model.setDayRecordCount(gate, n + 1);
            DayCountRecord& record = *model.DayRecordAt(gate, n);
            record = DayCountRecord{};
            record.date = DayNumber::fromDate(date);
            for (int aisle = 0; aisle < 3; ++aisle)
                for (int band = 0; band < DayCountRecord::kBands; ++band)
                    record.bands[aisle][band] = countOf(gate, date, aisle, band);
        }
        CountCsvOptions options;
        options.startBand = kFirstBand;
        options.endBand = kLastBand;
        options.gateNames[0] = QStringLiteral("正面玄関");
        options.gateAddresses[0] = QStringLiteral("127.0.0.1");
        options.gateNames[2] = QStringLiteral("南口 <&\">");
        options.gateAddresses[2] = QStringLiteral("127.0.0.3");
        ReportDateRange range;
        WindowlessProgress progress;
        WindowlessReportHost host;
        XlsxReport report(model, options, range, clock, progress, host,
                          [](const QString& text) { ADD_FAILURE() << text.toStdString(); });
        XlsxReportSettings settings;
        settings.templatePath = s_folder->file(QStringLiteral("pc_template.xlsx"));
        report.setSettings(settings);
        QStringList arguments = {QStringLiteral("--headless"), QStringLiteral("--norestore"),
                                 QStringLiteral("-env:UserInstallation=file://") + s_folder->file(QStringLiteral("lo")),
                                 QStringLiteral("--convert-to"),
                                 // UTF-8, values rather than their display, every sheet into its own file.
                                 QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,false,false,"
                                                "false,-1"),
                                 QStringLiteral("--outdir"), s_folder->file(QStringLiteral("csv"))};
        for (const RangeCase& c : kCases) {
            range.first = DayNumber::fromDate(c.first);
            range.last = DayNumber::fromDate(c.last) + DayNumber::encodeTime(23, 59, 59);
            range.outputKind = c.outputKind;
            const QString path = s_folder->file(QString::fromLatin1(c.name) + QStringLiteral(".xlsx"));
            ASSERT_TRUE(report.writeXlsxReport(path).ok());
            arguments << path;
        }
        // One start of LibreOffice for all workbooks: its start-up is the slow part.
        // The dates of column A are read by DATEVALUE as a Japanese spreadsheet program reads them: the
        // profile of this run sets the locale to Japanese.
        s_folder->write(QStringLiteral("lo/user/registrymodifications.xcu"),
                        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                        "<oor:items xmlns:oor=\"http://openoffice.org/2001/registry\" "
                        "xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" "
                        "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">\n"
                        "<item oor:path=\"/org.openoffice.Setup/L10N\"><prop oor:name=\"ooSetupSystemLocale\" "
                        "oor:op=\"fuse\"><value>ja-JP</value></prop></item>\n"
                        "</oor:items>\n");
        QProcess soffice;
        soffice.start(s_soffice, arguments);
        s_converted = soffice.waitForFinished(240000) && soffice.exitCode() == 0;
        if (!s_converted)
            soffice.kill();
        s_log = QString::fromUtf8(soffice.readAllStandardOutput() + soffice.readAllStandardError());
    }

    static void TearDownTestSuite() { s_folder.reset(); }

    void SetUp() override
    {
        if (s_soffice.isEmpty())
            GTEST_SKIP() << "LibreOffice (soffice) is not installed; ./run setup installs it";
        ASSERT_TRUE(s_converted) << s_log.toStdString();
    }

    static Sheet sheet(const RangeCase& c, const QString& name)
    {
        QFile file(s_folder->file(QStringLiteral("csv/%1-%2.csv").arg(QString::fromLatin1(c.name), name)));
        Sheet rows;
        if (!file.open(QIODevice::ReadOnly))
            return rows;
        for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n')))
            rows.push_back(csvFields(line.trimmed()));
        return rows;
    }

    // The computed text of a cell ("F26"), empty when the sheet has nothing there.
    static QString at(const Sheet& rows, const char* reference)
    {
        int column = 0;
        int k = 0;
        for (; reference[k] >= 'A' && reference[k] <= 'Z'; ++k)
            column = column * 26 + (reference[k] - 'A' + 1);
        const int row = std::atoi(reference + k);
        if (row < 1 || row > static_cast<int>(rows.size()) || column > rows[row - 1].size())
            return QString();
        return rows[row - 1][column - 1];
    }

    static long long number(const Sheet& rows, const char* reference) { return at(rows, reference).toLongLong(); }

    static inline std::unique_ptr<TempFolder> s_folder;
    static inline QString s_soffice;
    static inline bool s_converted = false;
    static inline QString s_log;
};

class XlsxRecalcRangeTest : public XlsxRecalcTest, public ::testing::WithParamInterface<RangeCase>
{
};

TEST_P(XlsxRecalcRangeTest, OpensWithAllEightSheets)
{
    for (const char* name : {"時間帯別", "曜日別", "日別", "月別", "年度別", "人数カウント", "Sheet1", "Sheet2"})
        EXPECT_TRUE(QFile::exists(s_folder->file(
            QStringLiteral("csv/%1-%2.csv").arg(QString::fromLatin1(GetParam().name), QString::fromUtf8(name)))))
            << name;
}

TEST_P(XlsxRecalcRangeTest, TheWrittenCellsAndTheCountSheetAux)
{
    const RangeCase& c = GetParam();
    const Sheet count = sheet(c, QStringLiteral("人数カウント"));
    EXPECT_EQ(number(count, "K1"), c.outputKind);
    EXPECT_EQ(at(count, "K2"), c.first.toString(QStringLiteral("yyyy/MM/dd")));
    EXPECT_EQ(at(count, "L2"), c.last.toString(QStringLiteral("yyyy/MM/dd")));
    // K4 counts the rows; K5 and K6 are the smallest and largest date of column A.
    long long rows = 0;
    for (const auto& [gate, date] : gateDays())
        rows += date >= c.first && date <= c.last ? kLastBand - kFirstBand + 1 : 0;
    EXPECT_EQ(number(count, "K4"), rows);
    EXPECT_EQ(at(count, "K5"), c.first.toString(QStringLiteral("yyyy/MM/dd")));
    EXPECT_EQ(at(count, "K6"), c.last.toString(QStringLiteral("yyyy/MM/dd")));
    EXPECT_EQ(at(count, "E1"), QStringLiteral("正面玄関"));
}

TEST_P(XlsxRecalcRangeTest, WeekdayAndBandTotals)
{
    const RangeCase& c = GetParam();
    const Expected e = expectedFor(c);
    const Sheet sheet1 = sheet(c, QStringLiteral("Sheet1"));
    const Sheet sheet2 = sheet(c, QStringLiteral("Sheet2"));
    for (int d = 0; d < 7; ++d) {
        const std::string col1 = std::string(1, static_cast<char>('F' + d)) + "26";
        const std::string col2 = std::string(1, static_cast<char>('B' + d)) + "34";
        EXPECT_EQ(number(sheet1, col1.c_str()), e.weekday[d]) << col1;
        EXPECT_EQ(number(sheet2, col2.c_str()), e.weekday[d]) << col2;
    }
    // Rows 2 .. 23 are the bands 0 .. 21; the rows after them are out of use.
    for (int r = 2; r <= 25; ++r) {
        const int band = kFirstBand + r - 2;
        const std::string label = "D" + std::to_string(r);
        EXPECT_EQ(at(sheet1, label.c_str()),
                  band <= kLastBand ? QStringLiteral("%1時台").arg(band) : QStringLiteral(" "))
            << label;
        for (int d = 0; d < 7; ++d) {
            const std::string ref = std::string(1, static_cast<char>('F' + d)) + std::to_string(r);
            EXPECT_EQ(number(sheet1, ref.c_str()), band <= kLastBand ? e.bandByWeekday[band][d] : 0) << ref;
        }
    }
    EXPECT_EQ(number(sheet2, "A36"), kLastBand - kFirstBand + 2);
}

TEST_P(XlsxRecalcRangeTest, MonthDayAndYearBlocks)
{
    const RangeCase& c = GetParam();
    const Expected e = expectedFor(c);
    const Sheet sheet1 = sheet(c, QStringLiteral("Sheet1"));
    for (int k = 0; k < 12; ++k) {
        const int month = (k + 3) % 12 + 1;
        EXPECT_EQ(number(sheet1, ("F" + std::to_string(28 + k)).c_str()), e.month[month - 1]) << "fiscal row " << k;
        EXPECT_EQ(number(sheet1, ("O" + std::to_string(28 + k)).c_str()), e.month[k]) << "calendar row " << k;
    }
    EXPECT_EQ(number(sheet1, "F40"), e.total);
    EXPECT_EQ(number(sheet1, "O40"), e.total);
    for (int d = 0; d < 31; ++d)
        EXPECT_EQ(number(sheet1, ("F" + std::to_string(42 + d)).c_str()), e.dayOfMonth[d]) << "day " << d + 1;
    EXPECT_EQ(number(sheet1, "F73"), e.total);
    for (const auto& [index, visitors] : e.fiscalYear)
        EXPECT_EQ(number(sheet1, ("D" + std::to_string(75 + index)).c_str()), visitors) << "fiscal year " << index;
    EXPECT_EQ(number(sheet1, "D102"), e.total);
    EXPECT_EQ(number(sheet1, "M102"), e.total);
    // April 2021 is month row 105 + 12 * 7.
    EXPECT_EQ(at(sheet1, "C189"), QStringLiteral("2021/04/*"));
    EXPECT_EQ(number(sheet1, "F189"), c.last >= QDate(2021, 4, 1) ? e.month[3] : 0);
}

TEST_P(XlsxRecalcRangeTest, ChartTitles)
{
    const RangeCase& c = GetParam();
    const Sheet sheet2 = sheet(c, QStringLiteral("Sheet2"));
    // The charts carry the same texts as their titles' cached text: a program that draws a linked title
    // from its cache (as LibreOffice does) shows the report's title, not the template's.
    QFile file(s_folder->file(QString::fromLatin1(c.name) + QStringLiteral(".xlsx")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const XlsxBook book(file.readAll());
    for (int k = 0; k < 5; ++k) {
        const std::string ref = "A" + std::to_string(37 + k);
        EXPECT_EQ(at(sheet2, ref.c_str()), QString::fromUtf8(c.titles[k])) << ref;
        const auto chart = book.part("xl/charts/chart" + std::to_string(k + 1) + ".xml");
        ASSERT_TRUE(chart) << k;
        const pugi::xml_node title =
            chart->document_element().child("c:chart").child("c:title").child("c:tx").child("c:strRef");
        EXPECT_EQ(std::string(title.child_value("c:f")), "Sheet2!$" + ref.substr(0, 1) + "$" + ref.substr(1));
        EXPECT_EQ(QString::fromUtf8(title.child("c:strCache").child("c:pt").child_value("c:v")),
                  at(sheet2, ref.c_str()))
            << ref;
    }
}

INSTANTIATE_TEST_SUITE_P(Periods, XlsxRecalcRangeTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<RangeCase>& info) { return std::string(info.param.name); });

} // namespace
