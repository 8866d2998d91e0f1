#include "GateLinkTestSupport.h"

#include "gatelink/TTComXDlg.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace GateLinkTest;

namespace {

// Gate link 0 connected to a stand-in gate listening on loopback.
class ConnectedGate : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
        link = std::make_unique<TTComXDlg>(shared, 0);
        link->LinkInit(&log, 0, false, TcpIpParaEntry{0, false, server.serverPort(), QStringLiteral("127.0.0.1")},
                       TTComXDlg::TcpIp);
        ASSERT_TRUE(QTest::qWaitFor([this] { return server.hasPendingConnections() && link->isConnected(); }, 5000));
        gate = server.nextPendingConnection();
        log.clear();
    }

    QByteArray receivedAtGate(qsizetype count)
    {
        EXPECT_TRUE(QTest::qWaitFor([&] { return gate->bytesAvailable() >= count; }, 5000));
        QTest::qWait(5);
        return gate->readAll();
    }

    ManualClock clock{logTime()};
    LinkShared shared{clock};
    LinkLogModel log;
    QTcpServer server;
    QTcpSocket* gate = nullptr;
    std::unique_ptr<TTComXDlg> link;
};

struct CommandCase
{
    const char* name;
    std::function<int(TTComXDlg&)> send;
    char letter;
    QByteArray data;
    QString label;
    bool frameLogged;
};

std::vector<CommandCase> commandCases()
{
    CountRecord zero;
    return {
        {"DousaModeGet", [](TTComXDlg& l) { return l.DousaModeGet(); }, 'O', hex("00"),
         QStringLiteral("DousaModeSet: "), true},
        {"DousaModeSet", [](TTComXDlg& l) { return l.DousaModeSet(false, 0x00, 0x12, 0x34); }, 'N', hex("00 00 12 34"),
         QStringLiteral("DousaModeSet: "), true},
        {"DousaModeSetFlagForm", [](TTComXDlg& l) { return l.DousaModeSet(true, 0x01, 0x02, 0x03); }, 'N',
         hex("10 01 02 03"), QStringLiteral("DousaModeSet: "), true},
        {"AFI_RDWR_CMD", [](TTComXDlg& l) { return l.AFI_RDWR_CMD(); }, 'O', hex("51"),
         QStringLiteral("AFI_RDWR_CMD RX: "), true},
        {"EEPROM_RD_CMD byte", [](TTComXDlg& l) { return l.EEPROM_RD_CMD(39, false); }, 'O', hex("B4 27"),
         QStringLiteral("EEPROM_RD_CMD RX: "), true},
        {"EEPROM_RD_CMD word 39", [](TTComXDlg& l) { return l.EEPROM_RD_CMD(39, true); }, 'O', hex("70 14 01"),
         QStringLiteral("EEPROM_RD_CMD RX: "), false},
        {"EEPROM_RD_CMD word 255", [](TTComXDlg& l) { return l.EEPROM_RD_CMD(255, true); }, 'O', hex("70 80 01"),
         QStringLiteral("EEPROM_RD_CMD RX: "), false},
        {"EEPROM_RDWR_CMD", [](TTComXDlg& l) { return l.EEPROM_RDWR_CMD(0x70, 3, 2); }, 'O', hex("70 03 02"),
         QStringLiteral("EEPROM_RDWR_CMD RX: "), false},
        {"EEPROM_RDWR_CMD2", [](TTComXDlg& l) { return l.EEPROM_RDWR_CMD(0x72, 1, 2); }, 'O', hex("72 01 02"),
         QStringLiteral("EEPROM_RDWR_CMD2 RX: "), false},
        {"EEPROM_RDWR_CMD3", [](TTComXDlg& l) { return l.EEPROM_RDWR_CMD(0x73, 1, 2); }, 'O', hex("73 01 02"),
         QStringLiteral("EEPROM_RDWR_CMD3 RX: "), false},
        {"RC663_EEPROM_RDWR", [](TTComXDlg& l) { return l.EEPROM_RDWR_CMD(0x7C, 1, 2); }, 'O', hex("7C 01 02"),
         QStringLiteral("RC663_EEPROM_RDWR RX: "), false},
        {"TXON_OFF_CMD on", [](TTComXDlg& l) { return l.TXON_OFF_CMD(true); }, 'N', hex("9E 01"),
         QStringLiteral("TXON_OFF_CMD: "), true},
        {"TXON_OFF_CMD off", [](TTComXDlg& l) { return l.TXON_OFF_CMD(false); }, 'N', hex("9E 00"),
         QStringLiteral("TXON_OFF_CMD: "), true},
        {"ReadLoopCommand", [](TTComXDlg& l) { return l.ReadLoopCommand(0x00, 0x20, 0x00, 0x0C, 0x07); }, 'x',
         hex("F2 00 20 00 0C 07 11 12 13 14 15 16 17 18"), QStringLiteral("Read Loop Command: "), true},
        {"GateGetEEPROMCmd", [](TTComXDlg& l) { return l.GateGetEEPROMCmd(4, 1); }, 'G', hex("01 04 01"),
         QStringLiteral("GateGetEEPROMCmd: "), true},
        {"GateSetEEPROMCmd", [](TTComXDlg& l) { return l.GateSetEEPROMCmd(4, 1, hex("03 01")); }, 'G',
         hex("21 04 01 03 01"), QStringLiteral("GateSetEEPROMCmd: "), true},
        {"GateSetEEPROMCmd short values", [](TTComXDlg& l) { return l.GateSetEEPROMCmd(4, 2, hex("03")); }, 'G',
         hex("21 04 02 03 00 00 00"), QStringLiteral("GateSetEEPROMCmd: "), true},
        {"GateSetDispOutStateCmd", [](TTComXDlg& l) { return l.GateSetDispOutStateCmd(0x7A, 0x10, 0x00); }, 'G',
         hex("26 7A 10 00"), QStringLiteral("GateSetDispOutStateCmd: "), true},
        {"GateRmcountvaluCmd2", [](TTComXDlg& l) { return l.GateRmcountvaluCmd2(); }, 'G', hex("0B"),
         QStringLiteral("GateRmcountvaluCmd2: "), true},
        {"GateWmcountmodeCmd", [](TTComXDlg& l) { return l.GateWmcountmodeCmd(0x0102, 0x0311, 0xFFFF); }, 'G',
         hex("23 02 01 11 03 FF FF"), QStringLiteral("GateWmcountmodeCmd: "), true},
        {"GateWmcountvaluCmd", [zero](TTComXDlg& l) { return l.GateWmcountvaluCmd(zero); }, 'G',
         hex("28") + QByteArray(36, '\0'), QStringLiteral("GateWmcountvaluCmd: "), true},
    };
}

QString txLine(const QByteArray& frame)
{
    QString text = QStringLiteral(" C: G0:[TX]  ");
    for (const char byte : frame)
        text += QString::asprintf("%02X ", static_cast<unsigned char>(byte));
    return text;
}

} // namespace

TEST_F(ConnectedGate, RomVersionAndRestartSendTheirExactBytes)
{
    EXPECT_EQ(link->ROM_VERSION_CMD(), 9);
    EXPECT_EQ(receivedAtGate(9), hex("02 00 4F 02 90 00 03 E6 0D"));
    EXPECT_EQ(link->RESTART_CMD(), 8);
    EXPECT_EQ(receivedAtGate(8), hex("02 00 4E 01 9D 03 F1 0D"));
    EXPECT_EQ(log.lines(), (QStringList{QStringLiteral("09:15:02:417 -: G0:[cmt] ＲＯＭのバージョン情報"),
                                        QStringLiteral("09:15:02:417 C: G0:[TX]  02 00 4F 02 90 00 03 E6 0D "),
                                        QStringLiteral("09:15:02:417 -: G0:[cmt] RESTART_CMD: "),
                                        QStringLiteral("09:15:02:417 C: G0:[TX]  02 00 4E 01 9D 03 F1 0D ")}));
}

TEST_F(ConnectedGate, EveryCommandSendsItsFrameAndLogsItsLabel)
{
    shared.lastUid.set(u8(hex("11 12 13 14 15 16 17 18")));
    for (const CommandCase& c : commandCases()) {
        log.clear();
        const QByteArray expected = GateFrame::BuildFrame(c.letter, c.data);
        EXPECT_EQ(c.send(*link), expected.size()) << c.name;
        EXPECT_EQ(link->LastCommand(), c.letter) << c.name;
        EXPECT_EQ(receivedAtGate(expected.size()), expected) << c.name;
        QStringList lines{QStringLiteral(" -: G0:[cmt] ") + c.label};
        if (c.frameLogged)
            lines.append(txLine(expected));
        EXPECT_EQ(withoutTime(log.lines()), lines) << c.name;
    }
}

TEST_F(ConnectedGate, ZeroCountWriteIsFortyFourBytes)
{
    link->GateWmcountvaluCmd(CountRecord());
    const QByteArray sent = receivedAtGate(44);
    ASSERT_EQ(sent.size(), 44);
    EXPECT_EQ(static_cast<std::uint8_t>(sent[3]), 0x25);
}

TEST_F(ConnectedGate, SendingClearsTheReplyOfThePreviousCommand)
{
    const QByteArray ack = frame('0', hex("90") + QByteArray("123456789"));
    link->ReceiveBytes(u8(ack), static_cast<int>(ack.size()));
    ASSERT_EQ(link->ReplyStatus(), 2);
    ASSERT_TRUE(link->ackFlag());
    link->DousaModeGet();
    EXPECT_EQ(link->ReplyStatus(), 0);
    EXPECT_FALSE(link->ackFlag());
    EXPECT_EQ(link->LastReply(4), 0x90);
}

TEST(GateCommands, SendsWithoutATransportReturnZero)
{
    ManualClock clock(logTime());
    LinkShared shared(clock);
    LinkLogModel log;
    shared.connectionsDeferred = true;
    for (const int type : {int(TTComXDlg::NoTransport), int(TTComXDlg::TcpIp), int(TTComXDlg::Serial)}) {
        TTComXDlg link(shared, 0);
        link.LinkInit(&log, 0, false, TcpIpParaEntry{0, false, 9, QStringLiteral("127.0.0.1")}, type);
        EXPECT_EQ(link.ROM_VERSION_CMD(), 0) << type;
        EXPECT_EQ(link.LastCommand(), 'O');
        EXPECT_FALSE(link.isConnected());
    }
}

namespace {

// A link without transport whose clock moves 100 ms per millisecond of the nested wait; the gate's
// reply is fed in once the given time has passed.
struct Waiting
{
    Waiting()
    {
        link.LinkInit(&log, 0, false, TcpIpParaEntry{}, TTComXDlg::NoTransport);
        driver.setInterval(1);
        QObject::connect(&driver, &QTimer::timeout, [this] {
            clock.advanceMs(100);
            if (!replied && ticksSince(start, clock.tickMs()) >= replyAfterMs && !reply.isEmpty()) {
                replied = true;
                link.ReceiveBytes(u8(reply), static_cast<int>(reply.size()));
            }
        });
    }
    bool wait()
    {
        start = clock.tickMs();
        driver.start();
        const bool result = link.WaitReply();
        driver.stop();
        waitedMs = ticksSince(start, clock.tickMs());
        return result;
    }

    ManualClock clock{logTime()};
    LinkShared shared{clock};
    LinkLogModel log;
    TTComXDlg link{shared, 0};
    QTimer driver;
    QByteArray reply;
    std::uint32_t replyAfterMs = 0;
    std::uint32_t start = 0;
    std::uint32_t waitedMs = 0;
    bool replied = false;
};

} // namespace

TEST(WaitReply, VerdictByWhatArrivesWithinTwoSeconds)
{
    struct Case
    {
        const char* name;
        QByteArray reply;
        std::uint32_t after;
        bool success;
        QStringList comments;
    };
    const Case cases[] = {
        {"ackAfter1500", frame('0', hex("2B")), 1500, true, {}},
        {"nack", frame('1', hex("44")), 300, false, {QStringLiteral("不正なコマンド"), QStringLiteral("NACK 受信")}},
        {"tagFrameWithoutReply", frame('D', hex("01 02 03 04 05 06 07 08")), 300, false, {}},
        {"nothing", QByteArray(), 0, false, {QStringLiteral("レスポンス待ち　タイムオーバー")}},
        {"ackTooLate", frame('0', hex("2B")), 2100, false, {QStringLiteral("レスポンス待ち　タイムオーバー")}},
    };
    for (const Case& c : cases) {
        Waiting w;
        w.reply = c.reply;
        w.replyAfterMs = c.after;
        EXPECT_EQ(w.wait(), c.success) << c.name;
        if (c.success) {
            EXPECT_LT(w.waitedMs, 2000u) << c.name;
        } else if (c.reply.isEmpty()) {
            EXPECT_GE(w.waitedMs, 2000u) << c.name;
        }
        QStringList comments;
        for (const QString& line : w.log.lines())
            if (line.contains(QStringLiteral(":[cmt] ")))
                comments.append(line.section(QStringLiteral(":[cmt] "), 1));
        EXPECT_EQ(comments, c.comments) << c.name;
    }
}

TEST(WaitReply, LampModeRequestReportsItsOutcome)
{
    Waiting acked;
    acked.reply = frame('0', hex("2B"));
    acked.replyAfterMs = 200;
    acked.driver.start();
    EXPECT_EQ(acked.link.GateSetAutoLampModeCmd(1), 1);
    EXPECT_EQ(acked.log.lines().at(1).mid(12), QStringLiteral(" C: G0:[TX]  02 00 47 02 2B 01 03 7A 0D "));

    Waiting silent;
    silent.driver.start();
    EXPECT_EQ(silent.link.GateSetAutoLampModeCmd(2), 0);
    EXPECT_EQ(silent.log.lines().at(1).mid(12), QStringLiteral(" C: G0:[TX]  02 00 47 02 2B 00 03 79 0D "));
}

TEST(WaitReply, EndsQuietlyWhenTheLinkGoesAwayDuringTheWait)
{
    ManualClock clock(logTime());
    LinkShared shared(clock);
    auto* link = new TTComXDlg(shared, 0);
    QTimer::singleShot(5, [link] { delete link; });
    EXPECT_FALSE(link->WaitReply());
    EXPECT_EQ(shared.links[0], nullptr);
}
