#include "ui/ProgramArguments.h"

#include "reports/ReportMode.h"

ProgramArguments ProgramArguments::parse(const QStringList& argv)
{
    ProgramArguments result;
    for (qsizetype i = 0; i < argv.size(); ++i) {
        if (argv[i] == QLatin1String("--data-dir") && i + 1 < argv.size()) {
            result.dataFolderOverride = argv[++i];
            continue;
        }
        if (argv[i].startsWith(QLatin1String("--data-dir="))) {
            result.dataFolderOverride = argv[i].mid(11);
            continue;
        }
        result.arguments << argv[i];
    }
    result.reportMode = !result.arguments.isEmpty() && ReportMode::isReportMode(result.arguments.first());
    return result;
}
