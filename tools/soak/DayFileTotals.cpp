#include "DayFileTotals.h"

#include "counting/CountDayFile.h"
#include "counting/CountFiles.h"
#include "counting/CountModel.h"
#include "platform/PathRules.h"
#include "platform/SystemClock.h"

#include <QFile>

bool DayFileTotals::read(const QString& dataFolder, Totals& totals, QString& error)
{
    QFile file(PathRules::join(dataFolder, QString::fromLatin1(CountFiles::kDayFileName)));
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
        return false;
    }
    CountModel model(SystemClock::instance());
    const CountFileLoad load = CountDayFile::read(file, model);
    if (load.outcome != CountFileLoad::Outcome::Loaded) {
        error = QStringLiteral("not loaded: ") + load.detail;
        return false;
    }
    for (int gate = 0; gate < kGates; ++gate) {
        qint64 sum = 0;
        for (int n = 0; n < model.dayRecordCount(gate); ++n)
            for (const auto& aisle : model.dayRecord(gate, n).bands)
                for (const std::int32_t band : aisle)
                    sum += band;
        totals[static_cast<std::size_t>(gate)] = sum;
    }
    return true;
}
