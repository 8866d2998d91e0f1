#pragma once

#include "reports/CountCsvOptions.h"
#include "reports/XlsxReportSettings.h"

struct SettingsRecord;

// What the count exports and the XLSX report take from the settings record.
namespace ReportSettings {

CountCsvOptions countCsv(const SettingsRecord& settings);
XlsxReportSettings xlsx(const SettingsRecord& settings);

} // namespace ReportSettings
