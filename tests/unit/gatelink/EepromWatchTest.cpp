#include "GateLinkTestSupport.h"

#include "config/SettingsRecord.h"
#include "gatelink/EepromCompare.h"
#include "gatelink/EepromLogFile.h"
#include "gatelink/EepromWatch.h"
#include "gatelink/TTComXDlg.h"
#include "platform/Cp932Codec.h"
#include "support/TempFolder.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <utility>

using namespace GateLinkTest;

namespace {

EepromWatchSettings target(bool passage, int factor, int voice)
{
    EepromWatchSettings settings;
    settings.passageMode = passage;
    settings.readTimeFactor = static_cast<quint8>(factor);
    settings.voiceCount = static_cast<quint8>(voice);
    return settings;
}

struct CompareCase
{
    const char* name;
    EepromWord read;
    EepromWatchSettings settings;
    EepromWord written;
    QStringList lines;
};

} // namespace

TEST(EepromCompare, CorrectsEachDifferingFieldAndKeepsTheGatesOtherBits)
{
    const CompareCase cases[] = {
        {"infrared mode only",
         {0x01, 0x83},
         target(false, 3, 1),
         {0x01, 0x03},
         {QStringLiteral("復元前の値：赤外線センサー動作モード：通過用"),
          QStringLiteral("復元後の値：赤外線センサー動作モード：入出用")}},
        {"to passage",
         {0x01, 0x03},
         target(true, 3, 1),
         {0x01, 0x83},
         {QStringLiteral("復元前の値：赤外線センサー動作モード：入出用"),
          QStringLiteral("復元後の値：赤外線センサー動作モード：通過用")}},
        {"multiplier only, other bits kept",
         {0xF1, 0x75},
         target(false, 3, 1),
         {0xF1, 0x73},
         {QStringLiteral("復元前の値：通過時の読み取り有効時間の倍率：5"),
          QStringLiteral("復元後の値：通過時の読み取り有効時間の倍率：3")}},
        {"voice count only, in hex",
         {0xAC, 0x03},
         target(false, 3, 1),
         {0xA1, 0x03},
         {QStringLiteral("復元前の値：音声再生回数：0XC"), QStringLiteral("復元後の値：音声再生回数：0X1")}},
        {"all three in order",
         {0x70, 0xFF},
         target(false, 3, 1),
         {0x71, 0x73},
         {QStringLiteral("復元前の値：赤外線センサー動作モード：通過用"),
          QStringLiteral("復元後の値：赤外線センサー動作モード：入出用"),
          QStringLiteral("復元前の値：通過時の読み取り有効時間の倍率：15"),
          QStringLiteral("復元後の値：通過時の読み取り有効時間の倍率：3"),
          QStringLiteral("復元前の値：音声再生回数：0X0"), QStringLiteral("復元後の値：音声再生回数：0X1")}},
        {"unchanged", {0xF1, 0x73}, target(false, 3, 1), {0xF1, 0x73}, {}},
        // A multiplier above what the four bits hold is compared as what would be written.
        {"multiplier 19 held as 3", {0x01, 0x03}, target(false, 19, 1), {0x01, 0x03}, {}},
    };
    for (const auto& c : cases) {
        EepromWord word = c.read;
        QStringList lines;
        EXPECT_EQ(EepromCompare(word, c.settings, lines), !c.lines.isEmpty()) << c.name;
        EXPECT_EQ(word, c.written) << c.name;
        EXPECT_EQ(lines, c.lines) << c.name;
    }
}

TEST(EepromLogFile, WritesTheWholeLogInCp932WithCrLfAndNothingWhenEmpty)
{
    TempFolder folder;
    const double now = DayNumber::fromDate(QDate(2024, 5, 1)) + DayNumber::encodeTime(9, 7, 59);
    EXPECT_EQ(EepromLogFile::fileName(now), QStringLiteral("EEPROM_ERROR_LOG_240501_0907.txt"));

    EXPECT_FALSE(EepromLogFile::WriteLinkLogFile(folder.path(), now, {}));
    EXPECT_TRUE(QDir(folder.path()).isEmpty());

    folder.write(EepromLogFile::fileName(now), "old content that is longer than the new one\r\n");
    const QStringList lines{QStringLiteral("09:07:59:000 -: G0:[cmt] EEPROM監視機能：復元完了"), QStringLiteral("b")};
    ASSERT_TRUE(EepromLogFile::WriteLinkLogFile(folder.path(), now, lines));
    EXPECT_EQ(folder.read(EepromLogFile::fileName(now)),
              Cp932Codec::encode(lines.join(QStringLiteral("\r\n"))) + "\r\n");
}

TEST(EepromLogFile, AFolderThatCannotBeWrittenLeavesNoFile)
{
    TempFolder folder;
    const QString missing = folder.file(QStringLiteral("missing/deeper"));
    EXPECT_FALSE(EepromLogFile::WriteLinkLogFile(missing, logTime(), {QStringLiteral("line")}));
    EXPECT_TRUE(QDir(folder.path()).isEmpty());
}

namespace {

// Gate link 0 without a transport, marked open and connected, so that its watch runs; what it sends
// is read from its TX log lines and the gate's replies are fed into its receive path.
class WatchedGate : public ::testing::Test
{
protected:
    void SetUp() override
    {
        shared.eeprom = target(false, 3, 1);
        shared.dataFolder = folder.path();
        link.LinkInit(&log, 0, false, TcpIpParaEntry{}, TTComXDlg::NoTransport);
        link.setOpen(true);
        link.setConnected(true);
        log.clear();
    }

    EepromWatch& watch() { return link.eepromWatch(); }
    void tick(int times = 1)
    {
        for (int i = 0; i < times; ++i)
            watch().eepromChkTimerTimer();
    }
    void reply(const QByteArray& data, char command = '0')
    {
        const QByteArray bytes = frame(command, data);
        link.ReceiveBytes(u8(bytes), static_cast<int>(bytes.size()));
    }
    QStringList sent() const { return linesWith(QStringLiteral(":[TX]  ")); }
    QStringList comments() const { return linesWith(QStringLiteral(":[cmt] ")); }
    QStringList linesWith(const QString& marker) const
    {
        QStringList found;
        for (const QString& line : log.lines())
            if (const auto at = line.indexOf(marker); at >= 0)
                found << line.mid(at + marker.size());
        return found;
    }
    static QString hexOf(const QByteArray& bytes)
    {
        QString text;
        for (const char byte : bytes)
            text += QStringLiteral("%1 ").arg(static_cast<std::uint8_t>(byte), 2, 16, QLatin1Char('0')).toUpper();
        return text;
    }
    QStringList logFiles() const
    {
        return QDir(folder.path()).entryList({QStringLiteral("EEPROM_ERROR_LOG_*.txt")}, QDir::Files);
    }

    TempFolder folder;
    ManualClock clock{logTime()};
    LinkShared shared{clock};
    LinkLogModel log;
    TTComXDlg link{shared, 0};
};

const QByteArray kReadRequest = frame('G', hex("01 04 01"));

} // namespace

TEST_F(WatchedGate, AChangedWordIsReadComparedAndWrittenBackThenLogged)
{
    QSignalSpy status(&watch(), &EepromWatch::statusText);
    watch().requestCheck();
    tick();
    EXPECT_EQ(sent(), QStringList{hexOf(kReadRequest)});
    EXPECT_TRUE(link.watchFlags().busy);
    EXPECT_EQ(watch().state(), EepromWatch::ReadWait);
    EXPECT_EQ(watch().busyCountdown(), EepromWatch::kCheckTicks);

    reply(hex("01 04 01 01 83"));
    EXPECT_FALSE(link.watchFlags().busy);
    tick();
    EXPECT_EQ(watch().state(), EepromWatch::Restore);
    EXPECT_EQ(
        comments().mid(1),
        (QStringList{QStringLiteral(" EEPROM監視機能：EEPROMの変更を検知しました。復元処理を開始します。前回監視時刻..."
                                    "これが最初のチェックです"),
                     QStringLiteral("復元前の値：赤外線センサー動作モード：通過用"),
                     QStringLiteral("復元後の値：赤外線センサー動作モード：入出用")}));
    ASSERT_EQ(status.size(), 1);
    EXPECT_EQ(status[0][0].toString(), QStringLiteral("09:15:02: EEPROM監視機能：EEPROMの変更を検知しました。"));
    EXPECT_EQ(watch().lastCheckTime(), QStringLiteral("09:15:02"));

    tick();
    EXPECT_EQ(sent().last(), hexOf(frame('G', hex("21 04 01 01 03"))));
    EXPECT_EQ(watch().state(), EepromWatch::WriteWait);
    EXPECT_TRUE(logFiles().isEmpty());

    reply(hex("21"));
    tick();
    EXPECT_EQ(comments().last(), QStringLiteral("EEPROM監視機能：復元完了"));
    EXPECT_EQ(watch().state(), EepromWatch::Idle);
    ASSERT_EQ(logFiles(), QStringList{QStringLiteral("EEPROM_ERROR_LOG_240501_0915.txt")});
    const QString written = Cp932Codec::decode(folder.read(logFiles()[0]));
    EXPECT_TRUE(written.contains(QStringLiteral("復元後の値：赤外線センサー動作モード：入出用\r\n")))
        << written.toStdString();
    EXPECT_TRUE(written.endsWith(QStringLiteral("EEPROM監視機能：復元完了\r\n")));
}

TEST_F(WatchedGate, AnUnchangedWordIsOnlyLoggedAndTheNextCheckNamesItsTime)
{
    watch().requestCheck();
    tick();
    reply(hex("01 04 01 F1 73"));
    tick();
    EXPECT_EQ(comments().last(), QStringLiteral(" EEPROM監視機能：EEPROMの変更はありませんでした"));
    EXPECT_EQ(watch().state(), EepromWatch::Idle);
    tick(3);
    EXPECT_EQ(sent(), QStringList{hexOf(kReadRequest)});

    clock.advanceMs(3600000);
    watch().requestCheck();
    tick();
    reply(hex("01 04 01 F0 73"));
    tick();
    EXPECT_TRUE(comments().contains(
        QStringLiteral(" EEPROM監視機能：EEPROMの変更を検知しました。復元処理を開始します。前回監視時刻...09:15:02")));
    EXPECT_EQ(watch().lastCheckTime(), QStringLiteral("10:15:02"));
}

// The start-up sequence keeps sending on the same link: its reply may replace LastReply between the
// read reply and the watch's next tick.
TEST_F(WatchedGate, TheWordIsTakenFromTheReadReplyEvenWhenAnotherReplyFollows)
{
    watch().requestCheck();
    tick();
    reply(hex("01 04 01 01 83"));
    reply(hex("90 31 33 35 2D 30 31 2E 30 30"));
    tick();
    EXPECT_EQ(watch().state(), EepromWatch::Restore);
    tick();
    EXPECT_EQ(sent().last(), hexOf(frame('G', hex("21 04 01 01 03"))));
}

TEST_F(WatchedGate, AGarbledReadReplyWritesNothing)
{
    const QByteArray replies[] = {hex("01 04 01 01"), hex("01 05 01 01 83"), hex("01 04 02 01 83")};
    for (const QByteArray& data : replies) {
        watch().requestCheck();
        tick();
        reply(data);
        tick(3);
        EXPECT_EQ(watch().state(), EepromWatch::Idle) << hexOf(data).toStdString();
        EXPECT_EQ(sent().last(), hexOf(kReadRequest)) << hexOf(data).toStdString();
        EXPECT_EQ(comments().last(), QStringLiteral(" EEPROM監視機能：EEPROMの読み出し応答が不正です。復元しません"));
    }
}

TEST_F(WatchedGate, ASilentOrRefusingGateIsGivenUpAfterOneHundredTicks)
{
    for (const bool nack : {false, true}) {
        watch().requestCheck();
        tick();
        if (nack)
            reply(hex("01 41"), '1');
        tick(EepromWatch::kCheckTicks - 1);
        EXPECT_TRUE(link.watchFlags().busy) << nack;
        EXPECT_EQ(watch().state(), EepromWatch::ReadWait) << nack;
        tick();
        EXPECT_FALSE(link.watchFlags().busy) << nack;
        EXPECT_EQ(watch().state(), EepromWatch::Idle) << nack;
        EXPECT_EQ(sent().size(), nack ? 2 : 1);
    }

    // Abandoned while waiting for the write reply: nothing more is sent.
    watch().requestCheck();
    tick();
    reply(hex("01 04 01 01 83"));
    tick(2);
    const int sentBefore = static_cast<int>(sent().size());
    tick(EepromWatch::kCheckTicks);
    EXPECT_FALSE(link.watchFlags().busy);
    EXPECT_EQ(watch().state(), EepromWatch::Idle);
    EXPECT_EQ(sent().size(), sentBefore);
    EXPECT_TRUE(logFiles().isEmpty());
}

TEST_F(WatchedGate, HostActivityHoldsEveryStepUntilASecondOfQuiet)
{
    struct Step
    {
        const char* name;
        std::function<void()> reach;
        int sentAfter;
    };
    const Step steps[] = {
        {"request", [this] { watch().requestCheck(); }, 1},
        {"read reply", [this] { reply(hex("01 04 01 01 83")); }, 1},
        {"restore", [] {}, 2},
        {"write reply", [this] { reply(hex("21")); }, 2},
    };
    const int before = static_cast<int>(comments().size());
    for (const auto& step : steps) {
        step.reach();
        const int state = watch().state();
        link.setHostActivity(true);
        link.eepromChkReceiveTimeOut().start();
        tick(5);
        EXPECT_EQ(watch().state(), state) << step.name;
        QTest::qWait(500);
        EXPECT_TRUE(link.hostActivity()) << step.name;
        tick();
        EXPECT_EQ(watch().state(), state) << step.name;
        ASSERT_TRUE(QTest::qWaitFor([this] { return !link.hostActivity(); }, 2000)) << step.name;
        tick();
        EXPECT_NE(watch().state(), state) << step.name;
        EXPECT_EQ(sent().size(), step.sentAfter) << step.name;
    }
    EXPECT_GT(comments().size(), before);
    EXPECT_EQ(comments().last(), QStringLiteral("EEPROM監視機能：復元完了"));
}

namespace {

// Moves the clock 100 ms per millisecond while the lamp command waits; the gate's answer, when set,
// is fed in after the first step.
class LampWait
{
public:
    LampWait(ManualClock& clock, TTComXDlg& link, QByteArray answer) : m_answer(std::move(answer))
    {
        m_driver.setInterval(1);
        QObject::connect(&m_driver, &QTimer::timeout, [&clock, &link, this] {
            clock.advanceMs(100);
            if (!m_answer.isEmpty()) {
                const QByteArray bytes = std::exchange(m_answer, QByteArray());
                link.ReceiveBytes(u8(bytes), static_cast<int>(bytes.size()));
            }
        });
        m_driver.start();
    }

private:
    QByteArray m_answer;
    QTimer m_driver;
};

} // namespace

TEST_F(WatchedGate, ALampRequestSendsItsModeAndASilentGateDoesNotHoldTheHostBack)
{
    struct Case
    {
        const char* name;
        int request;
        QByteArray answer;
        const char* mode;
        const char* lastComment;
    };
    const Case cases[] = {
        {"on, acknowledged", 1, frame('0', hex("2B")), "2B 01", nullptr},
        {"off, acknowledged", 2, frame('0', hex("2B")), "2B 00", nullptr},
        {"on, silent", 1, {}, "2B 01", "レスポンス待ち　タイムオーバー"},
        {"off, refused", 2, frame('1', hex("2B 41")), "2B 00", "NACK 受信"},
    };
    for (const auto& c : cases) {
        log.clear();
        watch().requestLamp(c.request);
        {
            LampWait wait(clock, link, c.answer);
            tick();
        }
        EXPECT_EQ(sent(), QStringList{hexOf(frame('G', hex(c.mode)))}) << c.name;
        EXPECT_EQ(watch().lampRequest(), 0) << c.name;
        EXPECT_EQ(watch().state(), EepromWatch::Idle) << c.name;
        EXPECT_FALSE(link.watchFlags().busy) << c.name;
        if (c.lastComment) {
            EXPECT_EQ(comments().last(), QString::fromUtf8(c.lastComment)) << c.name;
        }
        tick();
        EXPECT_EQ(sent().size(), 1) << c.name;
    }
}

TEST_F(WatchedGate, ACheckGoesBeforeALampRequestAndNothingRunsOnAClosedLink)
{
    link.setOpen(false);
    watch().requestCheck();
    watch().requestLamp(1);
    tick(3);
    EXPECT_TRUE(sent().isEmpty());

    link.setOpen(true);
    tick();
    EXPECT_EQ(sent(), QStringList{hexOf(kReadRequest)});
    EXPECT_EQ(watch().lampRequest(), 1);
    watch().requestLamp(0);
    EXPECT_EQ(watch().lampRequest(), 1);
}
