#pragma once

#include <QString>

// Settings may come from a Windows installation, so stored paths keep their Windows form
// and are resolved here against this PC's folders.
namespace PathRules {

// True when the raw value already names a full path: a network path, a drive, or an absolute POSIX path.
bool isFullPath(const QString& raw);

// The three rules for path settings and the report output argument: full path as is; a value with a
// folder separator below the data folder; a bare file name in the Documents folder (the data folder when
// the Documents folder is unknown). Backslashes become slashes.
QString resolve(const QString& raw, const QString& dataFolder, const QString& documentsFolder);

// The start folder of the count file dialogs: empty stays empty, a full path is taken as is,
// anything else lies below the data folder.
QString outputFolder(const QString& raw, const QString& dataFolder);

// Joins a folder and a relative value with exactly one separator.
QString join(const QString& folder, const QString& relative);

QString toNative(const QString& path);

} // namespace PathRules
