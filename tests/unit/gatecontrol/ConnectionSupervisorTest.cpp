#include "SequenceBench.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <functional>

namespace {

TAsyncPingResult failedPing(int slot)
{
    TAsyncPingResult result;
    result.identifier = slot + 1;
    result.errorCode = TAsyncPingResult::kTimedOut;
    result.resultMs = -1;
    return result;
}

// Slot 0 waiting for its ping at step 28, relay link listening on loopback.
void waitForPing(SequenceBench& bench)
{
    bench.connect(0);
    bench.record(0).step = 28;
    bench.record(0).expectedLength = 0;
    bench.record(0).expectedCode = 0;
    ASSERT_TRUE(bench.relay(0).ServerListen());
}

} // namespace

TEST(ConnectionSupervisor, NineFailedPingsLogTheTenthReconnectsAndRecreatesTheRelay)
{
    SequenceBench bench;
    bench.settings.relayServer = true;
    bench.settings.hostGraceSeconds = 0;
    waitForPing(bench);
    for (int round = 1; round <= 9; ++round) {
        bench.advance(1000);
        bench.supervisor.PingCallback(failedPing(0));
        EXPECT_EQ(bench.record(0).step, 28);
        EXPECT_EQ(bench.gate(0).idlePingRounds(), round);
        EXPECT_EQ(bench.ticks.stamp(TickTable::kReply), bench.clock.tickMs()) << "the wait is lengthened";
    }
    EXPECT_EQ(bench.logLines(QStringLiteral(":[TX]  Ping Result=11010")), 9);
    EXPECT_TRUE(bench.relay(0).isListening());
    bench.supervisor.PingCallback(failedPing(0));
    EXPECT_EQ(bench.logLines(QStringLiteral(":[TX]  Ping Result=11010")), 10);
    EXPECT_EQ(bench.record(0).step, 0);
    EXPECT_EQ(bench.gate(0).idlePingRounds(), 0);
    EXPECT_FALSE(bench.relay(0).isListening()) << "the host PC is cut off at once";
    EXPECT_TRUE(bench.gate(0).reconnectPending());
}

TEST(ConnectionSupervisor, PingResultsThatCountAsAnswered)
{
    SequenceBench bench;
    waitForPing(bench);
    bench.gate(0).setIdlePingRounds(4);
    bench.gate(0).setDataSeen(true);
    bench.supervisor.PingCallback(failedPing(0));
    EXPECT_EQ(bench.record(0).step, 26) << "gate data since the ping started";
    EXPECT_EQ(bench.gate(0).idlePingRounds(), 0);

    // Not waiting for a ping (a version check is awaited) or a foreign identifier: ignored.
    bench.record(0).step = 28;
    bench.record(0).expectedCode = 0x90;
    bench.record(0).expectedLength = 10;
    bench.gate(0).setDataSeen(false);
    bench.supervisor.PingCallback(failedPing(0));
    TAsyncPingResult foreign = failedPing(0);
    foreign.identifier = 16;
    bench.supervisor.PingCallback(foreign);
    EXPECT_EQ(bench.gate(0).idlePingRounds(), 0);
    EXPECT_EQ(bench.logLines(QStringLiteral(":[TX]  Ping Result=11010")), 0);
}

TEST(ConnectionSupervisor, PingResultsDuringARecreationWaitAreHeldUntilItEnds)
{
    // Gate 1 waits for its ping while gate 0's socket is re-created; its answer arrives during the
    // wait and must neither be lost (the 3 s limit would reconnect a healthy gate) nor start
    // anything inside the wait.
    SequenceBench bench(2);
    bench.connect(0);
    bench.connect(1);
    bench.record(1).step = 28;
    bench.duringWait = [&bench] {
        TAsyncPingResult answered;
        answered.identifier = 2;
        bench.supervisor.PingCallback(answered);
        EXPECT_EQ(bench.record(1).step, 28);
    };
    bench.supervisor.ClientSockReconnect(0);
    EXPECT_EQ(bench.waits, 1);
    EXPECT_EQ(bench.record(1).step, 28);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(bench.record(1).step, 26);
}

TEST(ConnectionSupervisor, GraceTimeRecreatesTheRelayAfterItsCountdown)
{
    SequenceBench bench;
    bench.settings.relayServer = true;
    bench.settings.hostGraceSeconds = 5;
    waitForPing(bench);
    bench.gate(0).setIdlePingRounds(9);
    bench.supervisor.PingCallback(failedPing(0));
    EXPECT_EQ(bench.record(0).relayCountdown, 5);
    EXPECT_TRUE(bench.supervisor.severReconnectTimer().isActive());
    EXPECT_EQ(bench.supervisor.severReconnectTimer().interval(), 1000);
    for (int second = 1; second <= 4; ++second) {
        bench.supervisor.SeverReconnectTimerTimer();
        EXPECT_TRUE(bench.relay(0).isListening()) << second;
    }
    bench.supervisor.SeverReconnectTimerTimer();
    EXPECT_FALSE(bench.relay(0).isListening());
    // Gate up again: countdown cleared and the timer stops.
    bench.supervisor.relayCountdownDone(0);
    EXPECT_FALSE(bench.supervisor.severReconnectTimer().isActive());
}

TEST(ConnectionSupervisor, HostAutoDisconnectOffLeavesAListeningRelayAlone)
{
    SequenceBench bench;
    bench.settings.relayServer = true;
    bench.settings.hostAutoDisconnect = false;
    waitForPing(bench);
    bench.gate(0).setConnected(false);
    bench.tick();
    EXPECT_EQ(bench.record(0).step, 0);
    EXPECT_TRUE(bench.relay(0).isListening());
    EXPECT_EQ(bench.waits, 1) << "only the client socket was re-created";
}

TEST(ConnectionSupervisor, WithoutAutoReconnectAListedGateWaitsForTheConnectionImage)
{
    SequenceBench bench;
    bench.settings.autoReconnect = false;
    bench.connect(0);
    bench.record(0).step = 26;
    bench.record(0).listed = true;
    bench.gate(0).setConnected(false);
    bench.tick();
    EXPECT_EQ(bench.record(0).step, 0);
    EXPECT_EQ(bench.gate(0).connectionAttempts(), 1);
    EXPECT_FALSE(bench.gate(0).reconnectPending()) << "the new socket stays closed";
    for (int i = 0; i < 5; ++i) {
        bench.advance(3000);
        bench.tick();
    }
    EXPECT_FALSE(bench.gate(0).reconnectPending());
    EXPECT_TRUE(bench.host.errorShown);

    bench.host.activeSlot = 0;
    bench.supervisor.ConnectionImageClick();
    EXPECT_FALSE(bench.record(0).listed);
    EXPECT_EQ(bench.gate(0).connectionAttempts(), 0);
    bench.tick();
    EXPECT_TRUE(bench.gate(0).reconnectPending()) << "tried again at once";
    EXPECT_EQ(bench.record(0).startDelay, 5);
}

TEST(ConnectionSupervisor, ClosingTheErrorWindowAcknowledgesAndRestartsConnectionTimers)
{
    SequenceBench bench(2);
    bench.record(0).listed = true;
    bench.gate(1).setConnectionAttempts(1);
    bench.ticks.TickMark(TickTable::kConnection + 0);
    bench.ticks.TickMark(TickTable::kConnection + 1);
    bench.advance(6000);
    bench.supervisor.errorWindowClosed();
    EXPECT_TRUE(bench.record(0).acknowledged);
    EXPECT_FALSE(bench.record(1).acknowledged);
    EXPECT_EQ(bench.ticks.stamp(TickTable::kConnection + 0), bench.clock.tickMs() - 3000);
    EXPECT_EQ(bench.ticks.stamp(TickTable::kConnection + 1), bench.clock.tickMs() - 3000);
}

TEST(ConnectionSupervisor, RestartSlotAfterNewLanSettings)
{
    SequenceBench bench;
    bench.settings.relayServer = true;
    bench.connect(0);
    bench.record(0).step = 26;
    ASSERT_TRUE(bench.relay(0).ServerListen());
    bench.relay(0).setOpen(true);
    bench.gate(0).setConnectionAttempts(1);
    bench.tcpip.entry(tagTCPIPPara::GateRow, 0) = {0, false, 2, QStringLiteral("127.0.0.2")};
    bench.supervisor.restartSlot(0);
    EXPECT_EQ(bench.record(0).step, 0);
    EXPECT_EQ(bench.gate(0).connectionAttempts(), 0);
    EXPECT_EQ(bench.gate(0).clientAddress(), QStringLiteral("127.0.0.2"));
    EXPECT_EQ(bench.gate(0).clientPort(), 2);
    EXPECT_FALSE(bench.relay(0).isListening());
    for (const int entry : {TickTable::kConnection, TickTable::kIdle, TickTable::kReply})
        EXPECT_EQ(bench.ticks.stamp(entry), bench.clock.tickMs()) << entry;
}

TEST(ConnectionSupervisor, NewLanSettingsGiveTheNewConnectionItsFullThreeSeconds)
{
    // After the dialog the new socket is connecting; the ticks must leave it alone until the step 0
    // limit has run, and only then apply the reconnect switch.
    struct Case
    {
        const char* name;
        bool autoReconnect;
        bool listed;
        // Unanswered for 3 s: the switch decides whether the gate is given up until the image is clicked.
        bool givenUpAfterLimit;
    };
    const Case cases[] = {
        {"自動再接続 NO", false, false, true},
        {"自動再接続 NO, listed gate", false, true, true},
        {"自動再接続 YES", true, false, false},
        {"自動再接続 YES, listed gate", true, true, false},
    };
    for (const Case& c : cases) {
        for (const bool connects : {true, false}) {
            SCOPED_TRACE(std::string(c.name) + (connects ? ", connects" : ", never connects"));
            SequenceBench bench;
            bench.settings.autoReconnect = c.autoReconnect;
            bench.connect(0);
            bench.record(0).step = 26;
            bench.record(0).listed = c.listed;
            bench.supervisor.restartSlot(0);
            EXPECT_TRUE(bench.gate(0).reconnectPending()) << "the dialog connects at once";
            const int recreations = bench.waits;
            for (int i = 0; i < 10; ++i) {
                bench.advance(299);
                bench.tick();
            }
            EXPECT_TRUE(bench.gate(0).reconnectPending());
            EXPECT_EQ(bench.gate(0).connectionAttempts(), 0);
            EXPECT_FALSE(bench.host.errorShown);
            EXPECT_EQ(bench.waits, recreations) << "no second socket while the first connects";
            if (connects) {
                bench.gate(0).setConnected(true);
                bench.tick();
                EXPECT_EQ(bench.record(0).step, 1);
                continue;
            }
            bench.advance(10);
            bench.tick();
            EXPECT_EQ(bench.record(0).step, 0);
            EXPECT_EQ(bench.gate(0).connectionAttempts(), c.givenUpAfterLimit ? 1 : 0);
            EXPECT_EQ(bench.gate(0).reconnectPending(), !c.givenUpAfterLimit);
        }
    }
}

TEST(ConnectionSupervisor, NoSecondRecreationStartsWhileTheTimerTicksInTheWait)
{
    // Re-creations started outside a tick pump events for their wait with ConnectCheckTimer running.
    struct EntryPoint
    {
        const char* name;
        std::function<void(SequenceBench&)> start;
    };
    const EntryPoint entryPoints[] = {
        {"tenth failed ping",
         [](SequenceBench& bench) {
             bench.gate(0).setIdlePingRounds(9);
             bench.supervisor.PingCallback(failedPing(0));
         }},
        {"LAN settings dialog", [](SequenceBench& bench) { bench.supervisor.restartSlot(0); }},
    };
    for (const EntryPoint& entry : entryPoints) {
        SCOPED_TRACE(entry.name);
        SequenceBench bench(2);
        bench.settings.relayServer = true;
        waitForPing(bench);
        bench.ticks.TickMark(TickTable::kReply);
        // A host PC is on the relay, so its server is re-created too.
        bench.relay(0).setOpen(true);
        bench.connect(1);
        bench.record(1).step = 26;
        int ticks = 0;
        QObject::connect(&bench.connectCheckTimer, &QTimer::timeout, [&bench, &ticks] {
            ++ticks;
            bench.sequence.ConnectCheckTimerTimer();
        });
        bench.connectCheckTimer.start(1);
        const RecreateWait pump = eventLoopWait();
        bench.duringWait = [&pump] { pump(30); };
        entry.start(bench);
        bench.connectCheckTimer.stop();
        EXPECT_GT(ticks, 0) << "the timer ticked inside the waits";
        EXPECT_EQ(bench.waits, 2) << "one relay server and one client socket";
        EXPECT_EQ(bench.record(0).step, 0);
        EXPECT_TRUE(bench.gate(0).reconnectPending());
        EXPECT_EQ(bench.record(1).step, 27) << "the other gate went on meanwhile";
    }
}
