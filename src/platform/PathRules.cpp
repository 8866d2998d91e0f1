#include "platform/PathRules.h"

namespace PathRules {

bool isFullPath(const QString& raw)
{
    return raw.contains(QLatin1String("\\\\")) || raw.contains(QLatin1String(":\\")) || raw.startsWith(QLatin1Char('/'));
}

QString toNative(const QString& path)
{
    QString result = path;
    result.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return result;
}

QString join(const QString& folder, const QString& relative)
{
    QString base = toNative(folder);
    QString rest = toNative(relative);
    while (base.size() > 1 && base.endsWith(QLatin1Char('/')))
        base.chop(1);
    while (rest.startsWith(QLatin1Char('/')))
        rest.remove(0, 1);
    if (base.isEmpty())
        return rest;
    return base + QLatin1Char('/') + rest;
}

QString resolve(const QString& raw, const QString& dataFolder, const QString& documentsFolder)
{
    if (isFullPath(raw))
        return toNative(raw);
    if (raw.contains(QLatin1Char('\\')) || raw.contains(QLatin1Char('/')))
        return join(dataFolder, raw);
    return join(documentsFolder.isEmpty() ? dataFolder : documentsFolder, raw);
}

QString outputFolder(const QString& raw, const QString& dataFolder)
{
    const QString value = raw.trimmed();
    if (value.isEmpty())
        return QString();
    if (isFullPath(value))
        return toNative(value);
    return join(dataFolder, value);
}

} // namespace PathRules
