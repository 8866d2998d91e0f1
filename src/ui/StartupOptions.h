#pragma once

#include "platform/NetworkReady.h"

#include <QString>
#include <QStringList>

#include <functional>

class Clock;
class MainFormPrompts;
class MainFormSubsystems;

// What program entry hands to the main window; tests fill it with their own folders and fakes.
struct StartupOptions
{
    // Command-line arguments after the program name, without the --data-dir option.
    QStringList arguments;
    bool reportMode = false;
    // Folder of the executable; options.ini lives here when it is writable.
    QString programFolder;
    // --data-dir: replaces the data-folder rule for demos and tests.
    QString dataFolderOverride;
    // The user's Documents folder; empty asks the platform.
    QString documentsFolder;
    const Clock* clock = nullptr;
    // Whether gate connections may open now, given the addresses of the active gates.
    std::function<bool(const QStringList&)> networkReady = [](const QStringList& addresses) {
        return NetworkReady().check(addresses);
    };
    MainFormSubsystems* subsystems = nullptr;
    MainFormPrompts* prompts = nullptr;
};
