#pragma once

#include <QString>
#include <QStringList>

// The EEPROM watch's log file in the data folder: the whole shared link log at one moment.
namespace EepromLogFile {

// "EEPROM_ERROR_LOG_yymmdd_hhnn.txt" for the local time now (a day number).
QString fileName(double now);

// Writes lines, each ended by CR LF, in CP932, replacing a file of the same name in one step. Nothing is
// written when lines is empty. A failure leaves no partial file and is only reported by the result: the
// watch goes on without its file.
bool WriteLinkLogFile(const QString& dataFolder, double now, const QStringList& lines);

} // namespace EepromLogFile
