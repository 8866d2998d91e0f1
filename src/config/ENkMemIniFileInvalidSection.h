#pragma once

#include "config/ENkMemIniFileError.h"

// A write named a section that is empty after trimming.
class ENkMemIniFileInvalidSection final : public ENkMemIniFileError
{
public:
    using ENkMemIniFileError::ENkMemIniFileError;
};
