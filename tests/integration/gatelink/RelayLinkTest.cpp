#include "gatelink/GateFrame.h"
#include "gatelink/GateReportSink.h"
#include "gatelink/LinkLogModel.h"
#include "gatelink/LinkShared.h"
#include "gatelink/TTComXDlg.h"
#include "gatelink/TagReport.h"
#include "platform/SystemClock.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iostream>
#include <memory>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text));
}

class CountingSink final : public GateReportSink
{
public:
    void CountValuesReceived(int, const CountRecord&) override { ++counts; }
    void CountBlocksReceived(int, const CountRecord&, int) override { ++counts; }
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
    // The queue is passed on by hand below, not by the watch machine's next idle tick.
    gateLink->eepromWatch().eepromChkTimer().stop();
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
    // The watch holds the gate; its machine, which would pass the queue on at its next idle tick, stands still.
    gateLink->eepromWatch().eepromChkTimer().stop();
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

namespace {

// A host PC that connects and never reads: its receive window is kept tiny and nothing is taken from it.
class StuckHost
{
public:
    explicit StuckHost(quint16 port)
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        const int window = 4096;
        ::setsockopt(m_fd, SOL_SOCKET, SO_RCVBUF, &window, sizeof window);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        m_connected = ::connect(m_fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    }
    ~StuckHost() { ::close(m_fd); }
    StuckHost(const StuckHost&) = delete;
    StuckHost& operator=(const StuckHost&) = delete;

    bool connected() const { return m_connected; }

private:
    int m_fd = -1;
    bool m_connected = false;
};

// What may wait in the program for one host PC.
constexpr qint64 kHostBacklogBound = 1024 * 1024;

} // namespace

TEST_F(RelayedSlot, HostThatNeverReadsIsDroppedBeforeItsBacklogPassesTheBound)
{
    QStringList dropped;
    QObject::connect(&log, &LinkLogModel::lineAppended, [&](const QString& line) {
        if (line.contains(QStringLiteral("受信しないため")))
            dropped.append(line.mid(12));
    });
    const int before = relayLink->hostConnections();
    StuckHost stuck(relayLink->serverPort());
    ASSERT_TRUE(stuck.connected());
    ASSERT_TRUE(QTest::qWaitFor([&] { return relayLink->hostConnections() > before; }, 5000));
    ASSERT_EQ(relayLink->activeConnections(), 2);

    // The gate streams tag frames, never far ahead of the gate link; the relay passes each one to the
    // newest host, the stuck one. Bounded by bytes and time.
    const QByteArray tag =
        GateFrame::BuildFrame('D', hex("01 02 03 04 05 06 07 08 11 12 13 14 15 16 17 18 19 1A 1B 1C"));
    QByteArray chunk;
    while (chunk.size() < 64 * 1024)
        chunk += tag;
    const qint64 framesPerChunk = chunk.size() / tag.size();
    constexpr qint64 kStreamLimit = 32 * 1024 * 1024;
    qint64 frames = 0;
    qint64 peakBacklog = 0;
    QElapsedTimer elapsed;
    elapsed.start();
    const auto pumpUntil = [&](const std::function<bool()>& done, qint64 limitMs) {
        while (!done() && elapsed.elapsed() < limitMs) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            for (QTcpSocket* socket : relayLink->findChildren<QTcpSocket*>())
                peakBacklog = std::max(peakBacklog, socket->bytesToWrite());
        }
        return done();
    };
    while (relayLink->activeConnections() == 2 && frames * tag.size() < kStreamLimit && elapsed.elapsed() < 60000) {
        gate->write(chunk);
        frames += framesPerChunk;
        pumpUntil([&] { return frames - sink.tags < 4 * framesPerChunk; }, 60000);
    }
    ASSERT_EQ(relayLink->activeConnections(), 1)
        << "streamed " << frames * tag.size() << " bytes in " << elapsed.elapsed() << " ms";
    std::cout << "stuck host dropped after " << frames * tag.size() << " bytes streamed, " << elapsed.elapsed()
              << " ms; largest backlog seen " << peakBacklog << " bytes\n";
    EXPECT_LE(peakBacklog, kHostBacklogBound);
    ASSERT_EQ(dropped.size(), 1);
    EXPECT_TRUE(dropped.front().startsWith(QStringLiteral(" -: G0:[cmt] "))) << dropped.front().toStdString();

    // The gate link took every frame, and the host that reads gets the gate's frames again.
    EXPECT_TRUE(pumpUntil([&] { return sink.tags == frames; }, elapsed.elapsed() + 20000))
        << sink.tags << " of " << frames;
    EXPECT_TRUE(gateLink->isConnected());
    EXPECT_TRUE(relayLink->isConnected());
    EXPECT_TRUE(relayLink->isListening());
    const QByteArray reply = GateFrame::BuildFrame('0', hex("51 07"));
    gate->write(reply);
    QByteArray received;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            received += host->readAll();
            return received.endsWith(reply);
        },
        5000));
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
