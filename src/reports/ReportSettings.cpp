#include "reports/ReportSettings.h"

#include "config/SettingsRecord.h"

namespace ReportSettings {

CountCsvOptions countCsv(const SettingsRecord& settings)
{
    CountCsvOptions options;
    options.startBand = settings.startBand;
    options.endBand = settings.endBand;
    for (int slot = 0; slot < CountCsvOptions::kGates; ++slot) {
        options.gateNames[slot] = settings.gates[slot].name;
        options.gateAddresses[slot] = settings.gates[slot].ipAddress;
    }
    return options;
}

XlsxReportSettings xlsx(const SettingsRecord& settings)
{
    XlsxReportSettings xlsx;
    xlsx.templatePath = settings.xlsxTemplate.resolved;
    xlsx.countSheetName = settings.countSheetName;
    xlsx.sheet1Name = settings.sheet1Name;
    xlsx.sheet2Name = settings.sheet2Name;
    xlsx.showWorkSheets = settings.xlsxShowWorkSheets;
    xlsx.showCountSheet = settings.xlsxShowCountSheet;
    return xlsx;
}

} // namespace ReportSettings
