#pragma once

#include <QStringList>

// The comment lines that stood above one key of the settings file.
struct TNkComment
{
    QStringList comment;
};
