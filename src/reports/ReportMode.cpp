#include "reports/ReportMode.h"

#include "platform/DayNumber.h"
#include "platform/PathRules.h"
#include "reports/CountCsvExport.h"
#include "reports/CountCsvOptions.h"
#include "reports/ReportDateRange.h"
#include "reports/ReportExtents.h"
#include "reports/WindowlessProgress.h"
#include "reports/WindowlessReportHost.h"
#include "reports/XlsxReport.h"

#include <QFileInfo>
#include <QStringList>

namespace ReportMode {

namespace {

const QLatin1String kDateKey("DATE=");

bool isWorkbookName(const QString& path)
{
    return QFileInfo(path).suffix().compare(QLatin1String("xlsx"), Qt::CaseInsensitive) == 0;
}

// The XLSX report of the period, for any range (output kind 0).
void writeWorkbook(CountModel& model, const Arguments& arguments, ReportDateRange& range, Result& result)
{
    range.outputKind = 0;
    WindowlessProgress progress;
    WindowlessReportHost host;
    QStringList messages;
    XlsxReport report(model, arguments.countOptions, range, *arguments.clock, progress, host,
                      [&](const QString& text) { messages << text; });
    report.setSettings(arguments.workbook);
    const ExportResult written = report.writeXlsxReport(result.outputPath);
    result.ok = written.ok();
    if (!result.ok)
        result.error =
            QStringLiteral("cannot write %1: %2")
                .arg(result.outputPath, messages.isEmpty() ? written.error : messages.join(QLatin1Char(' ')));
}

} // namespace

bool isReportMode(const QString& firstArgument)
{
    return firstArgument.toUpper().contains(kDateKey);
}

std::optional<Period> parsePeriod(const QString& dateArgument)
{
    const QString upper = dateArgument.toUpper();
    const qsizetype key = upper.indexOf(kDateKey);
    const qsizetype dash = upper.indexOf(QLatin1Char('-'));
    if (key < 0 || dash < key + kDateKey.size())
        return std::nullopt;
    const qsizetype start = key + kDateKey.size();
    const auto first = DayNumber::parseDate(dateArgument.mid(start, dash - start));
    const auto last = DayNumber::parseDate(dateArgument.mid(dash + 1));
    if (!first || !last)
        return std::nullopt;
    return Period{*first, *last};
}

QString outputPath(const Arguments& arguments)
{
    const QString raw = arguments.outputArgument.trimmed();
    if (raw.isEmpty()) {
        QString folder = arguments.dialogFolder;
        if (folder.isEmpty())
            folder = arguments.documentsFolder.isEmpty() ? arguments.dataFolder : arguments.documentsFolder;
        return PathRules::join(folder, QString::fromUtf8(kDefaultFileName));
    }
    return PathRules::resolve(raw, arguments.dataFolder, arguments.documentsFolder);
}

Result run(CountModel& model, const Arguments& arguments, ReportDateRange& range)
{
    Result result;
    const QString dates = arguments.dateArgument.trimmed();
    const auto period = parsePeriod(dates);
    if (!period) {
        result.error =
            QStringLiteral("\"%1\" holds no readable period; expected DATE=yyyy/MM/dd-yyyy/MM/dd").arg(dates);
        return result;
    }
    range.first = DayNumber::fromDate(period->first);
    range.last = DayNumber::fromDate(period->last);
    result.outputPath = outputPath(arguments);
    if (arguments.clock && isWorkbookName(result.outputPath)) {
        writeWorkbook(model, arguments, range, result);
        return result;
    }
    CountCsvOptions options;
    options.reportMode = true;
    ReportExtents extents;
    CountCsvExport csv(model, options, range, extents, nullptr);
    const ExportResult written = csv.ExportCountCsv(0, result.outputPath);
    result.ok = written.ok();
    if (!result.ok)
        result.error = QStringLiteral("cannot append to %1: %2").arg(result.outputPath, written.error);
    return result;
}

} // namespace ReportMode
