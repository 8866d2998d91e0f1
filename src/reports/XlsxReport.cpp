#include "reports/XlsxReport.h"

#include "counting/CountModel.h"
#include "platform/Clock.h"
#include "platform/DayNumber.h"
#include "platform/ProgressSink.h"
#include "platform/SafeFile.h"
#include "reports/CountCsvExport.h"
#include "reports/CountCsvOptions.h"
#include "reports/CountReportHost.h"
#include "reports/DayTables.h"
#include "reports/ProgressHold.h"
#include "reports/ReportDateRange.h"
#include "reports/ReportExtents.h"
#include "reports/XlsxFillData.h"
#include "reports/XlsxTemplate.h"
#include "reports/XlsxWorkbookFiller.h"

#include <QDate>
#include <QIODevice>

#include <algorithm>

namespace {

QString fillMessage(XlsxWorkbookFiller::Outcome outcome, const XlsxReportSettings& settings)
{
    switch (outcome) {
    case XlsxWorkbookFiller::Outcome::NoCountSheet:
        return settings.countSheetName + QStringLiteral("シートが見つかりません!");
    case XlsxWorkbookFiller::Outcome::TooManyRows:
        return QStringLiteral("出力するデータが多すぎます!\n出力範囲を狭めて下さい。");
    case XlsxWorkbookFiller::Outcome::NotAWorkbook:
        return settings.templatePath + QStringLiteral("\nXLSXテンプレートファイルを読み込めません!");
    case XlsxWorkbookFiller::Outcome::Ready:
        break;
    }
    return QString();
}

} // namespace

XlsxReport::XlsxReport(CountModel& model, const CountCsvOptions& options, const ReportDateRange& range,
                       const Clock& clock, ProgressSink& progress, CountReportHost& host, MessageSink message)
    : m_model(model), m_options(options), m_range(range), m_clock(clock), m_progress(progress), m_host(host),
      m_message(std::move(message))
{
}

ExportResult XlsxReport::writeXlsxReport(const QString& path)
{
    const XlsxTemplate::Loaded workbook = XlsxTemplate::load(m_settings.templatePath);
    if (!workbook.error.isEmpty()) {
        m_message(m_settings.templatePath + QStringLiteral("\nXLSXテンプレートファイルを読み込めません!"));
        return ExportResult::failed(QStringLiteral("template %1: %2").arg(m_settings.templatePath, workbook.error));
    }

    const std::uint32_t start = m_clock.tickMs();
    const int records = DayTables::totalRecords(m_model);
    const int progressEnd = 8 * records;
    m_progress.ProgOpen(QStringLiteral("XLSXファイルの書き込み中..."));
    m_progress.ProgMax(progressEnd);
    m_progress.ProgPosition(0);

    XlsxFillData data;
    data.countSheetName = m_settings.countSheetName;
    data.sheet1Name = m_settings.sheet1Name;
    data.sheet2Name = m_settings.sheet2Name;
    data.showWorkSheets = m_settings.showWorkSheets;
    data.showCountSheet = m_settings.showCountSheet;
    data.outputKind = m_range.outputKind;
    data.first = DayNumber::toDate(m_range.first);
    data.last = DayNumber::toDate(m_range.last);
    data.gateAddresses = m_options.gateAddresses;
    data.gateNames = m_options.gateNames;
    data.written = DayNumber::toDateTime(m_clock.now()).toSecsSinceEpoch();

    // The lines of the count CSV, one pass over the day records for all columns at once.
    ReportExtents extents;
    CountCsvExport csv(m_model, m_options, m_range, extents, &m_progress);
    csv.forEachLine([&](int gate, const DayCountRecord& record, const QDate& date, int band) {
        XlsxCountRow row;
        row.julianDay = date.toJulianDay();
        row.gate = static_cast<std::uint8_t>(gate);
        row.band = static_cast<std::uint8_t>(band);
        for (int aisle = 0; aisle < 3; ++aisle)
            row.aisles[aisle] = record.bands[aisle][band];
        data.rows.push_back(row);
    });
    data.values = XlsxWorkValues::compute(extents, data.first, data.last);

    XlsxWorkbookFiller filler(data);
    const XlsxWorkbookFiller::Outcome outcome = filler.prepare(workbook.bytes);
    ExportResult result = ExportResult::written();
    QString message = fillMessage(outcome, m_settings);
    if (outcome != XlsxWorkbookFiller::Outcome::Ready) {
        result = ExportResult::failed(filler.error());
    } else {
        const double rows = static_cast<double>(std::max<std::size_t>(data.rows.size(), 1));
        const auto progress = [&](std::size_t written) {
            m_progress.ProgPosition(records + static_cast<int>(7.0 * records * static_cast<double>(written) / rows));
        };
        QString error;
        const bool saved = SafeFile::replace(
            path, [&](QIODevice& file) { return filler.write(file, progress); }, &error);
        if (!saved) {
            result = ExportResult::failed(filler.error().isEmpty() ? error : filler.error());
            message =
                QStringLiteral("ファイルを作成することが出来ません!\n既にExcel等で開いている場合は閉じて下さい。");
        }
    }
    m_progress.ProgPosition(progressEnd);
    if (m_host.connectionCheckRunning())
        holdProgressWindow(m_clock, start, m_progress, m_host);
    m_progress.ProgClose();
    if (!message.isEmpty())
        m_message(message);
    return result;
}
