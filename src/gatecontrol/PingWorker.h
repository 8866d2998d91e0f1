#pragma once

#include "gatecontrol/IcmpEcho.h"
#include "gatecontrol/TAsyncPingResult.h"

#include <QObject>

class Clock;

// The ping of one gate slot. Lives on its own thread, idle in that thread's event loop between
// pings; each result leaves through a signal that reaches the event-loop thread queued.
class PingWorker final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PingWorker)

public:
    PingWorker(const Clock& clock, int identifier);

    void ping(const QString& host, int timeoutMs);

signals:
    void pinged(const TAsyncPingResult& result);

private:
    const int m_identifier;
    IcmpEcho m_echo;
};
