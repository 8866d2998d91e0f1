#include "gatelink/GateFrame.h"
#include "gatelink/GateReportSink.h"
#include "gatelink/LinkLogModel.h"
#include "gatelink/LinkShared.h"
#include "gatelink/TTComXDlg.h"
#include "gatelink/TagReport.h"
#include "platform/SystemClock.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text));
}

class CountingSink final : public GateReportSink
{
public:
    void CountValuesReceived(int, const CountRecord&) override { ++counts; }
    void TagDetected(int, const TagReport&) override { ++tags; }
    int counts = 0;
    int tags = 0;
};

// Gate slot 0 with both links: gate link 0 connected to a stand-in gate on loopback, relay link 15
// listening on loopback, and one host PC connected to it.
class RelayedSlot : public ::testing::Test
{
protected:
    void SetUp() override
    {
        shared.sink = &sink;
        ASSERT_TRUE(gateServer.listen(QHostAddress::LocalHost, 0));
        gateLink = std::make_unique<TTComXDlg>(shared, 0);
        relayLink = std::make_unique<TTComXDlg>(shared, 15);
        gateLink->LinkInit(&log, 0, false,
                           TcpIpParaEntry{0, false, gateServer.serverPort(), QStringLiteral("127.0.0.1")},
                           TTComXDlg::TcpIp);
        relayLink->LinkInit(&log, 0, true, TcpIpParaEntry{0, true, 0, QString()}, TTComXDlg::TcpIp);
        relayLink->setListenAddress(QHostAddress::LocalHost);
        ASSERT_TRUE(relayLink->ServerListen());
        ASSERT_TRUE(QTest::qWaitFor([this] { return gateServer.hasPendingConnections(); }, 5000));
        gate = gateServer.nextPendingConnection();
        ASSERT_TRUE(QTest::qWaitFor([this] { return gateLink->isConnected(); }, 5000));
        host = connectHost();
    }

    std::unique_ptr<QTcpSocket> connectHost()
    {
        auto socket = std::make_unique<QTcpSocket>();
        const int before = relayLink->hostConnections();
        socket->connectToHost(QHostAddress::LocalHost, relayLink->serverPort());
        EXPECT_TRUE(QTest::qWaitFor([&] { return relayLink->hostConnections() > before; }, 5000));
        return socket;
    }

    static QByteArray readAtLeast(QTcpSocket& socket, qsizetype count, int timeoutMs = 5000)
    {
        QByteArray bytes;
        const bool complete = QTest::qWaitFor(
            [&] {
                bytes += socket.readAll();
                return bytes.size() >= count;
            },
            timeoutMs);
        EXPECT_TRUE(complete) << bytes.size() << " of " << count << " bytes";
        return bytes;
    }

    QStringList linesWith(const QString& part) const
    {
        QStringList found;
        for (const QString& line : log.lines())
            if (line.contains(part))
                found.append(line.mid(12));
        return found;
    }

    SystemClock clock;
    LinkShared shared{clock};
    CountingSink sink;
    LinkLogModel log;
    QTcpServer gateServer;
    QTcpSocket* gate = nullptr;
    std::unique_ptr<TTComXDlg> gateLink;
    std::unique_ptr<TTComXDlg> relayLink;
    std::unique_ptr<QTcpSocket> host;
};

const QByteArray kRomRequest = hex("02 00 4F 02 90 00 03 E6 0D");

} // namespace

TEST_F(RelayedSlot, HostFrameReachesTheGateAndTheReplyComesBackUnchanged)
{
    EXPECT_TRUE(
        linesWith(QStringLiteral("ActiveConnections: ")).contains(QStringLiteral(" -: G0:[cmt] ActiveConnections: 1")));
    host->write(kRomRequest);
    EXPECT_EQ(readAtLeast(*gate, kRomRequest.size()), kRomRequest);

    const QByteArray reply = GateFrame::BuildFrame('0', hex("90") + QByteArray("123456789"));
    gate->write(reply);
    EXPECT_EQ(readAtLeast(*host, reply.size()), reply);

    EXPECT_EQ(linesWith(QStringLiteral(" S: G0")),
              (QStringList{QStringLiteral(" S: G0:[TX]  02 00 4F 02 90 00 03 E6 0D"),
                           QStringLiteral(" S: G0:[RX]  ") + QString::fromLatin1(reply.toHex(' ').toUpper())}));
    EXPECT_TRUE(linesWith(QStringLiteral(" C: G0:[RX]")).isEmpty());
    EXPECT_EQ(gateLink->ReplyStatus(), 2);
}

TEST_F(RelayedSlot, CountFramesReachTheHostOnlyWithoutTheCountFilter)
{
    const QByteArray countFrame = GateFrame::BuildFrame('G', hex("81") + QByteArray(36, '\x01'));
    const QByteArray marker = GateFrame::BuildFrame('D', hex("01 02 03 04 05 06 07 08"));
    gate->write(countFrame + marker);
    EXPECT_EQ(readAtLeast(*host, marker.size()), marker);
    EXPECT_EQ(sink.counts, 1);

    gateLink->setCountFilter(false);
    gate->write(countFrame);
    EXPECT_EQ(readAtLeast(*host, countFrame.size()), countFrame);
    EXPECT_EQ(sink.counts, 2);
}

TEST_F(RelayedSlot, HostBytesWaitWhileTheWatchHoldsTheGateAndFollowInOrder)
{
    gateLink->watchFlags().busy = true;
    const QByteArray first = GateFrame::BuildFrame('O', hex("90 00"));
    const QByteArray second = GateFrame::BuildFrame('G', hex("0B"));
    host->write(first);
    ASSERT_TRUE(QTest::qWaitFor([&] { return gateLink->hostQueueSize() == first.size(); }, 5000));
    host->write(second);
    ASSERT_TRUE(QTest::qWaitFor([&] { return gateLink->hostQueueSize() == first.size() + second.size(); }, 5000));
    QTest::qWait(20);
    EXPECT_EQ(gate->bytesAvailable(), 0);

    gateLink->watchFlags().busy = false;
    EXPECT_TRUE(gateLink->FlushHostQueue());
    EXPECT_EQ(readAtLeast(*gate, first.size() + second.size()), first + second);
    EXPECT_EQ(gateLink->hostQueueSize(), 0);
    EXPECT_TRUE(gateLink->hostActivity());
    EXPECT_FALSE(gateLink->FlushHostQueue());
}

TEST_F(RelayedSlot, HostQueueRefusesWhatDoesNotFit)
{
    gateLink->watchFlags().busy = true;
    const QByteArray flood(TTComXDlg::kHostQueueSize + 1000, '\x55');
    host->write(flood);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !linesWith(QStringLiteral("バイトを破棄しました")).isEmpty(); }, 5000));
    QTest::qWait(50);
    EXPECT_EQ(gateLink->hostQueueSize(), TTComXDlg::kHostQueueSize);
    int refused = 0;
    for (const QString& line : linesWith(QStringLiteral("ホストPC送信待ちバッファが一杯です：")))
        refused += line.section(QStringLiteral("："), 1).section(QStringLiteral("バイト"), 0, 0).toInt();
    EXPECT_EQ(refused, 1000);
}

TEST_F(RelayedSlot, HostReadsTakeAtMost256BytesAndKeepTheirOrder)
{
    QByteArray bytes;
    for (int i = 0; i < 700; ++i)
        bytes.append(static_cast<char>(i % 251));
    host->write(bytes);
    EXPECT_EQ(readAtLeast(*gate, bytes.size()), bytes);
    const QStringList relayed = linesWith(QStringLiteral(" S: G0:[TX] "));
    ASSERT_GE(relayed.size(), 3);
    for (const QString& line : relayed)
        EXPECT_LE(line.size() - 12, 256 * 3) << line.toStdString();
    EXPECT_EQ(linesWith(QStringLiteral("ServerSocket1ClientRead")).size(), relayed.size());
}

TEST_F(RelayedSlot, LargeGateBurstIsReadInPiecesWithoutLoss)
{
    const QByteArray tag = GateFrame::BuildFrame('D', hex("01 02 03 04 05 06 07 08"));
    QByteArray burst;
    for (int i = 0; i < 1500; ++i)
        burst += tag;
    gate->write(burst);
    ASSERT_TRUE(QTest::qWaitFor([&] { return sink.tags == 1500; }, 10000)) << sink.tags;
    EXPECT_TRUE(linesWith(QStringLiteral("受信バッファが一杯です")).isEmpty());
    EXPECT_EQ(readAtLeast(*host, burst.size()), burst);
    EXPECT_TRUE(gateLink->dataSeen());
}

TEST_F(RelayedSlot, RelayKeepsGoingWhileAnotherHostRemains)
{
    auto second = connectHost();
    EXPECT_TRUE(
        linesWith(QStringLiteral("ActiveConnections: ")).contains(QStringLiteral(" -: G0:[cmt] ActiveConnections: 2")));
    host->disconnectFromHost();
    ASSERT_TRUE(QTest::qWaitFor([&] { return relayLink->activeConnections() == 1; }, 5000));
    EXPECT_TRUE(relayLink->isConnected());

    const QByteArray reply = GateFrame::BuildFrame('0', hex("51 07"));
    gate->write(reply);
    EXPECT_EQ(readAtLeast(*second, reply.size()), reply);

    second->disconnectFromHost();
    ASSERT_TRUE(QTest::qWaitFor([&] { return relayLink->activeConnections() == 0; }, 5000));
    EXPECT_FALSE(relayLink->isConnected());
    EXPECT_FALSE(relayLink->isOpen());
    EXPECT_EQ(linesWith(QStringLiteral("ServerSocket1ClientDisconnect")).size(), 2);
    EXPECT_EQ(linesWith(QStringLiteral("ServerSocket1ThreadEnd")).size(), 2);
    EXPECT_EQ(gateLink->LinkSend(reply), reply.size());
    EXPECT_EQ(relayLink->LinkSend(reply), 0);
}

TEST_F(RelayedSlot, RecreatedSocketsStartClosedAndOpenAgain)
{
    relayLink->RecreateServerSocket();
    ASSERT_TRUE(QTest::qWaitFor([&] { return host->state() == QAbstractSocket::UnconnectedState; }, 5000));
    EXPECT_FALSE(relayLink->isListening());
    EXPECT_FALSE(relayLink->isConnected());
    ASSERT_TRUE(relayLink->ServerListen());
    host = connectHost();
    EXPECT_TRUE(relayLink->isConnected());

    gateLink->RecreateClientSocket();
    EXPECT_FALSE(gateLink->isConnected());
    EXPECT_FALSE(gateLink->reconnectTimerActive());
    QTest::qWait(50);
    EXPECT_FALSE(gateServer.hasPendingConnections());
    gateLink->ClientOpen();
    ASSERT_TRUE(QTest::qWaitFor([&] { return gateServer.hasPendingConnections() && gateLink->isConnected(); }, 5000));
    QTcpSocket* newGate = gateServer.nextPendingConnection();
    const QByteArray reply = GateFrame::BuildFrame('0', hex("51 07"));
    newGate->write(reply);
    EXPECT_EQ(readAtLeast(*host, reply.size()), reply);
}
