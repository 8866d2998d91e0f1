#pragma once

#include "config/TNkComment.h"
#include "config/TNkHashedStringList.h"

#include <QStringList>

// One section of the settings file: the comment above its header and its name=value items in file order.
struct TNkMemIniSection
{
    QStringList comment;
    TNkHashedStringList<TNkComment> keys{true};
};
