#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Whether gate connections may be opened now.
class NetworkReady final
{
public:
    // Returns the IPv4 addresses this PC's host name resolves to, in resolver order (empty on failure).
    using Resolver = std::function<QStringList()>;

    explicit NetworkReady(Resolver resolver = hostAddresses);

    // True when the host name resolves and its first address is not 127.0.0.1, or when every active
    // gate address is a loopback address (such gates need no LAN).
    bool check(const QStringList& activeGateAddresses) const;

    static QStringList hostAddresses();
    static bool isLoopback(const QString& address);

private:
    Resolver m_resolver;
};
