#include "gatelink/EepromLogFile.h"

#include "platform/Cp932Codec.h"
#include "platform/DayNumber.h"
#include "platform/PathRules.h"
#include "platform/SafeFile.h"

#include <QIODevice>

namespace EepromLogFile {

QString fileName(double now)
{
    return QStringLiteral("EEPROM_ERROR_LOG_") + DayNumber::toDateTime(now).toString(QStringLiteral("yyMMdd_hhmm")) +
           QStringLiteral(".txt");
}

bool WriteLinkLogFile(const QString& dataFolder, double now, const QStringList& lines)
{
    if (lines.isEmpty())
        return false;
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += Cp932Codec::encode(line) + "\r\n";
    return SafeFile::replace(
        PathRules::join(dataFolder, fileName(now)),
        [&bytes](QIODevice& file) { return file.write(bytes) == bytes.size(); }, nullptr);
}

} // namespace EepromLogFile
