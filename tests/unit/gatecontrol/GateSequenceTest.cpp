#include "SequenceBench.h"

#include "counting/CountFiles.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray data;
    for (const int value : values)
        data.append(static_cast<char>(value));
    return data;
}

QByteArray romReply(const char* version)
{
    return bytes({0x90}) + QByteArray(version);
}

} // namespace

TEST(GateSequence, VersionCharactersDecideTheWordLayout)
{
    struct Case
    {
        const char* version;
        bool before;
        bool after;
    };
    const Case cases[] = {{"129-01.00", false, true},
                          {"135-01.00", true, false},
                          {"140-01.00", false, true},
                          {"099-01.00", false, false},
                          {"099-01.00", true, true}};
    for (const Case& c : cases) {
        SequenceBench bench;
        bench.record(0).wordLayout = c.before;
        bench.awaitRomVersion();
        ASSERT_EQ(bench.record(0).step, 3);
        bench.reply(0, '0', romReply(c.version));
        bench.tick();
        EXPECT_EQ(bench.record(0).step, 4) << c.version;
        EXPECT_EQ(bench.record(0).wordLayout, c.after) << c.version;
    }
}

TEST(GateSequence, NackGoesOneStepBackAndResendsAfterTheSlotsDelay)
{
    SequenceBench bench(3);
    bench.connect(2);
    bench.record(2).step = 2;
    bench.record(2).startDelay = 1;
    bench.advance(1200);
    bench.tick();
    ASSERT_EQ(bench.record(2).step, 3);
    bench.reply(2, '1', romReply("135-01.00"));
    bench.tick();
    EXPECT_EQ(bench.record(2).step, 2);
    EXPECT_EQ(bench.logLines(QStringLiteral(":[TX]  NACK 受信")), 1);
    // 100 x 2 + 1000 x 1 ms after the previous send.
    bench.advance(1199);
    bench.tick();
    EXPECT_EQ(bench.record(2).step, 2);
    bench.advance(1);
    bench.tick();
    EXPECT_EQ(bench.record(2).step, 3);
}

TEST(GateSequence, AnswerSurvivesACountFrameThatArrivesBeforeTheTick)
{
    // The gate pushes a visitor count right after its answer, so LastReply holds the 'G' frame
    // when the sequence looks; the answer and its version characters must not be lost.
    const QByteArray countFrame = bytes({0x81}) + QByteArray(36, '\0');
    for (const char answer : {'0', '1'}) {
        SequenceBench bench;
        bench.awaitRomVersion();
        ASSERT_EQ(bench.record(0).step, 3);
        bench.reply(0, answer, romReply("129-01.00"));
        bench.reply(0, 'G', countFrame);
        ASSERT_EQ(bench.gate(0).LastReply(2), 'G');
        bench.tick();
        EXPECT_EQ(bench.record(0).step, answer == '0' ? 4 : 2) << answer;
        EXPECT_EQ(bench.record(0).wordLayout, answer == '0') << answer;
    }
}

TEST(GateSequence, DropRepairedByTheLinkBeforeTheTickRestartsTheStartUp)
{
    SequenceBench bench;
    bench.connect(0);
    bench.record(0).step = 26;
    bench.record(0).startDelay = 0;
    bench.tick();
    ASSERT_EQ(bench.record(0).step, 27);
    // The link's own retry reconnects between two ticks: the reader may have restarted.
    bench.gate(0).setConnected(false);
    bench.gate(0).setConnected(true);
    bench.tick();
    EXPECT_EQ(bench.record(0).step, 1) << "start-up again on the live connection";
    EXPECT_EQ(bench.record(0).startDelay, 5);
    EXPECT_EQ(bench.waits, 0) << "the socket is not re-created";
    bench.tick(3);
    EXPECT_EQ(bench.record(0).step, 2) << "the drop is counted once";
}

TEST(GateSequence, NoReplyWithinThreeSeconds)
{
    struct Case
    {
        const char* name;
        bool closing;
        bool busy;
        int step;
    };
    // A connected gate is reconnected; during shutdown or while the tag view is busy the reply is given up.
    const Case cases[] = {{"reconnect", false, false, 0}, {"closing", true, false, 4}, {"busy", false, true, 4}};
    for (const Case& c : cases) {
        SequenceBench bench;
        bench.awaitRomVersion();
        ASSERT_EQ(bench.record(0).step, 3);
        if (c.closing)
            bench.closeTimer.start(100000);
        bench.host.busy = c.busy;
        bench.advance(2999);
        bench.tick();
        EXPECT_EQ(bench.record(0).step, 3) << c.name;
        bench.advance(1);
        bench.tick();
        EXPECT_EQ(bench.record(0).step, c.step) << c.name;
        if (c.step == 0) {
            EXPECT_EQ(bench.record(0).startDelay, 5) << "a new connection waits longer";
            EXPECT_TRUE(bench.gate(0).reconnectPending());
            EXPECT_FALSE(bench.gate(0).isConnected());
            EXPECT_EQ(bench.waits, 1);
        }
    }
}

TEST(GateSequence, ModeBytesAreReadOnceAndBitFourClearedForTagReading)
{
    for (const bool countOnly : {false, true}) {
        SequenceBench bench;
        bench.settings.countOnly = countOnly;
        bench.connect(0);
        bench.record(0).step = 4;
        bench.tick();
        ASSERT_EQ(bench.record(0).step, 5);
        bench.reply(0, '0', bytes({0x00, 0x01, 0x02, 0x14, 0, 0, 0, 0, 0}));
        bench.tick();
        EXPECT_EQ(bench.record(0).step, 6);
        EXPECT_EQ(bench.record(0).m1, 0x01);
        EXPECT_EQ(bench.record(0).m3, countOnly ? 0x14 : 0x04);
        bench.tick();
        EXPECT_TRUE(bench.logged(countOnly ? QStringLiteral("02 00 4E 04 00 00 02 14")
                                           : QStringLiteral("02 00 4E 04 00 00 02 04")));
        // After a reconnect step 4 goes straight to the mode write.
        bench.record(0).step = 4;
        bench.tick();
        EXPECT_EQ(bench.record(0).step, 6);
    }
}

TEST(GateSequence, AisleCountFromByteOrWordLayout)
{
    struct Case
    {
        bool word;
        QByteArray data;
        int aisles;
    };
    const Case cases[] = {{false, bytes({0xB4, 0x06}), 3},
                          {false, bytes({0xB4, 0x00}), 1},
                          {true, bytes({0x70, 0x14, 0x01, 0x00, 0x0E}), 7}};
    for (const Case& c : cases) {
        SequenceBench bench;
        bench.connect(0);
        bench.record(0).wordLayout = c.word;
        bench.record(0).step = 12;
        bench.tick();
        bench.reply(0, '0', c.data);
        bench.tick();
        EXPECT_EQ(bench.record(0).step, 14);
        EXPECT_EQ(bench.record(0).aisleCount, c.aisles);
        EXPECT_EQ(bench.counts.aisleCount(0), c.aisles);
        EXPECT_EQ(bench.host.timer1Starts, 1);
    }
}

TEST(GateSequence, SteadyStatePingsEveryThreeSecondsAndChecksTheVersionOnceAMinute)
{
    SequenceBench bench;
    bench.connect(0);
    bench.record(0).step = 26;
    bench.ticks.TickMark(TickTable::kCheck + 0);
    int versionChecks = 0;
    for (int ms = 0; ms < 60500; ++ms) {
        bench.tick();
        SequenceRecord& record = bench.record(0);
        if (record.step == 28 && record.expectedCode == 0x90 && bench.gate(0).ReplyStatus() == 0) {
            ++versionChecks;
            bench.reply(0, '0', romReply("135-01.00"));
        }
        if (record.step == 28 && record.expectedCode == 0) {
            TAsyncPingResult answered;
            answered.identifier = 1;
            bench.supervisor.PingCallback(answered);
        }
        bench.advance(1);
    }
    EXPECT_EQ(versionChecks, 1);
    // Every 3 s and a tick or two: pings from 3 s to 57 s, the version check after 60 s.
    EXPECT_EQ(bench.ping.calls.size(), 19);
    EXPECT_EQ(bench.ping.calls.first(), std::make_pair(1, QStringLiteral("127.0.0.1")));
    EXPECT_NE(bench.record(0).step, 0) << "the healthy gate was never reconnected";
}

TEST(GateSequence, WithoutPingsAHealthyGateWaitsForItsVersionCheck)
{
    SequenceBench bench;
    bench.ping.available = false;
    bench.connect(0);
    bench.record(0).step = 26;
    bench.ticks.TickMark(TickTable::kCheck + 0);
    for (int ms = 0; ms < 20000; ++ms) {
        bench.tick();
        bench.advance(1);
    }
    EXPECT_GE(bench.ping.calls.size(), 6);
    EXPECT_GE(bench.record(0).step, 26) << "never reconnected for want of a ping answer";
    EXPECT_EQ(bench.waits, 0);
}

TEST(GateSequence, ConnectionWaitTriesEveryThreeSecondsThenListsTheGate)
{
    SequenceBench bench(2);
    bench.ticks.TickMark(TickTable::kConnection + 0);
    bench.ticks.TickMark(TickTable::kConnection + 1);
    bench.ticks.TickMark(TickTable::kReply + 0);
    bench.ticks.TickMark(TickTable::kReply + 1);
    bench.gate(0).RecreateClientSocket();
    bench.advance(3000);
    bench.tick();
    EXPECT_TRUE(bench.gate(0).reconnectPending());
    EXPECT_FALSE(bench.host.errorShown);
    bench.advance(7000);
    bench.tick();
    EXPECT_TRUE(bench.host.errorShown);
    EXPECT_EQ(bench.host.errorText, QStringLiteral("A及び\rBが\r接続されていません!!"));
    EXPECT_EQ(bench.host.errorFont, 24);
    EXPECT_TRUE(bench.record(0).listed);
    bench.gate(0).setConnected(true);
    bench.gate(1).setConnected(true);
    bench.tick();
    EXPECT_EQ(bench.record(0).step, 1);
    EXPECT_EQ(bench.record(1).step, 1);
}

TEST(GateSequence, AlarmPatternBySelectorAndMarking)
{
    for (const int selector : {0, 1}) {
        SequenceBench bench;
        bench.connect(0);
        bench.host.selector = selector;
        bench.record(0).step = 26;
        ASSERT_TRUE(bench.sequence.requestAlarm(0));
        EXPECT_FALSE(bench.sequence.requestAlarm(0)) << "only taken at 26";
        bench.tick();
        EXPECT_TRUE(
            bench.logged(selector == 1 ? QStringLiteral("47 04 26 7A 10 00") : QStringLiteral("47 04 26 79 10 00")));
        EXPECT_EQ(bench.host.gridRestarts, 1);
        bench.reply(0, '0', bytes({0x26}));
        bench.tick();
        EXPECT_EQ(bench.host.alarmsHandled, QList<int>{0});
        bench.tick();
        EXPECT_EQ(bench.record(0).step, 26);
    }
}

TEST(GateSequence, ShutdownWritesZeroCountsThenRestartsTheReader)
{
    SequenceBench bench;
    bench.connect(0);
    CountRecord last;
    last.in[0] = 5;
    bench.counts.setLastValues(0, last, true);
    bench.closeTimer.start(100000);
    bench.record(0).step = SequenceRecord::kShutdown;
    bench.tick();
    EXPECT_TRUE(bench.logged(QStringLiteral("02 00 47 25 28 00 00")));
    bench.reply(0, '0', bytes({0x28}));
    bench.tick(2);
    EXPECT_EQ(bench.counts.lastValues(0).in[0], 0u);
    EXPECT_EQ(bench.record(0).step, 1003);
    bench.tick();
    EXPECT_EQ(bench.record(0).step, SequenceRecord::kShutdownDone);
    EXPECT_TRUE(bench.logged(QStringLiteral("02 00 4E 01 9D")));
}

// The zero write makes the gate forget what it counted, so the counts must be on disk before it goes out,
// after every count it still reports, and with the zeroed base once it has taken the write.
TEST(GateSequence, ShutdownStoresTheCountsBeforeTheGateForgetsThem)
{
    TempFolder temp;
    SequenceBench bench;
    CountFiles files(bench.counts, bench.clock, temp.path());
    const auto entries = [](std::int32_t in) {
        CountRecord record;
        record.in[0] = in;
        return record;
    };
    struct Stored
    {
        int events = 0;
        std::int32_t lastIn = -1;
    };
    const auto stored = [&] {
        CountModel model(bench.clock);
        CountFiles reader(model, bench.clock, temp.path());
        reader.Read_PC_file();
        return Stored{model.eventCount(), model.lastValues(0).in[0]};
    };
    bench.connect(0);
    bench.counts.setLastValues(0, entries(10), true);
    bench.counts.CountValuesReceived(0, entries(15));
    bench.closeTimer.start(100000);
    bench.record(0).step = SequenceRecord::kShutdown;

    bench.tick();
    ASSERT_TRUE(bench.logged(QStringLiteral("02 00 47 25 28 00 00")));
    EXPECT_EQ(stored().events, 1);
    EXPECT_EQ(stored().lastIn, 15);

    bench.counts.CountValuesReceived(0, entries(17));
    EXPECT_EQ(stored().events, 2);
    EXPECT_EQ(stored().lastIn, 17);

    bench.reply(0, '0', bytes({0x28}));
    bench.tick(2);
    EXPECT_EQ(bench.record(0).step, 1003);
    EXPECT_EQ(stored().events, 2);
    EXPECT_EQ(stored().lastIn, 0);
}

TEST(GateSequence, SilentGateStillFinishesItsShutdown)
{
    SequenceBench bench;
    bench.connect(0);
    bench.closeTimer.start(100000);
    bench.record(0).step = SequenceRecord::kShutdown;
    bench.tick();
    bench.advance(3000);
    bench.tick(3);
    EXPECT_EQ(bench.record(0).step, SequenceRecord::kShutdownDone);
}

TEST(GateSequence, DeferredStartWaitsForTheNetwork)
{
    SequenceBench bench;
    bench.shared.connectionsDeferred = true;
    bench.host.ready = false;
    bench.tick();
    EXPECT_EQ(bench.connectCheckTimer.interval(), 1000);
    EXPECT_TRUE(bench.connectCheckTimer.isActive());
    EXPECT_EQ(bench.host.linkRecreations, 0);
    bench.host.ready = true;
    bench.tick();
    EXPECT_EQ(bench.host.linkRecreations, 1);
    EXPECT_FALSE(bench.shared.connectionsDeferred);
    EXPECT_EQ(bench.connectCheckTimer.interval(), 1);
    EXPECT_EQ(bench.ticks.stamp(TickTable::kConnection), bench.clock.tickMs());
}

TEST(GateSequence, RfPauseButtonFollowsTheShownGate)
{
    struct Case
    {
        int shown;
        int step;
        bool enabled;
    };
    const Case cases[] = {{0, 26, true}, {0, 32, true}, {0, 13, false}, {0, 33, false}, {-1, 26, false}};
    for (const Case& c : cases) {
        SequenceBench bench;
        bench.connect(0);
        bench.host.busy = true; // keeps the idle steps where they are
        bench.host.activeSlot = c.shown;
        bench.record(0).step = c.step;
        bench.host.rfEnabled = !c.enabled;
        bench.tick();
        EXPECT_EQ(bench.host.rfEnabled, c.enabled) << c.step;
        bench.tick();
        EXPECT_EQ(bench.host.rfChanges, 1) << "set only when it differs";
    }
}
