#pragma once

#include "reports/XlsxReportSettings.h"
#include "reports/XlsxReportWriter.h"

#include <functional>

class Clock;
class CountModel;
class CountReportHost;
class ProgressSink;
struct CountCsvOptions;
struct ReportDateRange;

// The XLSX report: the count CSV lines of the report date range and the period's cells filled into a
// copy of the template, saved under the chosen name in one step.
class XlsxReport final : public XlsxReportWriter
{
public:
    // Tells the operator why no workbook was written (a message box titled with the application
    // title; the error output in report mode).
    using MessageSink = std::function<void(const QString& text)>;

    XlsxReport(CountModel& model, const CountCsvOptions& options, const ReportDateRange& range, const Clock& clock,
               ProgressSink& progress, CountReportHost& host, MessageSink message);

    void setSettings(const XlsxReportSettings& settings) { m_settings = settings; }
    const XlsxReportSettings& settings() const { return m_settings; }

    ExportResult writeXlsxReport(const QString& path) override;

private:
    CountModel& m_model;
    const CountCsvOptions& m_options;
    const ReportDateRange& m_range;
    const Clock& m_clock;
    ProgressSink& m_progress;
    CountReportHost& m_host;
    MessageSink m_message;
    XlsxReportSettings m_settings;
};
