#pragma once

#include "config/ENkMemIniFileError.h"

// A value to write holds a line break, which the line-based file cannot carry.
class ENkMemIniFileInvalidValue final : public ENkMemIniFileError
{
public:
    using ENkMemIniFileError::ENkMemIniFileError;
};
