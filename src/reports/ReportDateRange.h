#pragma once

// The period a count export covers, kept for the whole run: set by report mode, by the exit export and
// by the date range dialog, read by the count CSV and the XLSX report.
struct ReportDateRange
{
    // First and last instant as day numbers (the time part carries the band hours).
    double first = 0.0;
    double last = 0.0;
    // Kind of the last confirmed period: 0 any range, 1 day, 2 month, 3 fiscal year.
    int outputKind = 0;
    // Set by a successful OK of the date range dialog; cleared whenever the dialog opens.
    bool confirmed = false;
    // Only the first opening in a run starts from the whole data span.
    bool firstOpeningDone = false;

    // True when the day of date lies between the days of first and last (times are ignored).
    bool covers(double date) const;
};
