#include "platform/DataFolder.h"

#include "platform/PathRules.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace DataFolder {

bool isWritable(const QString& folder)
{
    QFile probe(PathRules::join(folder, QStringLiteral("test.dat")));
    if (!probe.open(QIODevice::WriteOnly) && !probe.open(QIODevice::ReadWrite))
        return false;
    const bool written = probe.write("\0\0\0\0", 4) == 4;
    probe.close();
    const bool removed = probe.remove();
    return written && removed;
}

QString locate(const QString& programFolder, const QString& appDataEnv, const QString& genericDataFolder)
{
    if (!programFolder.isEmpty() && isWritable(programFolder))
        return PathRules::toNative(programFolder);
    const QString base = appDataEnv.isEmpty() ? genericDataFolder : appDataEnv;
    const QString folder = PathRules::join(base, QStringLiteral("VELOKA/WardaleTool"));
    QDir().mkpath(folder);
    return folder;
}

QString documentsFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

} // namespace DataFolder
