#pragma once

#include <QString>

// What reading one count file came to; detail names the fault when the file was not taken.
struct CountFileLoad
{
    enum class Outcome
    {
        Loaded,
        Missing,
        // A version the reader does not take (0 or below, or below 1 for the day file).
        Ignored,
        // Unreadable, truncated, or counts beyond the tables' limits or the file's length.
        Damaged,
    };

    Outcome outcome = Outcome::Missing;
    QString detail;

    static CountFileLoad loaded() { return {Outcome::Loaded, {}}; }
    static CountFileLoad ignored(const QString& why) { return {Outcome::Ignored, why}; }
    static CountFileLoad damaged(const QString& why) { return {Outcome::Damaged, why}; }
};
