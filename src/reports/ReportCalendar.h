#pragma once

#include <QDate>
#include <QString>

#include <optional>

// Calendar rules shared by the count CSV, the date range dialog and the XLSX report.
namespace ReportCalendar {

// Days of the month in the Gregorian calendar; 0 for a month outside 1..12.
int monthd(int year, int month);

// "日" .. "土" for the weekday of date; also by QDate::dayOfWeek() (Monday 1 .. Sunday 7).
QString dayOfWeekName(const QDate& date);
QString dayOfWeekName(int dayOfWeek);

// Fiscal year April..March: year - 2014, one less for January to March (April 2014 = 0).
int fiscalYearIndex(const QDate& date);
// April = 0 .. March = 11.
int fiscalMonthIndex(int month);

// The whole day of a stored date, or nothing when the stored value is no calendar day of the years
// 1..9999 (a damaged day file may hold any bit pattern).
std::optional<int> recordDay(double date);
std::optional<QDate> recordDate(double date);

} // namespace ReportCalendar
