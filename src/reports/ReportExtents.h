#pragma once

class QDate;

// What the XLSX report needs to know about the days a count CSV run wrote. The callers reset it
// before a run; every written day widens it.
struct ReportExtents
{
    int fiscalYearMax = 0;
    int fiscalYearMin = 99;
    int fiscalMonthMax = 0;
    int fiscalMonthMin = 11;
    // Longest month length among the written days.
    int monthDays = 0;

    void reset();
    void add(const QDate& day);

    bool operator==(const ReportExtents&) const = default;
};
