#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

#include <optional>

// Date-times of the system: days since 1899-12-30 with the time of day as the fraction.
// Dates are written "yyyy/MM/dd" and times "H:mm:ss" everywhere.
namespace DayNumber {

inline constexpr const char* kDateFormat = "yyyy/MM/dd";
inline constexpr const char* kTimeFormat = "H:mm:ss";

QDate epoch();
double fromDate(const QDate& date);
double fromDateTime(const QDateTime& dateTime);
double fromDateAndTime(const QDate& date, const QTime& time);
QDate toDate(double dayNumber);
QTime toTime(double dayNumber);
QDateTime toDateTime(double dayNumber);
// Whole day part, correct for negative day numbers too.
int dayOf(double dayNumber);
double encodeTime(int hour, int minute, int second, int ms = 0);

QString formatDate(double dayNumber);
QString formatTime(double dayNumber);
QString formatDateTime(double dayNumber);
// Reads a date in the short date form; month and day may have one digit, blanks around it are ignored.
std::optional<QDate> parseDate(const QString& text);
// Reads a time of day "H:mm" or "H:mm:ss" into a day fraction.
std::optional<double> parseTime(const QString& text);

} // namespace DayNumber
