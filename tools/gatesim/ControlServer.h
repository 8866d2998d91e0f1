#pragma once

#include "gatesim/SimEndpoint.h"

#include <QObject>
#include <QTcpServer>

#include <functional>

// The control interface over TCP: the same lines as on standard input, each answered on its own connection.
class ControlServer final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ControlServer)

public:
    using Handler = std::function<QString(const QString& line)>;
    static constexpr int kMaxClients = 8;

    ControlServer(Handler handler, QObject* parent = nullptr);

    bool listen(const SimEndpoint& endpoint, QString* error);
    SimEndpoint address() const;

private slots:
    void onNewConnection();

private:
    Handler m_handler;
    QTcpServer m_server;
    int m_clients = 0;
};
