#pragma once

#include <QDate>
#include <QString>

#include <array>

struct XlsxWorkValues;

// The five chart titles the template's work sheet 2 composes (A37 .. A41), composed here as well so that
// the charts carry them as their cached text: a spreadsheet program that shows a linked title from
// its cache alone would otherwise show the template's.
class XlsxChartTitles final
{
public:
    // The titles of "時間帯別", "曜日別", "日別", "月別" and "年度別"; firstData and lastData are the
    // earliest and latest day of the count rows written.
    static std::array<QString, 5> compose(const XlsxWorkValues& values, const QDate& firstData, const QDate& lastData);
};
