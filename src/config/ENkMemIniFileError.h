#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

// Base of the settings store's errors; message() is the text shown to a developer or a log.
class ENkMemIniFileError : public std::exception
{
public:
    explicit ENkMemIniFileError(const QString& message);
    const QString& message() const { return m_message; }
    const char* what() const noexcept override;

private:
    QString m_message;
    QByteArray m_what;
};
