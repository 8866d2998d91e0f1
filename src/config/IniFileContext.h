#pragma once

#include <QString>

class Clock;

// Where options.ini and the count files live, and the clock that says what day it is.
struct IniFileContext
{
    QString dataFolder;
    // Bare file names of path settings resolve here; empty when the platform names no Documents folder.
    QString documentsFolder;
    // Required: today's date and the last-save time when "pc_gate.dat" is missing.
    const Clock* clock = nullptr;
};
