#pragma once

#include "reports/CountCsvOptions.h"
#include "reports/ExportResult.h"
#include "reports/ReportExtents.h"

#include <QString>

class Clock;
class CountModel;
class CountReportHost;
class ProgressSink;
class XlsxReportWriter;
struct ImportResult;
struct ReportDateRange;

// The count exports and the count database import as the main window runs them: file, progress
// window, minimum display and the refresh afterwards. The dialogs stay with the caller.
class CountReports final
{
public:
    CountReports(CountModel& model, const Clock& clock, ProgressSink& progress, CountReportHost& host,
                 ReportDateRange& range);

    void setOptions(const CountCsvOptions& options) { m_options = options; }
    // The LAN settings dialog gives a gate a new address during the run; the exports print the new one.
    void setGateAddress(int slot, const QString& address) { m_options.gateAddresses[slot] = address; }
    const CountCsvOptions& options() const { return m_options; }
    void setXlsxWriter(XlsxReportWriter* writer) { m_xlsx = writer; }
    // Gathered by the count CSV runs for the XLSX report.
    ReportExtents& extents() { return m_extents; }

    // Mode 0 writes the count CSV of the report date range to path; modes 1 to 8 build one column
    // (columnText()) for the XLSX report.
    ExportResult ExportCountCsv(int mode, const QString& path);
    const QString& columnText() const { return m_columnText; }
    // Position of the progress window after the last run: one step per day record visited, carried
    // over from run to run so that the XLSX report's column runs fill one bar.
    int progressPosition() const { return m_progressPosition; }
    void setProgressPosition(int position) { m_progressPosition = position; }

    // Writes the export the path's extension asks for: ".csv" the count CSV, ".xlsx" the XLSX report,
    // anything else nothing. A failed write keeps the file that was there.
    ExportResult ExportCountFile(const QString& path);

    // The count database export: every band of every day record, only the days of the report date
    // range when limitToRange is set.
    ExportResult exportCountDatabase(const QString& path, bool limitToRange);

    // The count database import of path (empty when the open dialog was cancelled), then the rebuild
    // of today's events, the page label and a full redraw of the gate pages.
    ImportResult importCountDatabase(const QString& path);

private:
    CountModel& m_model;
    const Clock& m_clock;
    ProgressSink& m_progress;
    CountReportHost& m_host;
    ReportDateRange& m_range;
    CountCsvOptions m_options;
    ReportExtents m_extents;
    XlsxReportWriter* m_xlsx = nullptr;
    QString m_columnText;
    int m_progressPosition = 0;
};
