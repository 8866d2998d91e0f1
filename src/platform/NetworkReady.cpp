#include "platform/NetworkReady.h"

#include <QHostAddress>

#include <arpa/inet.h>
#include <netdb.h>
#include <unistd.h>

NetworkReady::NetworkReady(Resolver resolver) : m_resolver(std::move(resolver)) {}

bool NetworkReady::check(const QStringList& activeGateAddresses) const
{
    if (!activeGateAddresses.isEmpty()) {
        bool allLoopback = true;
        for (const QString& address : activeGateAddresses)
            allLoopback = allLoopback && isLoopback(address);
        if (allLoopback)
            return true;
    }
    const QStringList addresses = m_resolver();
    return !addresses.isEmpty() && addresses.first() != QLatin1String("127.0.0.1");
}

bool NetworkReady::isLoopback(const QString& address)
{
    QHostAddress host;
    if (!host.setAddress(address.trimmed()))
        return false;
    return host.protocol() == QAbstractSocket::IPv4Protocol && host.isLoopback();
}

QStringList NetworkReady::hostAddresses()
{
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0)
        return {};
    addrinfo hints{};
    hints.ai_family = AF_INET;
    addrinfo* result = nullptr;
    if (getaddrinfo(name, nullptr, &hints, &result) != 0)
        return {};
    QStringList addresses;
    for (addrinfo* entry = result; entry != nullptr; entry = entry->ai_next) {
        char text[INET_ADDRSTRLEN] = {};
        const auto* in = reinterpret_cast<const sockaddr_in*>(entry->ai_addr);
        if (inet_ntop(AF_INET, &in->sin_addr, text, sizeof text) != nullptr)
            addresses << QString::fromLatin1(text);
    }
    freeaddrinfo(result);
    return addresses;
}
