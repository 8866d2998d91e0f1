#pragma once

#include "config/ENkMemIniFileError.h"

// The settings file could not be read or replaced; the file on disk is left as it was.
class ENkMemIniFileIOError final : public ENkMemIniFileError
{
public:
    using ENkMemIniFileError::ENkMemIniFileError;
};
