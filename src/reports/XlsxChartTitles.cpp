#include "reports/XlsxChartTitles.h"

#include "reports/XlsxWorkValues.h"

namespace {

// "4月" .. "3月" by fiscal-month index (Sheet1 E28:E39).
QString monthLabel(int fiscalMonth)
{
    return QStringLiteral("%1月").arg((fiscalMonth + 3) % 12 + 1);
}

// "1日" .. "31日" by day index (Sheet1 E42:E72).
QString dayLabel(int day)
{
    return QStringLiteral("%1日").arg(day + 1);
}

// The fiscal-year labels of Sheet1 C75:C101, index 0 for 2014: the year that began in April 2019 is
// still counted in the former era.
QString fiscalYearLabel(int index)
{
    const int year = 2014 + index;
    return year <= 2019 ? QStringLiteral("平成%1年度").arg(year - 1988) : QStringLiteral("令和%1年度").arg(year - 2018);
}

// TEXT(date, "gggge年") as a Japanese spreadsheet program writes it.
QString eraYear(const QDate& date)
{
    if (date >= QDate(2019, 5, 1))
        return QStringLiteral("令和%1年").arg(date.year() - 2018);
    return QStringLiteral("平成%1年").arg(date.year() - 1988);
}

// "first の" for a single item, "first から last までの" for a span (Sheet2 H37:I39).
QString span(const QString& first, const QString& last, bool single)
{
    return single ? first + QStringLiteral("の") : first + QStringLiteral("から") + last + QStringLiteral("までの");
}

} // namespace

std::array<QString, 5> XlsxChartTitles::compose(const XlsxWorkValues& v, const QDate& firstData, const QDate& lastData)
{
    // Sheet1 J40/K40, K73/L73, I102/J102, P102/Q102 and P40.
    const QString J40 = monthLabel(v.G40);
    const QString K40 = v.I40 <= 1 ? QString() : monthLabel(v.H40);
    const QString K73 = v.J73 == 1 ? QString() : dayLabel(v.G73);
    const QString L73 = v.I73 <= 1 || v.J73 == 1 ? QString() : dayLabel(v.H73);
    const QString I102 = fiscalYearLabel(v.G102);
    const QString J102 = v.H102 <= 1 ? QString() : fiscalYearLabel(v.G102 + v.H102 - 1);
    const QString P102 = eraYear(firstData);
    const QString Q102 = lastData.year() - firstData.year() + 1 <= 1 ? QString() : eraYear(lastData);
    const int P40 = v.G40 >= 9 ? v.G40 - 9 : v.G40 + 3;

    // Sheet2 H38, I37, I38, I39 and F40, F41.
    const QString H38 = span(I102, J102, J102.isEmpty());
    const QString I37 = span(P102 + J40, Q102 + K40, K40.isEmpty());
    const QString I38 = span(P102, Q102, Q102.isEmpty());
    const QString I39 =
        span(P102 + J40 + K73, Q102 + K40 + L73, L73.isEmpty() || (Q102.isEmpty() && K40.isEmpty() && K73 == L73));
    const QString F40 = K40.isEmpty() ? QStringLiteral("入館者数") : QStringLiteral("月別入館者数");
    const QString F41 = J102.isEmpty() ? QStringLiteral("入館者数") : QStringLiteral("年度別入館者数");

    const QString months = P40 == 0 && v.I40 == 12 ? I38 : I37;
    const QString prefix = v.J73 == 1 ? months : I39;
    return {prefix + QStringLiteral("時間帯別入館者数"), prefix + QStringLiteral("曜日別入館者数"),
            prefix + QStringLiteral("日別入館者数"), months + F40, H38 + F41};
}
