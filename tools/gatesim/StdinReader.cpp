#include "gatesim/StdinReader.h"

#include <unistd.h>

StdinReader::StdinReader(QObject* parent) : QObject(parent), m_notifier(STDIN_FILENO, QSocketNotifier::Read)
{
    connect(&m_notifier, &QSocketNotifier::activated, this, &StdinReader::onReadable);
}

void StdinReader::onReadable()
{
    char buffer[4096];
    const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (n > 0) {
        for (const QString& line : m_lines.feed(QByteArray(buffer, static_cast<qsizetype>(n))))
            emit lineReceived(line);
        return;
    }
    if (n < 0 && errno == EINTR)
        return;
    m_notifier.setEnabled(false);
    for (const QString& line : m_lines.finish())
        emit lineReceived(line);
    emit endOfInput();
}
