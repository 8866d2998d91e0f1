#include "counting/CountEventFile.h"
#include "counting/CountFiles.h"
#include "counting/CountModel.h"
#include "platform/ManualClock.h"

#include "FuzzInputFile.h"

#include <cmath>
#include <cstddef>
#include <cstdint>

// Bytes as the event file: the loader takes them or refuses them without a fault; whatever it takes
// survives a rebuild of every gate and saves back to the same bytes after a second load.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString folder = writeFuzzInputFile(CountFiles::kEventFileName, data, size);
    if (folder.isEmpty())
        return 0;

    ManualClock clock(44287.5);
    CountModel model(clock);
    CountFiles files(model, clock, folder);
    files.setLogSink([](const QString&) {});
    if (files.Read_PC_file().outcome == CountFileLoad::Outcome::Loaded) {
        if (model.eventCount() > 0 && std::isfinite(model.event(0).time))
            clock.setNow(model.event(0).time);
        for (int g = 0; g < CountModel::kGates; ++g)
            model.rebuildToday(g);

        requireSaveRoundTrip<CountEventFile>(model, clock);
    }
    QFile::remove(folder + QLatin1Char('/') + QLatin1String(CountFiles::kEventFileName) + QStringLiteral(".bad"));
    return 0;
}
