#include "config/SettingsRecord.h"
#include "counting/CountModel.h"
#include "gatecontrol/ConnectionSupervisor.h"
#include "gatecontrol/GateSequence.h"
#include "gatecontrol/IcmpEcho.h"
#include "gatecontrol/Ping.h"
#include "gatecontrol/SequenceHost.h"
#include "gatecontrol/TickTable.h"
#include "gatelink/GateFrame.h"
#include "gatelink/LinkLogModel.h"
#include "gatelink/TTComXDlg.h"
#include "gatelink/TcpIpPara.h"
#include "integration/support/GateSimProcess.h"
#include "platform/SystemClock.h"

#include <QSignalSpy>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace {

// Real time that a test may move forward, so the start delays of a reconnect need not be waited out.
class JumpClock final : public Clock
{
public:
    std::uint32_t tickMs() const override { return SystemClock::instance().tickMs() + m_offset; }
    double now() const override { return SystemClock::instance().now() + m_offset / 86400000.0; }
    void jump(std::uint32_t ms) { m_offset += ms; }

private:
    std::uint32_t m_offset = 0;
};

class QuietHost final : public SequenceHost
{
public:
    bool tagViewBusy() const override { return false; }
    bool buzzerRunning() const override { return false; }
    bool shutdownComplete() const override { return false; }
    void startTimer1() override {}
    void restartGridUpdateTimer() override {}
    void GateTabCaptionSet(int) override {}
    void markAlarmsHandled(int) override {}
    int alarmSelector(int) const override { return 0; }
    int activeGateSlot() const override { return -1; }
    bool rfPauseButtonEnabled() const override { return false; }
    void setRfPauseButtonEnabled(bool) override {}
    void showConnectionError(const QString&, int) override {}
    void closeConnectionError() override {}
    bool networkReady() override { return true; }
    void recreateLinks() override {}
};

// No ICMP in these runs: the steady state is not what they look at.
class NoPing final : public PingService
{
public:
    bool ExecuteAsync(int, const QString&, int) override { return false; }
};

QByteArray frame(char command, std::initializer_list<int> data)
{
    QByteArray bytes;
    for (const int value : data)
        bytes.append(static_cast<char>(value));
    return GateFrame::BuildFrame(command, bytes);
}

QByteArray readLoop(int r2, int afi)
{
    return frame('x', {0xF2, 0x00, r2, 0x00, 0x0C, afi, 0, 0, 0, 0, 0, 0, 0, 0});
}

// Gate slot 0 of the program against one simulated gate, driven by the sequence tick.
class SimSequence
{
public:
    bool start(bool relay, bool countOnly, const QByteArray& config = {})
    {
        if (!sim.start(1, config))
            return false;
        settings.relayServer = relay;
        settings.countOnly = countOnly;
        settings.hostGraceSeconds = 0;
        settings.gates[0].name = QStringLiteral("Gate1");
        settings.gates[0].shortName = QStringLiteral("G1");
        tcpip.entry(tagTCPIPPara::GateRow, 0) = {0, false, sim.port(0), sim.address(0).toString()};
        tcpip.entry(tagTCPIPPara::RelayRow, 0) = {15, true, 0, QStringLiteral("127.0.0.1")};
        for (int index = 0; index < LinkShared::kLinks; ++index)
            links.push_back(std::make_unique<TTComXDlg>(shared, index));
        links[15]->setListenAddress(QHostAddress::LocalHost);
        links[0]->LinkInit(&log, 0, false, tcpip.entry(tagTCPIPPara::GateRow, 0), TTComXDlg::TcpIp);
        links[15]->LinkInit(&log, 0, true, tcpip.entry(tagTCPIPPara::RelayRow, 0), TTComXDlg::TcpIp);
        ticks.TickMark(TickTable::kReply);
        ticks.TickMark(TickTable::kConnection);
        return true;
    }

    // Ticks the sequence every millisecond of real time until done() or the time is up.
    bool runUntil(const std::function<bool()>& done, int timeoutMs)
    {
        return sim.waitFor(
            [&] {
                sequence.ConnectCheckTimerTimer();
                return done();
            },
            timeoutMs);
    }
    int step() const { return records[0].step; }

    GateSimProcess sim;
    JumpClock clock;
    SettingsRecord settings;
    tagTCPIPPara tcpip;
    LinkShared shared{clock};
    LinkLogModel log;
    std::array<SequenceRecord, LinkShared::kGateSlots> records{};
    TickTable ticks{clock};
    CountModel counts{clock};
    QuietHost host;
    NoPing ping;
    QTimer connectCheckTimer;
    QTimer closeTimer;
    std::vector<std::unique_ptr<TTComXDlg>> links;
    GateControlContext context{settings, tcpip, shared, records, ticks, counts, host, connectCheckTimer, closeTimer};
    ConnectionSupervisor supervisor{context, [](int) {}};
    GateSequence sequence{context, supervisor, ping};
};

} // namespace

TEST(GateSequenceSim, StartUpSendsTheCommandsInOrder)
{
    const QByteArray rom = frame('O', {0x90, 0x00});
    const QByteArray modeGet = frame('O', {0x00});
    const QByteArray counts = frame('G', {0x0B});
    struct Case
    {
        const char* name;
        bool relay;
        bool countOnly;
        QByteArray config;
        QList<QByteArray> frames;
    };
    const Case cases[] = {
        {"byte layout",
         false,
         false,
         {},
         {rom, modeGet, frame('N', {0x00, 0x00, 0x00, 0x04}), frame('O', {0xB4, 39}), counts, frame('O', {0x51}),
          frame('O', {0xB4, 7}), readLoop(0x00, 0x07)}},
        {"word layout",
         false,
         false,
         "rom=129-01.00\noption-byte=0x02\n",
         {rom, modeGet, frame('N', {0x00, 0x00, 0x00, 0x04}), frame('O', {0x70, 20, 1}), counts,
          frame('O', {0x70, 3, 2}), readLoop(0x20, 0x07)}},
        {"count only",
         false,
         true,
         {},
         {rom, modeGet, frame('N', {0x00, 0x00, 0x00, 0x14}), frame('O', {0xB4, 39}), counts}},
        {"relay",
         true,
         false,
         {},
         {rom, modeGet, frame('N', {0x00, 0x00, 0x00, 0x04}), frame('O', {0xB4, 39}), counts, frame('O', {0x51}),
          frame('O', {0xB4, 7}), readLoop(0x00, 0x07), frame('N', {0x00, 0x01, 0x00, 0x04})}},
    };
    for (const Case& c : cases) {
        SimSequence run;
        ASSERT_TRUE(run.start(c.relay, c.countOnly, c.config)) << run.sim.errorOutput().toStdString();
        ASSERT_TRUE(run.runUntil([&] { return run.step() == 27; }, 5000)) << c.name << " step " << run.step();
        EXPECT_EQ(run.sim.frames(0, QStringLiteral("RX")), c.frames) << c.name;
        EXPECT_EQ(run.links[15]->isListening(), c.relay) << c.name;
    }
}

TEST(GateSequenceSim, AfterADropTheModeBytesAreNotReadAgain)
{
    SimSequence run;
    ASSERT_TRUE(run.start(true, false));
    ASSERT_TRUE(run.runUntil([&] { return run.step() == 27; }, 5000));
    const int before = static_cast<int>(run.sim.frames(0, QStringLiteral("RX")).size());
    EXPECT_TRUE(run.sim.command(QStringLiteral("fault 0 drop")).startsWith(QStringLiteral("ok")));
    ASSERT_TRUE(run.runUntil([&] { return run.step() == 0; }, 3000));
    EXPECT_EQ(run.records[0].startDelay, 5);
    ASSERT_TRUE(run.runUntil([&] { return run.step() == 2; }, 3000)) << "connected again";
    run.clock.jump(5000);
    ASSERT_TRUE(run.runUntil([&] { return run.step() == 27; }, 5000)) << run.step();
    const QList<QByteArray> after = run.sim.frames(0, QStringLiteral("RX")).mid(before);
    ASSERT_FALSE(after.isEmpty());
    EXPECT_EQ(after.first(), frame('O', {0x90, 0x00}));
    EXPECT_FALSE(after.contains(frame('O', {0x00}))) << "m1 is known";
    EXPECT_EQ(after.last(), frame('N', {0x00, 0x01, 0x00, 0x04})) << "the first mode byte is restored";
}

TEST(GateSequenceSim, ClosingResetsTheCountersAndRestartsTheReader)
{
    SimSequence run;
    ASSERT_TRUE(run.start(false, false, "in=4 2 0\n"));
    ASSERT_TRUE(run.runUntil([&] { return run.step() == 27; }, 5000));
    run.closeTimer.start(100000);
    run.records[0].step = SequenceRecord::kShutdown;
    ASSERT_TRUE(run.runUntil([&] { return run.step() == SequenceRecord::kShutdownDone; }, 3000)) << run.step();
    ASSERT_TRUE(run.sim.waitForFrames(0, QStringLiteral("RX"), 10, 2000));
    const QList<QByteArray> frames = run.sim.frames(0, QStringLiteral("RX"));
    QByteArray zeroWrite(1, static_cast<char>(0x28));
    zeroWrite.append(36, '\0');
    EXPECT_EQ(frames[frames.size() - 2], GateFrame::BuildFrame('G', zeroWrite));
    EXPECT_EQ(frames.last(), frame('N', {0x9D}));
    EXPECT_EQ(run.sim.command(QStringLiteral("counters 0")), QStringLiteral("ok G0 in=0,0,0 out=0,0,0"));
}

TEST(PingLoopback, EchoOfTheLoopbackAddressIsAnswered)
{
    Ping ping(SystemClock::instance());
    QSignalSpy results(&ping, &Ping::pinged);
    if (!ping.ExecuteAsync(1, QStringLiteral("127.0.0.1"), 2500))
        GTEST_SKIP() << "no ICMP facility on this machine";
    ASSERT_TRUE(results.wait(3000));
    const auto result = results.first().first().value<TAsyncPingResult>();
    EXPECT_EQ(result.identifier, 1);
    EXPECT_EQ(result.errorCode, 0);
    EXPECT_GE(result.resultMs, 0);
    EXPECT_FALSE(ping.ExecuteAsync(16, QStringLiteral("127.0.0.1"), 2500));
}

TEST(PingLoopback, AWorkerIsAnsweredAfterOtherWorkersFilledItsSocket)
{
    // A raw ICMP socket also receives every other worker's requests and replies between its own
    // pings; the reply to its next ping must still be found.
    if (!IcmpEcho::available())
        GTEST_SKIP() << "no ICMP facility on this machine";
    IcmpEcho quiet(SystemClock::instance(), 0x5A01);
    IcmpEcho busy(SystemClock::instance(), 0x5A02);
    int elapsedMs = -1;
    ASSERT_EQ(quiet.echo(QStringLiteral("127.0.0.1"), 1000, elapsedMs), 0);
    for (int i = 0; i < 60; ++i)
        ASSERT_EQ(busy.echo(QStringLiteral("127.0.0.1"), 1000, elapsedMs), 0) << i;
    EXPECT_EQ(quiet.echo(QStringLiteral("127.0.0.1"), 1000, elapsedMs), 0);
    EXPECT_GE(elapsedMs, 0);
}
