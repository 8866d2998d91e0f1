#include "reports/CountReports.h"

#include "counting/CountModel.h"
#include "platform/Clock.h"
#include "platform/ProgressSink.h"
#include "platform/SafeFile.h"
#include "reports/CountCsvExport.h"
#include "reports/CountDatabaseImport.h"
#include "reports/CountDatabaseLines.h"
#include "reports/CountReportHost.h"
#include "reports/DayTables.h"
#include "reports/ProgressHold.h"
#include "reports/ReportDateRange.h"
#include "reports/XlsxReportWriter.h"

#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>

#include <algorithm>
#include <climits>

namespace {

Q_LOGGING_CATEGORY(lcReports, "wardale.reports")

ExportResult logged(const ExportResult& result, const QString& path)
{
    if (result.status == ExportResult::Status::Failed)
        qCWarning(lcReports) << "count export to" << path << "failed:" << result.error;
    return result;
}

} // namespace

CountReports::CountReports(CountModel& model, const Clock& clock, ProgressSink& progress, CountReportHost& host,
                           ReportDateRange& range)
    : m_model(model), m_clock(clock), m_progress(progress), m_host(host), m_range(range)
{
}

ExportResult CountReports::ExportCountCsv(int mode, const QString& path)
{
    CountCsvExport csv(m_model, m_options, m_range, m_extents, &m_progress);
    csv.setProgressPosition(m_progressPosition);
    const ExportResult result = csv.ExportCountCsv(mode, path);
    m_progressPosition = csv.progressPosition();
    m_columnText = csv.columnText();
    return logged(result, path);
}

ExportResult CountReports::ExportCountFile(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix();
    if (suffix.compare(QLatin1String("xlsx"), Qt::CaseInsensitive) == 0) {
        if (!m_xlsx)
            return {ExportResult::Status::XlsxNotAvailable, QString()};
        return logged(m_xlsx->writeXlsxReport(path), path);
    }
    if (suffix.compare(QLatin1String("csv"), Qt::CaseInsensitive) != 0)
        return {ExportResult::Status::NotAnExportName, QString()};

    const std::uint32_t start = m_clock.tickMs();
    const int records = DayTables::totalRecords(m_model);
    m_progress.ProgOpen(QStringLiteral("CSVファイルの書き込み中..."));
    m_progress.ProgMax(records);
    m_progress.ProgPosition(0);
    m_progressPosition = 0;
    m_extents.reset();
    const ExportResult result = ExportCountCsv(0, path);
    m_progress.ProgPosition(records);
    if (m_host.connectionCheckRunning())
        holdProgressWindow(m_clock, start, m_progress, m_host);
    m_progress.ProgClose();
    return result;
}

ExportResult CountReports::exportCountDatabase(const QString& path, bool limitToRange)
{
    const std::uint32_t start = m_clock.tickMs();
    const int records = DayTables::totalRecords(m_model);
    m_progress.ProgOpen(QStringLiteral("人数カウントデータベースエクスポート中..."));
    m_progress.ProgMax(records);
    m_progress.ProgPosition(0);
    int position = 0;
    const auto write = [&](QIODevice& file) {
        return CountDatabaseLines::write(m_model, limitToRange ? &m_range : nullptr, file,
                                         [&] { m_progress.ProgPosition(++position); });
    };
    QString error;
    const ExportResult result =
        SafeFile::replace(path, write, &error) ? ExportResult::written() : ExportResult::failed(error);
    m_progress.ProgPosition(records);
    holdProgressWindow(m_clock, start, m_progress, m_host);
    m_progress.ProgClose();
    return logged(result, path);
}

ImportResult CountReports::importCountDatabase(const QString& path)
{
    ImportResult result;
    const bool chosen = !path.isEmpty();
    bool opened = false;
    int size = 0;
    const std::uint32_t start = m_clock.tickMs();
    if (chosen) {
        m_progress.ProgOpen(QStringLiteral("人数カウントデータベースインポート中..."));
        QFile file(path);
        opened = file.open(QIODevice::ReadOnly);
        if (opened) {
            size = static_cast<int>(std::min<qint64>(file.size(), INT_MAX));
            m_progress.ProgMax(size);
            m_progress.ProgPosition(0);
            CountDatabaseImport import(m_model, m_host, &m_progress);
            result = import.read(file);
        } else {
            result.error = file.errorString();
            qCWarning(lcReports) << "count import of" << path << "failed:" << result.error;
        }
    }
    CountDatabaseImport::rebuildTodayEvents(m_model, m_clock.now());
    m_host.PageLabelSet();
    if (opened) {
        m_progress.ProgPosition(size);
        holdProgressWindow(m_clock, start, m_progress, m_host);
    }
    if (chosen)
        m_progress.ProgClose();
    m_host.requestLayoutPass();
    return result;
}
