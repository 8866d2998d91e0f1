#pragma once

#include "reports/CountCsvOptions.h"
#include "reports/XlsxReportSettings.h"

#include <QDate>
#include <QString>

#include <optional>

class Clock;
class CountModel;
struct ReportDateRange;

// The command-line run "DATE=yyyy/MM/dd-yyyy/MM/dd [file]": appends the count database lines of that
// period to the file and ends, without a window. An output name ending in ".xlsx" gets the XLSX report of
// that period instead, as the menu writes it for any range.
namespace ReportMode {

inline constexpr const char* kDefaultFileName = "人数エクスポート.csv";

// The first argument, upper-cased, contains "DATE=".
bool isReportMode(const QString& firstArgument);

struct Arguments
{
    // A: the first argument (DATE=...); B: the second one, empty when not given.
    QString dateArgument;
    QString outputArgument;
    QString dataFolder;
    // Empty when the platform names no Documents folder.
    QString documentsFolder;
    // The initial folder of the save dialog (from "人数カウント出力フォルダ").
    QString dialogFolder;
    // For an .xlsx output: the report's settings, the gate texts and bands, and the clock.
    XlsxReportSettings workbook;
    CountCsvOptions countOptions;
    const Clock* clock = nullptr;
};

struct Period
{
    QDate first;
    QDate last;
};

// The two dates around the first "-" after "DATE=", each trimmed and read as yyyy/MM/dd.
std::optional<Period> parsePeriod(const QString& dateArgument);

// B trimmed; empty gives "人数エクスポート.csv" in the save dialog's folder (the Documents folder, then
// the data folder, when that is empty); otherwise the path rules: a full path as is, a value with a
// folder separator below the data folder, a bare name in the Documents folder.
QString outputPath(const Arguments& arguments);

struct Result
{
    bool ok = false;
    // Why nothing (or not everything) was written, for standard error.
    QString error;
    QString outputPath;
};

// Sets range to the period and appends its raw lines to the output file. An unreadable date writes
// nothing and returns the error.
Result run(CountModel& model, const Arguments& arguments, ReportDateRange& range);

} // namespace ReportMode
