#include "reports/ReportDateRange.h"

#include "reports/ReportCalendar.h"

bool ReportDateRange::covers(double date) const
{
    const auto day = ReportCalendar::recordDay(date);
    const auto from = ReportCalendar::recordDay(first);
    const auto to = ReportCalendar::recordDay(last);
    return day && from && to && *from <= *day && *day <= *to;
}
