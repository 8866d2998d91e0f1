#include "config/ENkMemIniFileError.h"

ENkMemIniFileError::ENkMemIniFileError(const QString& message) : m_message(message), m_what(message.toUtf8()) {}

const char* ENkMemIniFileError::what() const noexcept
{
    return m_what.constData();
}
