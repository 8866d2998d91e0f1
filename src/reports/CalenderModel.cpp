#include "reports/CalenderModel.h"

#include "counting/CountModel.h"
#include "platform/Clock.h"
#include "platform/DayNumber.h"
#include "reports/DayTables.h"
#include "reports/ReportCalendar.h"
#include "reports/ReportDateRange.h"

#include <QTime>

#include <algorithm>
#include <utility>

namespace {

constexpr int kLowestYear = 1;
constexpr int kHighestYear = 9999;

QDate dateOf(int year, int month, int day)
{
    return QDate(year, month, std::min(day, ReportCalendar::monthd(year, month)));
}

// Date-time text of the period: an instant at exactly 0:00:00 is shown as its date alone.
QString instantText(double instant)
{
    if (DayNumber::toTime(instant) == QTime(0, 0))
        return DayNumber::formatDate(instant);
    return DayNumber::formatDateTime(instant);
}

} // namespace

CalenderModel::CalenderModel(const CountModel& model, const Clock& clock, ReportDateRange& range, int startBand,
                             int endBand)
    : m_model(model), m_clock(clock), m_range(range), m_startBand(std::clamp(startBand, 0, 23)),
      m_endBand(std::clamp(endBand, 0, 23))
{
}

QString CalenderModel::caption()
{
    return QStringLiteral("出力範囲年月日の指定");
}

QString CalenderModel::noDataWarning()
{
    return QStringLiteral("指定された範囲内に人数カウントデータが存在しません!");
}

double CalenderModel::firstInstant(int day) const
{
    return day + DayNumber::encodeTime(m_startBand, 0, 0);
}

double CalenderModel::lastInstant(int day) const
{
    return day + DayNumber::encodeTime(m_endBand, 59, 59);
}

void CalenderModel::FormCreate()
{
    m_range.confirmed = false;
    m_moved = false;
    m_mode = AnyRange;

    const int today = DayNumber::dayOf(m_clock.now());
    int lo = today;
    int hi = today;
    for (int gate = 0; gate < CountModel::kGates; ++gate)
        for (int n = 0; n < m_model.dayRecordCount(gate); ++n)
            if (const auto day = ReportCalendar::recordDay(m_model.dayRecord(gate, n).date)) {
                lo = std::min(lo, *day);
                hi = std::max(hi, *day);
            }

    m_firstYear = std::max(kLowestYear, DayNumber::epoch().addDays(lo).year() - 1);
    const int lastYear = std::min(kHighestYear, DayNumber::epoch().addDays(hi).year() + 1);
    m_yearItems.clear();
    for (int year = m_firstYear; year <= lastYear; ++year)
        m_yearItems << QString::number(year) + QStringLiteral("年");

    if (!m_range.firstOpeningDone) {
        m_range.first = firstInstant(lo);
        m_range.last = lastInstant(hi);
        m_range.firstOpeningDone = true;
    }
    const QDate todayDate = DayNumber::epoch().addDays(today);
    show(m_start, ReportCalendar::recordDate(m_range.first).value_or(todayDate), true);
    show(m_end, ReportCalendar::recordDate(m_range.last).value_or(todayDate), true);
}

bool CalenderModel::hasYear(int year) const
{
    return year >= m_firstYear && year < m_firstYear + m_yearItems.size();
}

void CalenderModel::show(Ends& ends, const QDate& date, bool firstWhenMissing)
{
    if (hasYear(date.year()))
        ends.year = date.year();
    else if (firstWhenMissing)
        ends.year = m_firstYear;
    ends.month = date.month();
    ends.day = std::min(date.day(), ReportCalendar::monthd(ends.year, ends.month));
}

bool CalenderModel::isEnabled(Box box) const
{
    switch (box) {
    case Box::StartYear:
    case Box::StartMonth:
        return true;
    case Box::StartDay:
        return m_mode == AnyRange || m_mode == Daily;
    default:
        return m_mode == AnyRange;
    }
}

void CalenderModel::changeYear(Side side, Box box, int index)
{
    if (!isEnabled(box) || index < 0 || index >= m_yearItems.size())
        return;
    Ends& e = ends(side);
    e.year = m_firstYear + index;
    // The day stays; a 29 February that the new year lacks becomes the 28th.
    e.day = std::min(e.day, ReportCalendar::monthd(e.year, e.month));
    applyChange();
}

void CalenderModel::changeMonth(Side side, Box box, int index, bool lastDayWhenMissing)
{
    if (!isEnabled(box) || index < 0 || index >= 12)
        return;
    Ends& e = ends(side);
    e.month = index + 1;
    const int length = ReportCalendar::monthd(e.year, e.month);
    if (e.day > length)
        e.day = lastDayWhenMissing ? length : 1;
    applyChange();
}

void CalenderModel::changeDay(Side side, Box box, int index)
{
    Ends& e = ends(side);
    if (!isEnabled(box) || index < 0)
        return;
    e.day = std::min(index + 1, ReportCalendar::monthd(e.year, e.month));
    applyChange();
}

void CalenderModel::StartYearBoxChange(int index)
{
    changeYear(Side::Start, Box::StartYear, index);
}

void CalenderModel::StartMonthBoxChange(int index)
{
    changeMonth(Side::Start, Box::StartMonth, index, false);
}

void CalenderModel::StartDayBoxChange(int index)
{
    changeDay(Side::Start, Box::StartDay, index);
}

void CalenderModel::EndYearBoxChange(int index)
{
    changeYear(Side::End, Box::EndYear, index);
}

void CalenderModel::EndMonthBoxChange(int index)
{
    changeMonth(Side::End, Box::EndMonth, index, true);
}

void CalenderModel::EndDayBoxChange(int index)
{
    changeDay(Side::End, Box::EndDay, index);
}

void CalenderModel::applyModeRule()
{
    switch (m_mode) {
    case Daily:
        m_end = m_start;
        break;
    case Monthly:
        m_end.year = m_start.year;
        m_end.month = m_start.month;
        m_end.day = ReportCalendar::monthd(m_end.year, m_end.month);
        break;
    case FiscalYear:
        // Twelve months from the start month: January runs to December of its year, any other month
        // to the month before it in the next year.
        if (m_start.month == 1) {
            m_end.year = m_start.year;
            m_end.month = 12;
        } else {
            m_end.year = hasYear(m_start.year + 1) ? m_start.year + 1 : m_start.year;
            m_end.month = m_start.month - 1;
        }
        m_end.day = ReportCalendar::monthd(m_end.year, m_end.month);
        break;
    default:
        break;
    }
}

void CalenderModel::applyChange()
{
    applyModeRule();
    m_range.first = firstInstant(DayNumber::epoch().daysTo(shownDate(Side::Start)));
    m_range.last = lastInstant(DayNumber::epoch().daysTo(shownDate(Side::End)));
}

void CalenderModel::RadioButton1Click(int mode)
{
    if (mode < AnyRange || mode > FiscalYear)
        return;
    m_mode = mode;
    const QDate today = DayNumber::toDate(m_clock.now());
    switch (m_mode) {
    case Daily:
        show(m_start, today, false);
        show(m_end, today, false);
        break;
    case Monthly:
        show(m_start, QDate(today.year(), today.month(), 1), false);
        show(m_end, dateOf(today.year(), today.month(), 31), false);
        break;
    case FiscalYear: {
        // The fiscal year (April to March) that holds the current first instant.
        const QDate first = ReportCalendar::recordDate(m_range.first).value_or(today);
        const int fiscalYear = first.month() <= 3 ? first.year() - 1 : first.year();
        show(m_start, QDate(fiscalYear, 4, 1), false);
        show(m_end, QDate(fiscalYear + 1, 3, 31), false);
        break;
    }
    default:
        break;
    }
    applyChange();
}

CalenderModel::OkResult CalenderModel::NextButtonClick(int top)
{
    applyChange();
    if (m_range.first > m_range.last)
        std::swap(m_range.first, m_range.last);
    const int fromDay = DayNumber::dayOf(m_range.first);
    const int toDay = DayNumber::dayOf(m_range.last);

    OkResult result;
    result.top = top;
    if (DayTables::hasDataBetween(m_model, fromDay, toDay)) {
        m_range.outputKind = m_mode;
        m_range.first = firstInstant(fromDay);
        m_range.last = lastInstant(toDay);
        m_range.confirmed = true;
        result.accepted = true;
        return result;
    }
    if (!m_moved) {
        result.top = std::max(0, top - kRefusalMove);
        m_moved = true;
    }
    return result;
}

QStringList CalenderModel::monthItems()
{
    QStringList items;
    for (int month = 1; month <= 12; ++month)
        items << QString::number(month) + QStringLiteral("月");
    return items;
}

QStringList CalenderModel::dayItems(Side side) const
{
    const Ends& e = ends(side);
    QStringList items;
    for (int day = 1; day <= ReportCalendar::monthd(e.year, e.month); ++day)
        items << QString::number(day) + QStringLiteral("日");
    return items;
}

int CalenderModel::yearIndex(Side side) const
{
    return ends(side).year - m_firstYear;
}

int CalenderModel::monthIndex(Side side) const
{
    return ends(side).month - 1;
}

int CalenderModel::dayIndex(Side side) const
{
    return ends(side).day - 1;
}

QDate CalenderModel::shownDate(Side side) const
{
    const Ends& e = ends(side);
    return dateOf(e.year, e.month, e.day);
}

QString CalenderModel::periodText() const
{
    return instantText(m_range.first) + QStringLiteral("から") + instantText(m_range.last) +
           QStringLiteral("までの人数カウントがファイルに出力されます。");
}
