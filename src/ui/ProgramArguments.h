#pragma once

#include <QString>
#include <QStringList>

// The command line of the program: report mode and the data-folder override.
struct ProgramArguments
{
    QStringList arguments;
    QString dataFolderOverride;
    bool reportMode = false;

    // argv without the program name; "--data-dir DIR" may stand anywhere and is removed.
    static ProgramArguments parse(const QStringList& argv);
};
