#pragma once

#include <QString>

// Starts the ping of a gate slot; the result reaches PingCallback on the event-loop thread.
class PingService
{
public:
    virtual ~PingService() = default;
    // False when no ICMP facility is available; nothing is reported then.
    virtual bool ExecuteAsync(int identifier, const QString& host, int timeoutMs) = 0;
};
