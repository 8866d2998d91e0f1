#pragma once

class QDate;
struct ReportExtents;

// The nine cells of work sheet 1 that place the report's period in the template's tables: months
// (row 40), days of the month (row 73) and fiscal years (row 102).
struct XlsxWorkValues
{
    int G40 = 0;  // fiscal-month index of the first day, April 0 .. March 11
    int H40 = 0;  // fiscal-month index of the last day
    int I40 = 1;  // month count
    int G73 = 0;  // day of month of the first day - 1
    int H73 = 0;  // day of month of the last day - 1
    int I73 = 0;  // longest month among the exported days
    int J73 = 0;  // 1 for whole months
    int G102 = 0; // first fiscal-year index
    int H102 = 1; // fiscal-year count

    // From the extents the count CSV run gathered and the first and last day of the report period.
    // A period without exported days takes its extents from its own first and last day.
    static XlsxWorkValues compute(const ReportExtents& extents, const QDate& first, const QDate& last);

    bool operator==(const XlsxWorkValues&) const = default;
};
