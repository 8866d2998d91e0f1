#pragma once

#include "config/ENkMemIniFileError.h"

// A key name to write is empty, holds "=" or begins with ";".
class ENkMemIniFileInvalidName final : public ENkMemIniFileError
{
public:
    using ENkMemIniFileError::ENkMemIniFileError;
};
