#include "ReportFakes.h"

#include "reports/CalenderModel.h"
#include "reports/ReportDateRange.h"

#include <gtest/gtest.h>

namespace {

using Side = CalenderModel::Side;
using Box = CalenderModel::Box;

class CalenderModelTest : public ::testing::Test
{
protected:
    void setToday(int year, int month, int dayOfMonth) { clock.setNow(day(year, month, dayOfMonth) + 0.4); }

    QDate date(double instant) const { return DayNumber::toDate(instant); }
    QString text(double instant) const { return DayNumber::formatDateTime(instant); }

    ManualClock clock{day(2021, 4, 20) + 0.4};
    CountModel model{clock};
    ReportDateRange range;
    CalenderModel calender{model, clock, range, 8, 21};
};

TEST_F(CalenderModelTest, WithoutDataTodayIsShownAndOkIsRefusedWithOneMove)
{
    calender.FormCreate();

    EXPECT_EQ(calender.yearItems(),
              (QStringList{QStringLiteral("2020年"), QStringLiteral("2021年"), QStringLiteral("2022年")}));
    EXPECT_EQ(calender.shownDate(Side::Start), QDate(2021, 4, 20));
    EXPECT_EQ(calender.shownDate(Side::End), QDate(2021, 4, 20));
    EXPECT_EQ(calender.yearIndex(Side::Start), 1);
    EXPECT_EQ(calender.periodText(),
              QStringLiteral("2021/04/20 8:00:00から2021/04/20 21:59:59までの人数カウントがファイルに出力されます。"));

    EXPECT_EQ(calender.NextButtonClick(300).top, 204);
    EXPECT_EQ(calender.NextButtonClick(204).top, 204);
    const CalenderModel::OkResult again = calender.NextButtonClick(204);
    EXPECT_FALSE(again.accepted);
    EXPECT_FALSE(range.confirmed);
    EXPECT_EQ(CalenderModel::noDataWarning(), QStringLiteral("指定された範囲内に人数カウントデータが存在しません!"));
    EXPECT_EQ(CalenderModel::caption(), QStringLiteral("出力範囲年月日の指定"));

    // The move stops at the top of the screen; the next opening may move again.
    calender.FormCreate();
    EXPECT_EQ(calender.NextButtonClick(50).top, 0);
}

TEST_F(CalenderModelTest, FirstOpeningCoversTheDataSpanAndLaterOnesKeepTheEditedRange)
{
    addDay(model, 14, day(2018, 6, 3));
    addDay(model, 3, day(2021, 4, 2));
    calender.FormCreate();

    EXPECT_EQ(calender.yearItems().first(), QStringLiteral("2017年"));
    EXPECT_EQ(calender.yearItems().last(), QStringLiteral("2022年"));
    EXPECT_EQ(text(range.first), QStringLiteral("2018/06/03 8:00:00"));
    EXPECT_EQ(text(range.last), QStringLiteral("2021/04/20 21:59:59"));
    EXPECT_EQ(calender.shownDate(Side::Start), QDate(2018, 6, 3));

    calender.StartYearBoxChange(3);
    calender.EndMonthBoxChange(4);
    EXPECT_EQ(text(range.first), QStringLiteral("2020/06/03 8:00:00"));
    EXPECT_EQ(text(range.last), QStringLiteral("2021/05/20 21:59:59"));

    // Closed without OK: the next opening shows the edited range, not the data span.
    CalenderModel next(model, clock, range, 8, 21);
    next.FormCreate();
    EXPECT_EQ(next.shownDate(Side::Start), QDate(2020, 6, 3));
    EXPECT_EQ(next.shownDate(Side::End), QDate(2021, 5, 20));
    EXPECT_EQ(next.mode(), CalenderModel::AnyRange);
}

TEST_F(CalenderModelTest, DailyModeOnADayWithDataConfirmsTodaysBands)
{
    addDay(model, 0, day(2021, 4, 20));
    addDay(model, 0, day(2019, 1, 1));
    range.outputKind = 3;
    range.confirmed = true;
    calender.FormCreate();
    EXPECT_FALSE(range.confirmed);

    calender.RadioButton1Click(CalenderModel::Daily);
    EXPECT_FALSE(calender.isEnabled(Box::EndYear));
    EXPECT_TRUE(calender.isEnabled(Box::StartDay));
    const CalenderModel::OkResult ok = calender.NextButtonClick(300);

    EXPECT_TRUE(ok.accepted);
    EXPECT_TRUE(range.confirmed);
    EXPECT_EQ(range.outputKind, 1);
    EXPECT_EQ(text(range.first), QStringLiteral("2021/04/20 8:00:00"));
    EXPECT_EQ(text(range.last), QStringLiteral("2021/04/20 21:59:59"));
}

TEST_F(CalenderModelTest, MonthlyModeCoversTheWholeMonth)
{
    setToday(2024, 2, 10);
    calender.FormCreate();
    calender.RadioButton1Click(CalenderModel::Monthly);

    EXPECT_EQ(text(range.first), QStringLiteral("2024/02/01 8:00:00"));
    EXPECT_EQ(text(range.last), QStringLiteral("2024/02/29 21:59:59"));
    EXPECT_FALSE(calender.isEnabled(Box::StartDay));
    EXPECT_EQ(calender.dayItems(Side::End).size(), 29);
    EXPECT_EQ(calender.dayItems(Side::End).last(), QStringLiteral("29日"));

    calender.StartMonthBoxChange(3);
    EXPECT_EQ(text(range.last), QStringLiteral("2024/04/30 21:59:59"));
}

TEST_F(CalenderModelTest, FiscalYearModeRunsTwelveMonthsFromTheStartMonth)
{
    addDay(model, 0, day(2021, 2, 10));
    setToday(2021, 3, 1);
    calender.FormCreate();
    ASSERT_EQ(date(range.first), QDate(2021, 2, 10));

    calender.RadioButton1Click(CalenderModel::FiscalYear);
    EXPECT_EQ(date(range.first), QDate(2020, 4, 1));
    EXPECT_EQ(date(range.last), QDate(2021, 3, 31));

    calender.StartMonthBoxChange(6);
    EXPECT_EQ(date(range.first), QDate(2020, 7, 1));
    EXPECT_EQ(date(range.last), QDate(2021, 6, 30));

    calender.StartMonthBoxChange(0);
    EXPECT_EQ(date(range.first), QDate(2020, 1, 1));
    EXPECT_EQ(date(range.last), QDate(2020, 12, 31));

    // With no next year in the list the end stays in the start year.
    calender.StartYearBoxChange(calender.yearItems().size() - 1);
    calender.StartMonthBoxChange(3);
    EXPECT_EQ(date(range.first), QDate(2022, 4, 1));
    EXPECT_EQ(date(range.last), QDate(2022, 3, 31));

    EXPECT_FALSE(calender.NextButtonClick(300).accepted);
    calender.StartYearBoxChange(0);
    const CalenderModel::OkResult ok = calender.NextButtonClick(300);
    EXPECT_TRUE(ok.accepted);
    EXPECT_EQ(range.outputKind, 3);
    EXPECT_EQ(text(range.first), QStringLiteral("2020/04/01 8:00:00"));
    EXPECT_EQ(text(range.last), QStringLiteral("2021/03/31 21:59:59"));
}

TEST_F(CalenderModelTest, MonthChangesKeepTheDayOrFallBackPerSide)
{
    calender.FormCreate();
    calender.StartMonthBoxChange(2);
    calender.StartDayBoxChange(30);
    calender.EndMonthBoxChange(2);
    calender.EndDayBoxChange(30);
    ASSERT_EQ(calender.shownDate(Side::Start), QDate(2021, 3, 31));
    ASSERT_EQ(calender.shownDate(Side::End), QDate(2021, 3, 31));

    calender.EndMonthBoxChange(3);
    EXPECT_EQ(calender.dayIndex(Side::End), 29);
    EXPECT_EQ(calender.dayItems(Side::End).size(), 30);
    calender.StartMonthBoxChange(3);
    EXPECT_EQ(calender.dayIndex(Side::Start), 0);
    EXPECT_EQ(date(range.first), QDate(2021, 4, 1));
    EXPECT_EQ(date(range.last), QDate(2021, 4, 30));

    // A day the month keeps stays; 29 February in a common year becomes the 28th.
    calender.StartDayBoxChange(14);
    calender.StartMonthBoxChange(4);
    EXPECT_EQ(calender.shownDate(Side::Start), QDate(2021, 5, 15));
    calender.EndYearBoxChange(2);
    calender.EndMonthBoxChange(1);
    calender.EndDayBoxChange(28);
    ASSERT_EQ(calender.shownDate(Side::End), QDate(2022, 2, 28));
    calender.EndYearBoxChange(0);
    calender.EndDayBoxChange(28);
    EXPECT_EQ(calender.shownDate(Side::End), QDate(2020, 2, 29));
    calender.EndYearBoxChange(1);
    EXPECT_EQ(calender.shownDate(Side::End), QDate(2021, 2, 28));
    EXPECT_EQ(date(range.last), QDate(2021, 2, 28));
}

TEST_F(CalenderModelTest, ReversedEndsAreExchangedAtOk)
{
    addDay(model, 14, day(2021, 4, 10));
    calender.FormCreate();
    calender.StartMonthBoxChange(3);
    calender.StartDayBoxChange(29);
    calender.EndMonthBoxChange(3);
    calender.EndDayBoxChange(4);
    ASSERT_GT(range.first, range.last);

    EXPECT_TRUE(calender.NextButtonClick(300).accepted);
    EXPECT_EQ(range.outputKind, 0);
    EXPECT_EQ(text(range.first), QStringLiteral("2021/04/05 8:00:00"));
    EXPECT_EQ(text(range.last), QStringLiteral("2021/04/30 21:59:59"));
}

TEST_F(CalenderModelTest, ModeDisablesBoxesAndIgnoresTheirChanges)
{
    calender.FormCreate();
    calender.RadioButton1Click(CalenderModel::Monthly);
    const QDate end = calender.shownDate(Side::End);
    calender.EndMonthBoxChange(0);
    calender.StartDayBoxChange(9);
    EXPECT_EQ(calender.shownDate(Side::End), end);
    EXPECT_EQ(calender.shownDate(Side::Start), QDate(2021, 4, 1));

    calender.RadioButton1Click(CalenderModel::AnyRange);
    for (Box box : {Box::StartYear, Box::StartMonth, Box::StartDay, Box::EndYear, Box::EndMonth, Box::EndDay})
        EXPECT_TRUE(calender.isEnabled(box));
    EXPECT_EQ(calender.shownDate(Side::End), end);
}

TEST_F(CalenderModelTest, AnInstantAtMidnightIsShownAsItsDateAlone)
{
    CalenderModel allDay(model, clock, range, 0, 23);
    allDay.FormCreate();
    EXPECT_EQ(allDay.periodText(),
              QStringLiteral("2021/04/20から2021/04/20 23:59:59までの人数カウントがファイルに出力されます。"));
}

} // namespace
