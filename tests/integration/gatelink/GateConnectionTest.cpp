#include "gatelink/LinkHost.h"
#include "gatelink/LinkLogModel.h"
#include "gatelink/LinkShared.h"
#include "gatelink/TTComXDlg.h"
#include "platform/ManualClock.h"

#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

class FakeHost final : public LinkHost
{
public:
    QString gateName(int gate) const override { return gate == 0 ? QStringLiteral("正面入口") : QString(); }
    void ShowFatalConnectionError(const QString& caption, const QString& text) override
    {
        captions.append(caption);
        texts.append(text);
    }
    QStringList captions;
    QStringList texts;
};

// A loopback port with nothing listening on it.
quint16 closedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

struct Gates
{
    Gates() { shared.host = &host; }

    TTComXDlg& open(int gate, quint16 port)
    {
        links[gate] = std::make_unique<TTComXDlg>(shared, gate);
        links[gate]->LinkInit(&log, gate, false, TcpIpParaEntry{0, false, port, QStringLiteral("127.0.0.1")},
                              TTComXDlg::TcpIp);
        return *links[gate];
    }
    int commentCount(const QString& text) const
    {
        int count = 0;
        for (const QString& line : log.lines())
            count += line.endsWith(QStringLiteral(":[cmt] ") + text) ? 1 : 0;
        return count;
    }

    ManualClock clock{0.5, 1000};
    LinkShared shared{clock};
    FakeHost host;
    LinkLogModel log;
    std::unique_ptr<TTComXDlg> links[LinkShared::kGateSlots];
};

} // namespace

TEST(GateConnection, RefusedFirstConnectionShowsTheFatalMessageOnce)
{
    Gates gates;
    const quint16 port = closedPort();
    TTComXDlg& first = gates.open(0, port);
    TTComXDlg& second = gates.open(1, port);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !first.firstConnection() && !second.firstConnection(); }, 5000));
    QTest::qWait(50);
    EXPECT_EQ(gates.host.captions, QStringList{QStringLiteral("正面入口との接続で致命的なエラーが発生しました")});
    EXPECT_EQ(gates.host.texts,
              QStringList{QStringLiteral("IPアドレスの設定等を確認してアプリケーションを再起動して下さい。")});
    EXPECT_TRUE(gates.shared.fatalErrorShown);
    EXPECT_EQ(gates.commentCount(QStringLiteral("ClientSocket1Error")), 0);
    EXPECT_FALSE(first.reconnectTimerActive());
}

TEST(GateConnection, UnnamedGateIsCalledByItsNumber)
{
    Gates gates;
    gates.open(4, closedPort());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !gates.host.captions.isEmpty(); }, 5000));
    EXPECT_EQ(gates.host.captions.front(), QStringLiteral("GATE5との接続で致命的なエラーが発生しました"));
}

TEST(GateConnection, LaterErrorIsLoggedAndRetriedAfter1500ms)
{
    Gates gates;
    const quint16 port = closedPort();
    TTComXDlg& link = gates.open(0, port);
    gates.clock.advanceMs(TTComXDlg::kFatalWindowMs);
    ASSERT_TRUE(QTest::qWaitFor([&] { return link.reconnectTimerActive(); }, 5000));
    QElapsedTimer sinceError;
    sinceError.start();
    EXPECT_TRUE(gates.host.captions.isEmpty());
    EXPECT_EQ(gates.commentCount(QStringLiteral("ClientSocket1Error")), 1);

    QTcpServer gate;
    ASSERT_TRUE(gate.listen(QHostAddress::LocalHost, port));
    ASSERT_TRUE(QTest::qWaitFor([&] { return link.isConnected(); }, 5000));
    EXPECT_GE(sinceError.elapsed(), 1300);
    EXPECT_LT(sinceError.elapsed(), 3000);
    EXPECT_EQ(gates.commentCount(QStringLiteral("ClientSocket1Connect00")), 1);
}

TEST(GateConnection, DroppedConnectionIsRetriedEvery1500ms)
{
    Gates gates;
    QTcpServer gate;
    ASSERT_TRUE(gate.listen(QHostAddress::LocalHost, 0));
    QList<qint64> accepted;
    QElapsedTimer time;
    time.start();
    QObject::connect(&gate, &QTcpServer::newConnection, [&] {
        while (QTcpSocket* socket = gate.nextPendingConnection()) {
            accepted.append(time.elapsed());
            socket->close();
            socket->deleteLater();
        }
    });
    gates.open(0, gate.serverPort());
    ASSERT_TRUE(QTest::qWaitFor([&] { return accepted.size() >= 3; }, 8000));
    for (int i = 1; i < accepted.size(); ++i) {
        EXPECT_GE(accepted[i] - accepted[i - 1], 1400) << i;
        EXPECT_LT(accepted[i] - accepted[i - 1], 2500) << i;
    }
    EXPECT_TRUE(gates.host.captions.isEmpty());
    EXPECT_GE(gates.commentCount(QStringLiteral("ClientSocket1Disconnect00")), 2);
}

TEST(GateConnection, DeferredLinksLeaveTheirSocketsClosed)
{
    Gates gates;
    gates.shared.connectionsDeferred = true;
    QTcpServer gate;
    ASSERT_TRUE(gate.listen(QHostAddress::LocalHost, 0));
    TTComXDlg& link = gates.open(0, gate.serverPort());
    QTest::qWait(100);
    EXPECT_FALSE(gate.hasPendingConnections());
    EXPECT_TRUE(link.hasClientSocket());
    EXPECT_FALSE(link.isConnected());

    link.ClientOpen();
    EXPECT_TRUE(QTest::qWaitFor([&] { return link.isConnected(); }, 5000));
}
