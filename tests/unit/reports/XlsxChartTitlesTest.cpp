#include "reports/XlsxChartTitles.h"
#include "reports/XlsxWorkValues.h"

#include <gtest/gtest.h>

namespace {

struct TitleCase
{
    const char* name;
    XlsxWorkValues values;
    QDate firstData;
    QDate lastData;
    std::array<const char*, 5> titles;
};

class XlsxChartTitlesTest : public ::testing::TestWithParam<TitleCase>
{
};

// The cases the template's own formulas are not recalculated for elsewhere: a calendar year (whole
// months from January, fiscal years spanned) and a fiscal year whose data cross the change of era.
TEST_P(XlsxChartTitlesTest, ComposesTheTitlesOfWorkSheet2)
{
    const TitleCase& c = GetParam();
    const std::array<QString, 5> titles = XlsxChartTitles::compose(c.values, c.firstData, c.lastData);
    for (std::size_t k = 0; k < titles.size(); ++k)
        EXPECT_EQ(titles[k], QString::fromUtf8(c.titles[k])) << "A" << 37 + k;
}

INSTANTIATE_TEST_SUITE_P(
    Periods, XlsxChartTitlesTest,
    ::testing::Values(TitleCase{"calendarYear",
                                {9, 8, 12, 0, 30, 31, 1, 6, 2},
                                QDate(2021, 1, 1),
                                QDate(2021, 12, 31),
                                {"令和3年の時間帯別入館者数", "令和3年の曜日別入館者数", "令和3年の日別入館者数",
                                 "令和3年の月別入館者数", "令和2年度から令和3年度までの年度別入館者数"}},
                      TitleCase{"eraChange",
                                {0, 11, 12, 0, 30, 31, 1, 5, 1},
                                QDate(2019, 4, 1),
                                QDate(2020, 3, 31),
                                {"平成31年4月から令和2年3月までの時間帯別入館者数",
                                 "平成31年4月から令和2年3月までの曜日別入館者数",
                                 "平成31年4月から令和2年3月までの日別入館者数",
                                 "平成31年4月から令和2年3月までの月別入館者数", "平成31年度の入館者数"}}),
    [](const ::testing::TestParamInfo<TitleCase>& info) { return std::string(info.param.name); });

} // namespace
