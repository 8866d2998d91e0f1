#include "reports/ExitCsv.h"

#include "platform/DayNumber.h"
#include "platform/PathRules.h"
#include "reports/ReportDateRange.h"

#include <array>

namespace ExitCsv {

namespace {

struct Span
{
    int setting;
    int years;
    int months;
    int days;
};

// "終了時CSV出力範囲": how far back from today the period starts and how long it runs.
constexpr std::array<Span, 5> kSpans = {{
    {1, 2, 0, 0},
    {2, 1, 0, 0},
    {3, 0, 1, 0},
    {4, 0, 0, 7},
    {5, 0, 0, 1},
}};

QDate step(const QDate& date, const Span& span, int sign)
{
    return date.addYears(sign * span.years).addMonths(sign * span.months).addDays(sign * span.days);
}

} // namespace

void applyRange(ReportDateRange& range, double now, int setting)
{
    QDate first(2014, 1, 1);
    QDate last(2030, 1, 1);
    for (const Span& span : kSpans)
        if (span.setting == setting) {
            first = step(DayNumber::toDate(now), span, -1);
            last = step(first, span, +1);
        }
    range.first = DayNumber::fromDate(first);
    range.last = DayNumber::fromDate(last) + DayNumber::encodeTime(23, 59, 59);
}

Plan plan(bool exportAtExit, const QString& dialogFolder, const QString& fileName, bool shiftHeld)
{
    Plan result;
    result.write = exportAtExit;
    result.askForPath = exportAtExit && shiftHeld;
    result.path = PathRules::join(dialogFolder, fileName);
    return result;
}

} // namespace ExitCsv
