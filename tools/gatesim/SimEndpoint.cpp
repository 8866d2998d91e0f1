#include "gatesim/SimEndpoint.h"

std::optional<SimEndpoint> SimEndpoint::parse(const QString& text, QString* error)
{
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    if (colon <= 0) {
        *error = QStringLiteral("expected HOST:PORT, got \"%1\"").arg(text);
        return std::nullopt;
    }
    QString host = text.left(colon);
    const QString portText = text.mid(colon + 1);
    bool ok = false;
    const uint port = portText.toUInt(&ok);
    if (!ok || port > 65535) {
        *error = QStringLiteral("bad port in \"%1\"").arg(text);
        return std::nullopt;
    }
    if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')))
        host = host.mid(1, host.size() - 2);
    else if (host.contains(QLatin1Char(':')))
        host.clear(); // an IPv6 literal needs brackets
    if (host == QLatin1String("localhost"))
        host = QStringLiteral("127.0.0.1");

    SimEndpoint endpoint;
    if (host.isEmpty() || !endpoint.address.setAddress(host)) {
        *error = QStringLiteral("bad host in \"%1\" (an IP literal or localhost)").arg(text);
        return std::nullopt;
    }
    endpoint.port = static_cast<quint16>(port);
    return endpoint;
}

QString SimEndpoint::toString() const
{
    if (address.protocol() == QAbstractSocket::IPv6Protocol)
        return QStringLiteral("[%1]:%2").arg(address.toString()).arg(port);
    return QStringLiteral("%1:%2").arg(address.toString()).arg(port);
}
