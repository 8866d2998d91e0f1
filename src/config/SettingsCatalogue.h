#pragma once

#include "config/IniFileContext.h"
#include "config/IniFileHost.h"
#include "config/SettingsRecord.h"

#include <QString>

// Moves options.ini in the data folder to and from the settings record.

// Once while the main window is created: writes the default file when options.ini is missing, reads
// every key with its default and normalisation, builds the gate pages through host.ComponentInit, applies
// the window geometry and loads the count files. A settings file that cannot be read gives the defaults;
// the pages and the count files are set up all the same.
void ReadIniFile(SettingsRecord& settings, const IniFileContext& context, IniFileHost& host);

// Once while the main window closes: writes the settings back into options.ini, keeping the comments
// and the keys the program does not write, and saves the count files. When the settings cannot be
// written the file stays as it was (a warning is logged); the count files are saved in any case.
// The record takes the window geometry written and the re-normalised bands.
void WriteIniFile(SettingsRecord& settings, const IniFileContext& context, IniFileHost& host);

// The file a first start runs with (CP932, CR LF after every line); false when it could not be saved.
bool WriteDefaultIniFile(const QString& path);
