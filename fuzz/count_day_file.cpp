#include "counting/CountDayFile.h"
#include "counting/CountFiles.h"
#include "counting/CountModel.h"
#include "platform/ManualClock.h"

#include "FuzzInputFile.h"

#include <cmath>
#include <cstddef>
#include <cstdint>

// Bytes as the day file: the loader takes them, partly or wholly, or refuses them without a fault; every
// loaded day is found again by the halving search, today's rebuild works on the loaded tables, and the
// tables save back to the same bytes after a second load.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString folder = writeFuzzInputFile(CountFiles::kDayFileName, data, size);
    if (folder.isEmpty())
        return 0;

    ManualClock clock(44287.5);
    CountModel model(clock);
    CountFiles files(model, clock, folder);
    files.setLogSink([](const QString&) {});
    files.Read_DAY_file();

    for (int g = 0; g < CountModel::kGates; ++g) {
        for (int i = 0; i < model.dayRecordCount(g); ++i) {
            const double date = model.dayRecord(g, i).date;
            if (std::isnan(date))
                continue;
            const int found = model.FindDayRecord(g, date);
            if (found < 0 || std::floor(model.dayRecord(g, found).date) != std::floor(date))
                __builtin_trap();
        }
    }
    if (model.dayRecordCount(0) > 0 && std::isfinite(model.dayRecord(0, 0).date))
        clock.setNow(model.dayRecord(0, 0).date + 0.5);
    for (int g = 0; g < CountModel::kGates; ++g) {
        model.rebuildToday(g);
        model.sortDayRecords(g);
    }

    requireSaveRoundTrip<CountDayFile>(model, clock);
    QFile::remove(folder + QLatin1Char('/') + QLatin1String(CountFiles::kDayFileName) + QStringLiteral(".bad"));
    return 0;
}
