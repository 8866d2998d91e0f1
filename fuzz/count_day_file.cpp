#include "counting/CountDayFile.h"
#include "counting/CountFiles.h"
#include "counting/CountModel.h"
#include "platform/ManualClock.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cmath>
#include <cstddef>
#include <cstdint>

namespace {

QByteArray saved(const CountModel& model)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!CountDayFile::write(model, buffer))
        __builtin_trap();
    return buffer.data();
}

} // namespace

// Bytes as the day file: the loader takes them, partly or wholly, or refuses them without a fault; every
// loaded day is found again by the halving search, today's rebuild works on the loaded tables, and the
// tables save back to the same bytes after a second load.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Refused files are copied aside with a sync; a memory file system keeps the runs fast.
    static QTemporaryDir folder(QDir(QStringLiteral("/dev/shm")).exists()
                                    ? QStringLiteral("/dev/shm/wardale-fuzz-XXXXXX")
                                    : QDir::tempPath() + QStringLiteral("/wardale-fuzz-XXXXXX"));
    const QString path = folder.filePath(QLatin1String(CountFiles::kDayFileName));
    {
        // A fresh file each run: rewriting one in place makes the file system flush it on close.
        QFile::remove(path);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return 0;
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }

    ManualClock clock(44287.5);
    CountModel model(clock);
    CountFiles files(model, clock, folder.path());
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

    const QByteArray first = saved(model);
    QByteArray copy = first;
    QBuffer again(&copy);
    again.open(QIODevice::ReadOnly);
    CountModel reloaded(clock);
    if (CountDayFile::read(again, reloaded).outcome != CountFileLoad::Outcome::Loaded || saved(reloaded) != first)
        __builtin_trap();
    QFile::remove(path + QStringLiteral(".bad"));
    return 0;
}
