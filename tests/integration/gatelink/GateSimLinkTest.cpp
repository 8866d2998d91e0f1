#include "gatelink/GateFrame.h"
#include "gatelink/GateReportSink.h"
#include "gatelink/LinkLogModel.h"
#include "gatelink/LinkShared.h"
#include "gatelink/TTComXDlg.h"
#include "integration/support/GateSimProcess.h"
#include "platform/SystemClock.h"

#include <QTcpSocket>

#include <gtest/gtest.h>

#include <memory>

namespace {

class CountingSink final : public GateReportSink
{
public:
    void CountValuesReceived(int, const CountRecord&) override { ++counts; }
    void CountBlocksReceived(int, const CountRecord&, int) override { ++counts; }
    void TagDetected(int, const TagReport&) override {}
    int counts = 0;
};

const QByteArray kRomRequest = GateSimProcess::hex("02 00 4F 02 90 00 03 E6 0D");
const QByteArray kRomReply = GateSimProcess::hex("02 00 30 0A 90 31 33 35 2D 30 31 2E 30 30 03 84 0D");

// Gate slot 0 of the program against one simulated gate, its relay link listening on loopback.
class SimulatedSlot : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sim.start(1)) << sim.errorOutput().toStdString();
        shared.sink = &sink;
        gateLink = std::make_unique<TTComXDlg>(shared, 0);
        relayLink = std::make_unique<TTComXDlg>(shared, 15);
        gateLink->LinkInit(&log, 0, false, TcpIpParaEntry{0, false, sim.port(0), sim.address(0).toString()},
                           TTComXDlg::TcpIp);
        relayLink->LinkInit(&log, 0, true, TcpIpParaEntry{0, true, 0, QString()}, TTComXDlg::TcpIp);
        relayLink->setListenAddress(QHostAddress::LocalHost);
        ASSERT_TRUE(relayLink->ServerListen());
        ASSERT_TRUE(sim.waitFor([this] { return gateLink->isConnected(); }, 5000));
    }

    QStringList relayLines() const
    {
        QStringList found;
        for (const QString& line : log.lines())
            if (line.contains(QStringLiteral(" S: G0:")))
                found.append(line.mid(12));
        return found;
    }

    int comments(const QString& text) const
    {
        int count = 0;
        for (const QString& line : log.lines())
            count += line.endsWith(QStringLiteral(":[cmt] ") + text) ? 1 : 0;
        return count;
    }

    GateSimProcess sim;
    LinkShared shared{SystemClock::instance()};
    CountingSink sink;
    LinkLogModel log;
    std::unique_ptr<TTComXDlg> gateLink;
    std::unique_ptr<TTComXDlg> relayLink;
};

} // namespace

TEST_F(SimulatedSlot, HostPcFrameReachesTheGateAndItsReplyComesBack)
{
    const auto run = GateSimProcess::runHostPc(relayLink->serverPort(), {kRomRequest}, 1, 5000);
    ASSERT_EQ(run.exitCode, 0) << run.errorOutput.toStdString();
    QList<QByteArray> hostReceived;
    for (const GateSimLogLine& line : run.log)
        if (line.kind == QLatin1String("RX"))
            hostReceived.append(line.bytes());
    EXPECT_EQ(hostReceived, QList<QByteArray>{kRomReply});
    ASSERT_TRUE(sim.waitForFrames(0, QStringLiteral("RX"), 1));
    EXPECT_EQ(sim.frames(0, QStringLiteral("RX")), QList<QByteArray>{kRomRequest});
    EXPECT_EQ(relayLines(),
              (QStringList{QStringLiteral(" S: G0:[TX]  02 00 4F 02 90 00 03 E6 0D"),
                           QStringLiteral(" S: G0:[RX]  02 00 30 0A 90 31 33 35 2D 30 31 2E 30 30 03 84 0D")}));
}

TEST_F(SimulatedSlot, GateCountFramesReachTheHostOnlyWithoutTheCountFilter)
{
    QTcpSocket host;
    host.connectToHost(QHostAddress::LocalHost, relayLink->serverPort());
    ASSERT_TRUE(sim.waitFor([&] { return relayLink->activeConnections() == 1; }, 5000));

    EXPECT_EQ(sim.command(QStringLiteral("count 0 0 3 0")), QStringLiteral("ok G0 in=3,0,0 out=0,0,0 pushed=1"));
    ASSERT_TRUE(sim.waitFor([&] { return sink.counts == 1; }, 5000));
    sim.waitFor([] { return false; }, 200);
    EXPECT_EQ(host.bytesAvailable(), 0);

    gateLink->setCountFilter(false);
    EXPECT_EQ(sim.command(QStringLiteral("count 0 0 1 0")), QStringLiteral("ok G0 in=4,0,0 out=0,0,0 pushed=1"));
    ASSERT_TRUE(sim.waitFor([&] { return host.bytesAvailable() >= 44; }, 5000));
    EXPECT_EQ(host.readAll(), sim.frames(0, QStringLiteral("TX")).last());
    EXPECT_EQ(sink.counts, 2);
}

TEST_F(SimulatedSlot, CommandsReachTheGateUnchangedAndTheirRepliesAreWaitedFor)
{
    gateLink->ROM_VERSION_CMD();
    EXPECT_TRUE(gateLink->WaitReply());
    EXPECT_EQ(gateLink->reply().romVersion, QStringLiteral("135-01.00"));
    EXPECT_EQ(gateLink->GateSetAutoLampModeCmd(1), 1);
    gateLink->RESTART_CMD();
    EXPECT_FALSE(gateLink->WaitReply());
    EXPECT_EQ(comments(QStringLiteral("レスポンス待ち　タイムオーバー")), 1);
    EXPECT_EQ(sim.frames(0, QStringLiteral("RX")),
              (QList<QByteArray>{kRomRequest, GateSimProcess::hex("02 00 47 02 2B 01 03 7A 0D"),
                                 GateSimProcess::hex("02 00 4E 01 9D 03 F1 0D")}));
}

TEST_F(SimulatedSlot, GateThatGoesAwayIsRetriedEvery1500ms)
{
    EXPECT_TRUE(sim.command(QStringLiteral("fault 0 refuse 3500")).startsWith(QStringLiteral("ok")));
    ASSERT_TRUE(sim.waitFor([&] { return !gateLink->isConnected(); }, 5000));
    ASSERT_TRUE(sim.waitFor([&] { return gateLink->isConnected(); }, 8000));
    // The drop and the refused attempts in the 3.5 s, one every 1.5 s.
    EXPECT_GE(comments(QStringLiteral("ClientSocket1Error")), 2);
    EXPECT_LE(comments(QStringLiteral("ClientSocket1Error")), 4);
    EXPECT_EQ(comments(QStringLiteral("ClientSocket1Connect00")), 2);
}
