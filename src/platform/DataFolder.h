#pragma once

#include <QString>

// Where options.ini and the count files live.
namespace DataFolder {

// True when a 4-byte "test.dat" can be created, written and deleted in folder.
bool isWritable(const QString& folder);

// The program's folder when writable, else $APPDATA/VELOKA/WardaleTool, else the generic data
// location + /VELOKA/WardaleTool; the fallback folder is created with its parents.
QString locate(const QString& programFolder, const QString& appDataEnv, const QString& genericDataFolder);

// The user's Documents folder, or empty when the platform cannot name one.
QString documentsFolder();

} // namespace DataFolder
