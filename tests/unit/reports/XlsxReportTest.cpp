#include "ReportFakes.h"
#include "XlsxBook.h"
#include "XlsxTemplateEdit.h"

#include "reports/CountCsvOptions.h"
#include "reports/CountReports.h"
#include "reports/ReportDateRange.h"
#include "reports/XlsxReport.h"
#include "reports/XlsxTemplate.h"
#include "support/TempFolder.h"

#include <QDateTime>
#include <QFile>

#include <gtest/gtest.h>

namespace {

const QString kCannotCreate =
    QStringLiteral("ファイルを作成することが出来ません!\n既にExcel等で開いている場合は閉じて下さい。");

// The built-in template with one more visible worksheet, so a report shows which template it used.
QByteArray userTemplate()
{
    const QByteArray builtIn = XlsxTemplate::builtIn();
    std::string workbook = partText(builtIn, "xl/workbook.xml");
    replaceAll(workbook, "</sheets>", "<sheet name=\"利用者\" sheetId=\"20\" r:id=\"rId2\"/></sheets>");
    return withParts(builtIn, {{"xl/workbook.xml", workbook}});
}

bool hasSheet(const QByteArray& workbook, const std::string& name)
{
    for (const XlsxBook::Sheet& sheet : XlsxBook(workbook).sheets)
        if (sheet.name == name)
            return true;
    return false;
}

void setModified(const QString& path, const QDate& day)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(QDateTime(day, QTime(10, 0)), QFileDevice::FileModificationTime));
}

class XlsxReportTest : public ::testing::Test
{
public:
    XlsxReportTest()
    {
        addDay(model, 0, day(2021, 4, 5));
        addDay(model, 0, day(2021, 4, 6));
        addDay(model, 3, day(2021, 4, 5), 1000);
        options.gateNames[0] = QStringLiteral("正面");
        options.gateNames[3] = QStringLiteral("裏口");
        range.first = day(2021, 4, 5);
        range.last = day(2021, 4, 5) + DayNumber::encodeTime(23, 59, 59);
        range.outputKind = 1;
        settings.templatePath = temp.file(QStringLiteral("pc_template.xlsx"));
        report.setSettings(settings);
    }

    QByteArray output() const { return temp.read(QStringLiteral("out.xlsx")); }

    ManualClock clock{day(2021, 4, 7) + 0.5};
    CountModel model{clock};
    CountCsvOptions options;
    ReportDateRange range;
    FakeProgress progress{clock};
    FakeHost host;
    QStringList messages;
    XlsxReportSettings settings;
    XlsxReport report{model, options, range, clock, progress, host, [this](const QString& text) { messages << text; }};
    TempFolder temp;
    const QString out = temp.file(QStringLiteral("out.xlsx"));
};

struct TemplateCase
{
    const char* name;
    const char* file;
    // Modification day of the file there; null for no file.
    QDate modified;
    bool userTemplateUsed;
};

class XlsxTemplateRuleTest : public XlsxReportTest, public ::testing::WithParamInterface<TemplateCase>
{
};

TEST_P(XlsxTemplateRuleTest, UsesReplacesOrWritesTheTemplate)
{
    const TemplateCase& c = GetParam();
    settings.templatePath = temp.file(QString::fromLatin1(c.file));
    report.setSettings(settings);
    const bool workbookName = settings.templatePath.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive);
    const QByteArray before = workbookName ? userTemplate() : QByteArray("a file of another kind");
    if (c.modified.isValid()) {
        temp.write(QString::fromLatin1(c.file), before);
        setModified(settings.templatePath, c.modified);
    }

    ASSERT_TRUE(report.writeXlsxReport(out).ok());
    EXPECT_TRUE(messages.isEmpty()) << messages.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(hasSheet(output(), "利用者"), c.userTemplateUsed);
    EXPECT_TRUE(XlsxBook(output()).sheet("人数カウント"));
    const QByteArray after = temp.read(QString::fromLatin1(c.file));
    if (c.userTemplateUsed || !workbookName)
        EXPECT_EQ(after, before) << "the template file must stay as it was";
    else
        EXPECT_EQ(after, XlsxTemplate::builtIn()) << "the built-in template is written for the user";
}

INSTANTIATE_TEST_SUITE_P(
    Rules, XlsxTemplateRuleTest,
    ::testing::Values(TemplateCase{"Outdated20201105", "pc_template.xlsx", QDate(2020, 11, 5), false},
                      TemplateCase{"Outdated20150519", "pc_template.XLSX", QDate(2015, 5, 19), false},
                      TemplateCase{"Kept20201106", "pc_template.xlsx", QDate(2020, 11, 6), true},
                      TemplateCase{"Kept20201104", "pc_template.xlsx", QDate(2020, 11, 4), true},
                      TemplateCase{"Missing", "pc_template.xlsx", QDate(), false},
                      TemplateCase{"AnotherKindUntouched", "pc_template.xls", QDate(2020, 11, 5), false}),
    [](const ::testing::TestParamInfo<TemplateCase>& info) { return std::string(info.param.name); });

struct FailureCase
{
    const char* name;
    std::function<void(XlsxReportTest&)> arrange;
    QString message;
};

class XlsxReportFailureTest : public XlsxReportTest, public ::testing::WithParamInterface<FailureCase>
{
};

TEST_P(XlsxReportFailureTest, TellsWhyAndKeepsTheEarlierFile)
{
    temp.write(QStringLiteral("out.xlsx"), "the report of last month");
    GetParam().arrange(*this);
    EXPECT_FALSE(report.writeXlsxReport(out).ok());
    EXPECT_EQ(messages, QStringList{GetParam().message});
    EXPECT_EQ(output(), QByteArray("the report of last month"));
    EXPECT_FALSE(progress.open);
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, XlsxReportFailureTest,
    ::testing::Values(FailureCase{"CountSheetOfAnotherName",
                                  [](XlsxReportTest& t) {
                                      std::string workbook = partText(XlsxTemplate::builtIn(), "xl/workbook.xml");
                                      replaceAll(workbook, "name=\"人数カウント\"", "name=\"来館者\"");
                                      t.temp.write(QStringLiteral("pc_template.xlsx"),
                                                   withParts(XlsxTemplate::builtIn(), {{"xl/workbook.xml", workbook}}));
                                  },
                                  QStringLiteral("人数カウントシートが見つかりません!")},
                      FailureCase{"SettingNamesAnotherCountSheet",
                                  [](XlsxReportTest& t) {
                                      t.settings.countSheetName = QStringLiteral("来館者");
                                      t.report.setSettings(t.settings);
                                  },
                                  QStringLiteral("来館者シートが見つかりません!")}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

TEST_F(XlsxReportTest, AnOutputThatCannotBeCreatedIsReported)
{
    const QString unreachable = temp.file(QStringLiteral("no such folder/out.xlsx"));
    EXPECT_FALSE(report.writeXlsxReport(unreachable).ok());
    EXPECT_EQ(messages, QStringList{kCannotCreate});
    EXPECT_FALSE(QFile::exists(unreachable));
}

TEST_F(XlsxReportTest, ATemplateThatIsNoWorkbookIsNamedInTheMessage)
{
    temp.write(QStringLiteral("pc_template.xlsx"), "not a workbook");
    EXPECT_FALSE(report.writeXlsxReport(out).ok());
    EXPECT_EQ(messages,
              QStringList{settings.templatePath + QStringLiteral("\nXLSXテンプレートファイルを読み込めません!")});
    EXPECT_FALSE(QFile::exists(out));
    EXPECT_EQ(temp.read(QStringLiteral("pc_template.xlsx")), QByteArray("not a workbook"));
}

TEST_F(XlsxReportTest, ProgressRunsOverEightStepsPerDayRecordAndStaysTwoSeconds)
{
    ASSERT_TRUE(report.writeXlsxReport(out).ok());
    EXPECT_EQ(progress.captions, QStringList{QStringLiteral("XLSXファイルの書き込み中...")});
    EXPECT_EQ(progress.max, 8 * 3);
    ASSERT_FALSE(progress.positions.empty());
    EXPECT_EQ(progress.positions.front(), 0);
    EXPECT_EQ(progress.positions.back(), 8 * 3);
    EXPECT_TRUE(std::is_sorted(progress.positions.begin(), progress.positions.end()));
    EXPECT_FALSE(progress.open);
    EXPECT_EQ(host.enabledChanges, (std::vector<bool>{false, true}));
    EXPECT_GE(progress.waits, 200 - 1);

    // At shutdown (no connection check) the window is not held.
    host.checkRunning = false;
    host.enabledChanges.clear();
    ASSERT_TRUE(report.writeXlsxReport(out).ok());
    EXPECT_TRUE(host.enabledChanges.empty());
}

TEST_F(XlsxReportTest, TheCountSheetHoldsTheCountCsvLinesOfThePeriod)
{
    ASSERT_TRUE(report.writeXlsxReport(out).ok());
    XlsxBook book(output());
    const auto count = book.sheet("人数カウント");
    ASSERT_TRUE(count);
    // Bands 8..21 of gate 1, then of gate 4; the day after is outside the period.
    EXPECT_EQ(XlsxBook::value(*count, "B1"), "8");
    EXPECT_EQ(XlsxBook::value(*count, "B14"), "21");
    EXPECT_EQ(XlsxBook::value(*count, "E14"), "正面");
    EXPECT_EQ(XlsxBook::value(*count, "E15"), "裏口");
    EXPECT_EQ(XlsxBook::value(*count, "F15"), "1008");
    EXPECT_EQ(XlsxBook::value(*count, "H28"), "1221");
    EXPECT_FALSE(XlsxBook::cell(*count, "A29"));
    EXPECT_EQ(XlsxBook::value(*count, "K1"), "1");
    EXPECT_EQ(XlsxBook::value(*book.sheet("Sheet1"), "G102"), "7");
}

TEST_F(XlsxReportTest, ExportCountFileWritesTheWorkbookForAnXlsxName)
{
    CountReports reports(model, clock, progress, host, range);
    reports.setOptions(options);
    reports.setXlsxWriter(&report);
    ASSERT_TRUE(reports.ExportCountFile(temp.file(QStringLiteral("exit.XLSX"))).ok());
    EXPECT_TRUE(XlsxBook(temp.read(QStringLiteral("exit.XLSX"))).sheet("人数カウント"));
}

} // namespace
