#include "reports/ReportExtents.h"

#include "reports/ReportCalendar.h"

#include <QDate>

#include <algorithm>

void ReportExtents::reset()
{
    *this = ReportExtents{};
}

void ReportExtents::add(const QDate& day)
{
    const int fiscalYear = ReportCalendar::fiscalYearIndex(day);
    const int fiscalMonth = ReportCalendar::fiscalMonthIndex(day.month());
    fiscalYearMax = std::max(fiscalYearMax, fiscalYear);
    fiscalYearMin = std::min(fiscalYearMin, fiscalYear);
    fiscalMonthMax = std::max(fiscalMonthMax, fiscalMonth);
    fiscalMonthMin = std::min(fiscalMonthMin, fiscalMonth);
    monthDays = std::max(monthDays, ReportCalendar::monthd(day.year(), day.month()));
}
