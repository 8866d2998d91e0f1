#include "counting/CountEventFile.h"
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
    if (!CountEventFile::write(model, buffer))
        __builtin_trap();
    return buffer.data();
}

} // namespace

// Bytes as the event file: the loader takes them or refuses them without a fault; whatever it takes
// survives a rebuild of every gate and saves back to the same bytes after a second load.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Refused files are copied aside with a sync; a memory file system keeps the runs fast.
    static QTemporaryDir folder(QDir(QStringLiteral("/dev/shm")).exists()
                                    ? QStringLiteral("/dev/shm/wardale-fuzz-XXXXXX")
                                    : QDir::tempPath() + QStringLiteral("/wardale-fuzz-XXXXXX"));
    const QString path = folder.filePath(QLatin1String(CountFiles::kEventFileName));
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
    if (files.Read_PC_file().outcome == CountFileLoad::Outcome::Loaded) {
        if (model.eventCount() > 0 && std::isfinite(model.event(0).time))
            clock.setNow(model.event(0).time);
        for (int g = 0; g < CountModel::kGates; ++g)
            model.rebuildToday(g);

        const QByteArray first = saved(model);
        QByteArray copy = first;
        QBuffer again(&copy);
        again.open(QIODevice::ReadOnly);
        CountModel reloaded(clock);
        if (CountEventFile::read(again, reloaded).outcome != CountFileLoad::Outcome::Loaded || saved(reloaded) != first)
            __builtin_trap();
    }
    QFile::remove(path + QStringLiteral(".bad"));
    return 0;
}
