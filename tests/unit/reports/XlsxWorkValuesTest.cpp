#include "reports/XlsxWorkValues.h"
#include "reports/ReportExtents.h"

#include <QDate>

#include <gtest/gtest.h>

#include <vector>

namespace {

struct WorkValuesCase
{
    const char* name;
    QDate first;
    QDate last;
    // The days the count CSV run exported; empty for a period without data.
    std::vector<QDate> exported;
    XlsxWorkValues expected;
};

ReportExtents extentsOf(const std::vector<QDate>& days)
{
    ReportExtents extents;
    for (const QDate& day : days)
        extents.add(day);
    return extents;
}

class XlsxWorkValuesTest : public ::testing::TestWithParam<WorkValuesCase>
{
};

TEST_P(XlsxWorkValuesTest, PlacesThePeriodInTheTemplateTables)
{
    const WorkValuesCase& c = GetParam();
    const XlsxWorkValues v = XlsxWorkValues::compute(extentsOf(c.exported), c.first, c.last);
    EXPECT_EQ(v.G40, c.expected.G40);
    EXPECT_EQ(v.H40, c.expected.H40);
    EXPECT_EQ(v.I40, c.expected.I40);
    EXPECT_EQ(v.G73, c.expected.G73);
    EXPECT_EQ(v.H73, c.expected.H73);
    EXPECT_EQ(v.I73, c.expected.I73);
    EXPECT_EQ(v.J73, c.expected.J73);
    EXPECT_EQ(v.G102, c.expected.G102);
    EXPECT_EQ(v.H102, c.expected.H102);
}

//                              G40 H40 I40 G73 H73 I73 J73 G102 H102
INSTANTIATE_TEST_SUITE_P(
    Periods, XlsxWorkValuesTest,
    ::testing::Values(
        WorkValuesCase{"Day", QDate(2021, 4, 5), QDate(2021, 4, 5), {QDate(2021, 4, 5)}, {0, 0, 1, 4, 4, 30, 0, 7, 1}},
        WorkValuesCase{"FiscalYear",
                       QDate(2020, 4, 1),
                       QDate(2021, 3, 31),
                       {QDate(2020, 4, 1), QDate(2020, 12, 31), QDate(2021, 3, 31)},
                       {0, 11, 12, 0, 30, 31, 1, 6, 1}},
        // t = 6 + 12 - 1 - 4 = 13: the month count is 12.
        WorkValuesCase{"AnyRange",
                       QDate(2021, 4, 1),
                       QDate(2021, 6, 30),
                       {QDate(2021, 4, 1), QDate(2021, 5, 31), QDate(2021, 6, 30)},
                       {0, 2, 12, 0, 29, 31, 1, 7, 1}},
        WorkValuesCase{
            "Month", QDate(2021, 4, 1), QDate(2021, 4, 30), {QDate(2021, 4, 10)}, {0, 0, 1, 0, 29, 30, 1, 7, 1}},
        // Part of a month: not a whole month, the day labels name the first and last day.
        WorkValuesCase{"PartOfAMonth",
                       QDate(2021, 2, 3),
                       QDate(2021, 2, 20),
                       {QDate(2021, 2, 3)},
                       {10, 10, 1, 2, 19, 28, 0, 6, 1}},
        WorkValuesCase{"TwoFiscalYears",
                       QDate(2019, 4, 1),
                       QDate(2021, 3, 31),
                       {QDate(2019, 4, 1), QDate(2021, 3, 31)},
                       {0, 11, 12, 0, 30, 31, 1, 5, 2}},
        // Without exported days the period's own days place the tables (not fiscal year 99).
        WorkValuesCase{"NoExportedDay", QDate(2021, 4, 5), QDate(2021, 4, 5), {}, {0, 0, 1, 4, 4, 30, 0, 7, 1}},
        // Days before fiscal 2014 start the year table at its first row.
        WorkValuesCase{"BeforeTheFirstYear",
                       QDate(2013, 4, 1),
                       QDate(2015, 3, 31),
                       {QDate(2014, 4, 1)},
                       {0, 11, 12, 0, 30, 30, 1, 0, 1}},
        // Years beyond the template's last row keep the year range inside the table.
        WorkValuesCase{"BeyondTheLastYear",
                       QDate(2040, 4, 1),
                       QDate(2043, 3, 31),
                       {QDate(2040, 4, 1), QDate(2043, 3, 31)},
                       {0, 11, 12, 0, 30, 31, 1, 26, 1}}),
    [](const ::testing::TestParamInfo<WorkValuesCase>& info) { return std::string(info.param.name); });

} // namespace
