#include "gatesim/ControlServer.h"

#include "gatesim/LineSplitter.h"

#include <QTcpSocket>

#include <memory>

ControlServer::ControlServer(Handler handler, QObject* parent) : QObject(parent), m_handler(std::move(handler))
{
    connect(&m_server, &QTcpServer::newConnection, this, &ControlServer::onNewConnection);
}

bool ControlServer::listen(const SimEndpoint& endpoint, QString* error)
{
    if (!m_server.listen(endpoint.address, endpoint.port)) {
        *error = QStringLiteral("cannot listen on %1: %2").arg(endpoint.toString(), m_server.errorString());
        return false;
    }
    return true;
}

SimEndpoint ControlServer::address() const
{
    return SimEndpoint{m_server.serverAddress(), m_server.serverPort()};
}

void ControlServer::onNewConnection()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        socket->setParent(this);
        if (m_clients >= kMaxClients) {
            socket->write("error too many control connections\n");
            socket->disconnectFromHost();
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            continue;
        }
        ++m_clients;
        auto lines = std::make_shared<LineSplitter>();
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, lines] {
            for (const QString& line : lines->feed(socket->readAll())) {
                const QString reply = m_handler(line);
                if (!reply.isEmpty()) {
                    // Out at once: after "quit" the event loop may not come round to it again.
                    socket->write((reply + QLatin1Char('\n')).toUtf8());
                    socket->flush();
                }
            }
        });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            --m_clients;
            socket->deleteLater();
        });
    }
}
