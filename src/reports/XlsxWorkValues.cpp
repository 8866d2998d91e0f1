#include "reports/XlsxWorkValues.h"

#include "reports/ReportCalendar.h"
#include "reports/ReportExtents.h"

#include <QDate>

#include <algorithm>

namespace {

// The template's year rows hold the fiscal years 2014 .. 2040.
constexpr int kTemplateYears = 27;

} // namespace

XlsxWorkValues XlsxWorkValues::compute(const ReportExtents& extents, const QDate& first, const QDate& last)
{
    ReportExtents days = extents;
    // Without a single exported day the tables still need a year and a month length to point at.
    if (days.monthDays == 0) {
        days.add(first);
        days.add(last);
    }
    XlsxWorkValues v;
    v.G40 = ReportCalendar::fiscalMonthIndex(first.month());
    v.H40 = ReportCalendar::fiscalMonthIndex(last.month());
    v.G73 = first.day() - 1;
    v.H73 = last.day() - 1;
    v.I73 = days.monthDays;

    // Years outside the template's rows would make its ranges point below or above the year table.
    v.G102 = std::clamp(days.fiscalYearMin, 0, kTemplateYears - 1);
    v.H102 = std::clamp(days.fiscalYearMax - v.G102 + 1, 1, kTemplateYears - v.G102);

    const int t = last.month() + 12 * v.H102 - 1 - first.month();
    v.I40 = std::max(1, t >= 12 ? 12 : v.H40 - v.G40 + 1);
    v.J73 = v.I40 > 1 || last.day() == ReportCalendar::monthd(last.year(), last.month()) ? 1 : 0;
    return v;
}
