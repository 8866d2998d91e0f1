#pragma once

#include <QMetaType>
#include <QString>

// One ping of a gate slot as the worker hands it back.
struct TAsyncPingResult
{
    // Reported for an ICMP status of 11001..11004, so it stays apart from the resolver's codes.
    static constexpr int kIcmpStatusOffset = 0x20000000;
    static constexpr int kHostNotFound = 11001;
    static constexpr int kDestinationUnreachable = 11003;
    static constexpr int kTimedOut = 11010;

    int identifier = 0; // gate slot + 1
    QString address;
    int resultMs = -2; // -2 before the ping, -1 without a reply
    int timeoutMs = 0;
    int errorCode = 0; // 0: a reply arrived
};

Q_DECLARE_METATYPE(TAsyncPingResult)
