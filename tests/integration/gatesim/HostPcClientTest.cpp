#include "integration/support/GateSimProcess.h"

#include <QTcpServer>
#include <QTcpSocket>

#include <gtest/gtest.h>

namespace {

// Stands in for the program's relay port: sends back every byte it receives.
class EchoServer
{
public:
    EchoServer()
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection())
                QObject::connect(socket, &QTcpSocket::readyRead, socket,
                                 [socket] { socket->write(socket->readAll()); });
        });
    }
    quint16 port() const { return m_server.serverPort(); }

private:
    QTcpServer m_server;
};

QList<QByteArray> framesOf(const GateSimProcess::HostPcRun& run, const char* kind)
{
    QList<QByteArray> out;
    for (const auto& line : run.log) {
        if (line.unit == QLatin1String("H0") && line.kind == QLatin1String(kind))
            out.append(line.bytes());
    }
    return out;
}

} // namespace

TEST(HostPcClient, SendsItsFramesAndPrintsWhatComesBack)
{
    EchoServer echo;
    const QList<QByteArray> frames{GateSimProcess::hex("02004F02900003E60D"),
                                   GateSimProcess::hex("02004F02900003E70D")};
    const auto run = GateSimProcess::runHostPc(echo.port(), frames, 2, 3000);
    EXPECT_EQ(run.exitCode, 0) << run.errorOutput.toStdString();
    EXPECT_EQ(framesOf(run, "TX"), frames);
    // A bad sum is shown as such but still counts as a frame that came back.
    EXPECT_EQ(framesOf(run, "RX"), QList<QByteArray>{frames[0]});
    EXPECT_EQ(framesOf(run, "BAD"), QList<QByteArray>{frames[1]});
}

TEST(HostPcClient, FailsWhenTooFewFramesArriveOrNobodyListens)
{
    EchoServer echo;
    const auto tooFew = GateSimProcess::runHostPc(echo.port(), {GateSimProcess::hex("0200300003350D")}, 2, 400);
    EXPECT_EQ(tooFew.exitCode, 1);
    EXPECT_EQ(framesOf(tooFew, "RX").size(), 1);

    quint16 closedPort = 0;
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        closedPort = probe.serverPort();
    }
    const auto refused = GateSimProcess::runHostPc(closedPort, {GateSimProcess::hex("0200300003350D")}, 1, 2000);
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(framesOf(refused, "TX").isEmpty());
}
