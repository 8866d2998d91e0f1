#pragma once

#include <QHostAddress>
#include <QString>

#include <optional>

// One HOST:PORT of the command line: an IPv4 literal, "localhost" or a bracketed IPv6 literal, and a port.
struct SimEndpoint
{
    QHostAddress address;
    quint16 port = 0;

    static std::optional<SimEndpoint> parse(const QString& text, QString* error);

    bool isLoopback() const { return address.isLoopback(); }
    QString toString() const;
};
