#include "gatecontrol/PingWorker.h"

#include <QCoreApplication>

PingWorker::PingWorker(const Clock& clock, int identifier)
    : m_identifier(identifier),
      m_echo(clock, static_cast<std::uint16_t>((QCoreApplication::applicationPid() << 4) + identifier))
{
}

void PingWorker::ping(const QString& host, int timeoutMs)
{
    TAsyncPingResult result;
    result.identifier = m_identifier;
    result.address = host;
    result.timeoutMs = timeoutMs;
    int elapsed = -1;
    result.errorCode = m_echo.echo(host, timeoutMs, elapsed);
    result.resultMs = elapsed;
    emit pinged(result);
}
