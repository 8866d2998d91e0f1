#include "GateLinkTestSupport.h"

#include "gatelink/EepromWatchFlags.h"
#include "gatelink/HostRelay.h"
#include "gatelink/LinkLogger.h"
#include "gatelink/LinkReceiver.h"
#include "gatelink/ResponseDispatcher.h"

#include <gtest/gtest.h>

using namespace GateLinkTest;

namespace {

class FakeRelay final : public HostRelay
{
public:
    bool hostConnected() const override { return connected; }
    void sendToHost(const std::uint8_t* frame, int length) override
    {
        sent.append(QByteArray(reinterpret_cast<const char*>(frame), length));
    }
    bool connected = true;
    QList<QByteArray> sent;
};

struct Receiver
{
    explicit Receiver(bool gateLink = true)
    {
        logger.setTarget(&log);
        logger.setGate(3);
        dispatcher.setGate(3);
        if (gateLink)
            receiver.setRoute(&relay, &dispatcher);
    }
    void receive(const QByteArray& bytes) { receiver.ReceiveBytes(u8(bytes), static_cast<int>(bytes.size())); }

    ManualClock clock{logTime()};
    LinkShared shared{clock};
    LinkLogModel log;
    LinkLogger logger{clock};
    EepromWatchFlags watch;
    ResponseDispatcher dispatcher{shared, logger, watch};
    LinkReceiver receiver{shared, logger, watch};
    FakeRelay relay;
};

const QByteArray kAck = hex("02 00 30 00 03 35 0D");
const QByteArray kBadSum = hex("02 00 30 00 03 36 0D");
const QByteArray kNoEtx = hex("02 00 30 00 04 36 0D");
const QByteArray kCount = frame('G', hex("80"));

struct CompletionCase
{
    const char* name;
    QByteArray frame;
    bool hostConnected;
    bool busy;
    bool countFilter;
    bool relayed;
    int replyStatus;
    QStringList log;
};

} // namespace

TEST(LinkReceiver, RelaysBeforeTheChecksumTestAndDispatchesOnlyGoodFrames)
{
    const QString relayLine = QStringLiteral(" S: G3:[RX]  02 00 30 00 03 35 0D");
    const QString rxLine = QStringLiteral(" C: G3:[RX]  02 00 30 00 03 35 0D ");
    const QString countRx = QStringLiteral(" C: G3:[RX]  02 00 47 01 80 03 CD 0D ");
    const QString sumError = QStringLiteral(" -: G3:[cmt] SUM EEROR");
    const CompletionCase cases[] = {
        {"goodAckToHost", kAck, true, false, true, true, 2, {relayLine}},
        {"goodAckWithoutHost", kAck, false, false, true, false, 2, {rxLine}},
        {"badSumStillRelayed",
         kBadSum,
         true,
         false,
         true,
         true,
         0,
         {QStringLiteral(" S: G3:[RX]  02 00 30 00 03 36 0D"), sumError}},
        {"missingEtx", kNoEtx, false, false, true, false, 0, {sumError}},
        {"watchHoldsTheGate", kAck, true, true, true, false, 2, {rxLine}},
        {"countFrameFiltered", kCount, true, false, true, false, 9, {countRx}},
        {"countFrameUnfiltered",
         kCount,
         true,
         false,
         false,
         true,
         9,
         {QStringLiteral(" S: G3:[RX]  02 00 47 01 80 03 CD 0D")}},
    };
    for (const CompletionCase& c : cases) {
        Receiver r;
        r.relay.connected = c.hostConnected;
        r.watch.busy = c.busy;
        r.receiver.setCountFilter(c.countFilter);
        r.receive(c.frame);
        EXPECT_EQ(r.relay.sent, c.relayed ? QList<QByteArray>{c.frame} : QList<QByteArray>{}) << c.name;
        EXPECT_EQ(r.dispatcher.state().replyStatus, c.replyStatus) << c.name;
        EXPECT_EQ(withoutTime(r.log.lines()), c.log) << c.name;
    }
}

TEST(LinkReceiver, KeepsTheIdOfTheLastFrameEvenWhenItsSumIsWrong)
{
    Receiver r;
    r.receive(frame('D', hex("0102030405060708"), 0x21));
    EXPECT_EQ(r.receiver.lastReceivedId(), 0x21);
    r.receive(hex("02 05 30 00 03 00 0D"));
    EXPECT_EQ(r.receiver.lastReceivedId(), 0x05);
}

TEST(LinkReceiver, RelayLinkOnlyTestsTheHostsFrames)
{
    Receiver r(false);
    r.receive(kAck + kBadSum);
    EXPECT_EQ(withoutTime(r.log.lines()), QStringList{QStringLiteral(" -: G3:[cmt] SUM EEROR")});
    EXPECT_EQ(r.dispatcher.state().replyStatus, 0);
}

TEST(LinkReceiver, CutsWhatTheFullRingCannotTakeAndKeepsWhatItHolds)
{
    Receiver r;
    r.shared.assembling = true;
    const QByteArray flood = kAck + QByteArray(ReceiveRing::kSize + 16, '\x55');
    EXPECT_EQ(r.receiver.ReceiveBytes(u8(flood), static_cast<int>(flood.size())), ReceiveRing::kSize - 1);
    EXPECT_EQ(withoutTime(r.log.lines()),
              QStringList{QStringLiteral(" -: G3:[cmt] 受信バッファが一杯です：24バイトを破棄しました")});

    r.shared.assembling = false;
    r.receiver.Assemble();
    EXPECT_EQ(r.dispatcher.state().replyStatus, 2);
}
