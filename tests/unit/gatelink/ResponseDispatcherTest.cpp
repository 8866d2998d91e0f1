#include "GateLinkTestSupport.h"

#include "counting/CountModel.h"
#include "gatelink/EepromWatchFlags.h"
#include "gatelink/LinkLogger.h"
#include "gatelink/ResponseDispatcher.h"
#include "platform/LittleEndian.h"

#include <gtest/gtest.h>

#include <optional>

using namespace GateLinkTest;

namespace {

struct Dispatcher
{
    Dispatcher()
    {
        logger.setTarget(&log);
        logger.setGate(3);
        dispatcher.setGate(3);
        shared.sink = &sink;
    }
    void dispatch(const QByteArray& bytes, bool relayed = false)
    {
        dispatcher.Dispatch(u8(bytes), static_cast<int>(bytes.size()), relayed);
    }
    // The texts of the comment lines, without time, tag and marker.
    QStringList comments() const
    {
        QStringList texts;
        for (const QString& line : log.lines()) {
            const qsizetype at = line.indexOf(QStringLiteral(":[cmt] "));
            if (at >= 0)
                texts.append(line.mid(at + 7));
        }
        return texts;
    }
    ReplyState& state() { return dispatcher.state(); }
    QByteArray lastReply() const
    {
        const ReplyState& s = dispatcher.state();
        return QByteArray(reinterpret_cast<const char*>(s.lastReply.data()), s.lastReplyLength);
    }

    ManualClock clock{logTime()};
    LinkShared shared{clock};
    RecordingSink sink;
    LinkLogModel log;
    LinkLogger logger{clock};
    EepromWatchFlags watch;
    ResponseDispatcher dispatcher{shared, logger, watch};
};

QByteArray text(const char* characters)
{
    return QByteArray(characters);
}

QByteArray countBytes()
{
    QByteArray bytes(36, '\0');
    for (int i = 0; i < 36; ++i)
        bytes[i] = static_cast<char>(i + 1);
    return bytes;
}

struct AckCase
{
    char lastCommand;
    QByteArray data;
    int replyStatus;
    QStringList comments;
};

} // namespace

TEST(ResponseDispatcher, AckRoutedByLastCommandWritesItsWords)
{
    const AckCase cases[] = {
        {'O', hex("90") + text("A1B2C3D4E"), 2, {QStringLiteral("ROMバージョン取得"), QStringLiteral("A1B2C3D4E")}},
        {'O', hex("00 01 02 03 04 05 06 07 08"), 2, {QStringLiteral("DousaModeSet_CMD受信")}},
        {'O', hex("53 07"), 2, {QStringLiteral("GETUIDNUMBER_CMD受信"), QStringLiteral("受信UID数: 7")}},
        {'O', hex("53 02 01"), 2, {QStringLiteral("GETUIDNUMBER_CMD受信"), QStringLiteral("受信UID数: 258")}},
        {'O', hex("50 01 02 03 04 05 06 07 08"), 2, {QStringLiteral("UID: 08 07 06 05 04 03 02 01 ")}},
        {'O', hex("81 06 01"), 2, {QStringLiteral("BTR_PARAM_CMD受信"), QStringLiteral("電池タイプ : アルカリ電池")}},
        {'O', hex("81 06 00"), 2, {QStringLiteral("BTR_PARAM_CMD受信"), QStringLiteral("電池タイプ : エネループ")}},
        {'O', hex("81 04 0C"), 2, {QStringLiteral("BTR_PARAM_CMD受信"), QStringLiteral("デバイス名用番号 : 12")}},
        {'O',
         hex("81 05 01"),
         2,
         {QStringLiteral("BTR_PARAM_CMD受信"), QStringLiteral("自動パワーダウン制御モード : 1")}},
        {'O', hex("81 02") + text("GATE"), 2, {QStringLiteral("BTR_PARAM_CMD受信"), QStringLiteral("GATE")}},
        {'O', hex("93") + text("RD-100"), 2, {QStringLiteral("機種名の取得"), QStringLiteral("RD-100")}},
        {'O', hex("9F 5A"), 2, {QStringLiteral("PORTDATA: 0x5A"), QStringLiteral("SELANTENA_CMD受信")}},
        {'O', hex("82"), 2, {QStringLiteral("BTR_EEPROM_RDWR_CMD受信")}},
        {'O', hex("51 07"), 2, {}},
        {'N', hex("7E"), 2, {QStringLiteral("RC663_PARAM_INIT受信")}},
        {'N', hex("09"), 2, {QStringLiteral("S6700ModeSet_CMD受信")}},
        {'N', QByteArray(), 2, {}},
        {'x', hex("02"), 2, {QStringLiteral("ISO15693_StayQuit受信")}},
        {'x', hex("29"), 2, {QStringLiteral("ISO15693_WrietDSFID受信")}},
        {'x', hex("A8"), 2, {QStringLiteral("TI_KillCommand受信")}},
        {'x', hex("B1"), 2, {QStringLiteral("Myd_WriteCommand OK")}},
        {'x', hex("C5"), 2, {QStringLiteral("SLI_EASAlarmCommand受信")}},
        {'x', hex("F2"), 2, {}},
        {'x', hex("F0 02 01"), 12, {QStringLiteral("受信UID数: 258"), QStringLiteral("RecUidNum : 0")}},
        {'x', hex("F0 05"), 12, {QStringLiteral("受信UID数: 5"), QStringLiteral("RecUidNum : 0")}},
        {'x',
         hex("20 01 AA BB"),
         2,
         {QStringLiteral("ISO15693_ReadSingleBlock受信"), QStringLiteral("Block Security data: 0x01"),
          QStringLiteral("data(Hex): AA BB ")}},
        {'x', hex("B3 10 20"), 2, {QStringLiteral("Myd_WriteRereadCommand OK"), QStringLiteral("data(Hex): 10 20 ")}},
        {'x',
         hex("01 1F 01 02 03 04 05 06 07 08"),
         2,
         {QStringLiteral("ISO15693_Inventory受信"), QStringLiteral("DSFID: 31[0x1F]"),
          QStringLiteral("UID(hex): 08 07 06 05 04 03 02 01 ")}},
        {'G', hex("01 04 01 83 01"), 2, {QStringLiteral("G_GetEEPROMCmd受信")}},
        {'G', hex("21"), 2, {QStringLiteral("G_SetEEPROMCmd受信")}},
        {'G', hex("2B"), 2, {QStringLiteral("G_SetAutoLampModeCmd受信")}},
        {'G', hex("24"), 2, {QStringLiteral("WmcountValuCmd受信")}},
        {'G', hex("47"), 2, {QStringLiteral("G4_GateInfo受信")}},
        {'G',
         hex("48 01 00 96 00 C0 E8 CE 00"),
         2,
         {QStringLiteral("G4_ACPStart受信"), QStringLiteral("サブA"), QStringLiteral("マッチング終了 : OK"),
          QStringLiteral("SWR : 150"), QStringLiteral("Freq: 13560000Hz"), QStringLiteral("ZD  : 0"),
          QStringLiteral("GRY1: 0pF"), QStringLiteral("GRY2: 0pF"), QStringLiteral("ZD0 : 0")}},
        {'G',
         hex("49 07 03 01 00 00 00 00 00 32 00 0A 00 0B 00 05 00"),
         2,
         {QStringLiteral("G4_GetACPSTUS受信"), QStringLiteral("???? ゲートアンテナ"), QStringLiteral("NAK応答"),
          QStringLiteral("SWR : 1"), QStringLiteral("Freq: 0Hz"), QStringLiteral("ZD  : 50"),
          QStringLiteral("GRY1: 10pF"), QStringLiteral("GRY2: 11pF"), QStringLiteral("ZD0 : 5")}},
        {'G', hex("48 01"), 2, {QStringLiteral("G4_ACPStart受信")}},
        {'b',
         hex("03 02 15 09 01 03 05 24"),
         2,
         {QStringLiteral("2024/05/01(水) 09:15:02"), QStringLiteral("LCDB_RDRTCDATA受信")}},
        {'b', hex("01"), 2, {QStringLiteral("LCDB_SWINFO受信")}},
    };
    for (const AckCase& c : cases) {
        Dispatcher d;
        d.state().lastCommand = c.lastCommand;
        const QByteArray ack = frame('0', c.data);
        d.dispatch(ack);
        const std::string name = std::string(1, c.lastCommand) + " " + c.data.toHex(' ').toStdString();
        EXPECT_EQ(d.state().replyStatus, c.replyStatus) << name;
        EXPECT_TRUE(d.state().ackFlag) << name;
        EXPECT_EQ(d.lastReply(), ack) << name;
        EXPECT_EQ(d.comments(), c.comments) << name;
    }
}

TEST(ResponseDispatcher, RomVersionReplyIsLoggedAndKept)
{
    Dispatcher d;
    d.state().lastCommand = 'O';
    d.dispatch(hex("02 00 30 0A 90 56 31 2E 32 33 2E 34 35 36 03 B6 0D"));
    EXPECT_EQ(d.state().replyStatus, 2);
    EXPECT_EQ(d.state().lastReply[4], 0x90);
    EXPECT_EQ(d.state().romVersion, QStringLiteral("V1.23.456"));
    EXPECT_EQ(
        withoutTime(d.log.lines()),
        (QStringList{QStringLiteral(" C: G3:[RX]  02 00 30 0A 90 56 31 2E 32 33 2E 34 35 36 03 B6 0D "),
                     QStringLiteral(" -: G3:[cmt] ROMバージョン取得"), QStringLiteral(" -: G3:[cmt] V1.23.456")}));
}

TEST(ResponseDispatcher, RelayedFrameRunsItsHandlersWithoutAnRxLine)
{
    Dispatcher d;
    d.state().lastCommand = 'N';
    d.dispatch(frame('0', hex("7E")), true);
    EXPECT_EQ(withoutTime(d.log.lines()), QStringList{QStringLiteral(" -: G3:[cmt] RC663_PARAM_INIT受信")});
    EXPECT_EQ(d.state().replyStatus, 2);
}

TEST(ResponseDispatcher, NackTextsByErrorClassAndDetail)
{
    const std::pair<QByteArray, QString> cases[] = {
        {hex("01"), QStringLiteral("CRCエラー")},
        {hex("02"), QStringLiteral("CMD_TIME_OVER受信")},
        {hex("03"), QStringLiteral("タグデータ受信エラー")},
        {hex("04"), QStringLiteral("タグからの応答なし")},
        {hex("05 01"), QStringLiteral("The command is not supported, i.e. the request code is not recognised.")},
        {hex("05 02"), QStringLiteral("he command is not recognised, for example: a format error occurred.")},
        {hex("05 10"), QStringLiteral("The specified block is not available (doesn\u2019t exist).")},
        {hex("05 11"), QStringLiteral("The specified block is already -locked and thus cannot be locked again")},
        {hex("05 12"), QStringLiteral("The specified block is locked and its content cannot be changed.")},
        {hex("05 15"), QStringLiteral("The specified block is read-protected.")},
        {hex("05 16"), QStringLiteral("? 'DF' Custom command error codes")},
        {hex("0A 00"), QStringLiteral("Other error")},
        {hex("0A 0B"), QStringLiteral("Insufficient power")},
        {hex("0A 01"), QStringLiteral("??? error")},
        {hex("41"), QStringLiteral("データ数エラー")},
        {hex("42"), QStringLiteral("コマンドのサム値エラー")},
        {hex("43"), QStringLiteral("コマンドのＩＤ値のエラー")},
        {hex("44"), QStringLiteral("不正なコマンド")},
        {hex("45"), QStringLiteral("２度読みエラーー")},
        {hex("46"), QStringLiteral("PassWordエラー")},
        {hex("47"), QStringLiteral("??? NACK受信")},
        // Without data the byte after LEN is the ETX, 0x03.
        {QByteArray(), QStringLiteral("タグデータ受信エラー")},
        // A tag error without its detail byte: the detail is the ETX, 0x03.
        {hex("05"), QStringLiteral("The option is not supported.")},
        {hex("0A"), QStringLiteral("Memory overrun")},
    };
    for (const auto& [data, expected] : cases) {
        Dispatcher d;
        const QByteArray nack = frame('1', data);
        d.dispatch(nack);
        EXPECT_EQ(d.state().replyStatus, 6) << data.toHex(' ').toStdString();
        EXPECT_FALSE(d.state().ackFlag);
        EXPECT_EQ(d.lastReply(), nack);
        EXPECT_EQ(d.comments(), QStringList{expected}) << data.toHex(' ').toStdString();
    }
}

TEST(ResponseDispatcher, TagFramesSetTheirStatusButKeepLastReply)
{
    const std::pair<char, int> cases[] = {{'D', 3}, {'d', 4}, {'i', 5}, {'I', 7}, {'L', 8}, {'l', 11}};
    for (const auto& [letter, status] : cases) {
        Dispatcher d;
        const QByteArray ack = frame('0', hex("F2"));
        d.dispatch(ack);
        d.dispatch(frame(letter, hex("01 02 03 04 05 06 07 08 09 0A 0B")));
        EXPECT_EQ(d.state().replyStatus, status) << letter;
        EXPECT_EQ(d.lastReply(), ack) << letter;
    }
}

TEST(ResponseDispatcher, TagReportTakesTagDataOnlyFromLongFrames)
{
    QByteArray data20;
    for (int i = 0; i < 20; ++i)
        data20.append(static_cast<char>(0x10 + i));
    struct Case
    {
        char letter;
        QByteArray data;
        int reports;
        bool withData;
    };
    const Case cases[] = {
        {'D', data20.left(8), 1, false}, {'D', data20.left(19), 1, false}, {'D', data20, 1, true},
        {'D', data20.left(7), 0, false}, {'d', data20, 1, true},           {'L', data20.left(8), 1, false},
        {'l', data20, 1, true},          {'l', data20.left(5), 0, false},
    };
    for (const Case& c : cases) {
        Dispatcher d;
        const QByteArray tagFrame = frame(c.letter, c.data, 0x42);
        d.dispatch(tagFrame);
        ASSERT_EQ(static_cast<int>(d.sink.tags.size()), c.reports) << c.letter << " LEN " << c.data.size();
        if (c.reports == 0) {
            EXPECT_EQ(d.dispatcher.debugTags().size(), 0);
            continue;
        }
        const auto& [gate, report] = d.sink.tags.front();
        EXPECT_EQ(gate, 3);
        std::uint8_t bytes[TagReport::kSize];
        report.write(bytes);
        const QByteArray delivered(reinterpret_cast<const char*>(bytes), TagReport::kSize);
        const QByteArray expectedData = c.withData ? tagFrame.mid(12, 12) : QByteArray(12, '\0');
        EXPECT_EQ(delivered, tagFrame.mid(4, 8) + expectedData + hex("42 00 00 00")) << c.letter;
    }
}

TEST(ResponseDispatcher, UidFramesFillTheSharedLastUid)
{
    const std::pair<QByteArray, QByteArray> cases[] = {
        {frame('d', hex("11 12 13 14 15 16 17 18")), hex("11 12 13 14 15 16 17 18")},
        {frame('L', hex("21 22 23 24 25 26 27 28")), hex("21 22 23 24 25 26 27 28")},
        {frame('I', hex("00 31 32 33 34 35 36 37 38")), hex("31 32 33 34 35 36 37 38")},
        {frame('d', hex("41 42 43")), QByteArray(8, '\0')},
    };
    for (const auto& [uidFrame, expected] : cases) {
        Dispatcher d;
        d.dispatch(uidFrame);
        const auto& uid = d.shared.lastUid.bytes();
        EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(uid.data()), 8), expected)
            << uidFrame.toHex(' ').toStdString();
    }
}

TEST(ResponseDispatcher, UidFrameLogsTheUidReversedAndIsCountedForTheReadLoop)
{
    Dispatcher d;
    d.dispatch(frame('I', hex("00 01 02 03 04 05 06 07 08")));
    d.dispatch(frame('I', hex("00 01 02 03 04 05 06 07 08")));
    d.state().lastCommand = 'x';
    d.dispatch(frame('0', hex("F0 01")));
    EXPECT_EQ(d.comments(),
              (QStringList{QStringLiteral("UID2: 0807060504030201"), QStringLiteral("UID2: 0807060504030201"),
                           QStringLiteral("受信UID数: 1"), QStringLiteral("RecUidNum : 2")}));
}

TEST(ResponseDispatcher, TagTypeFrameLogsItsDebugBytes)
{
    Dispatcher d;
    d.dispatch(frame('l', hex("09 01 02 03 04 05 06 07")));
    EXPECT_EQ(d.comments(), QStringList{QStringLiteral("DEBG: 01 02 03 04 05 0607")});
    ASSERT_EQ(d.sink.tags.size(), 1u);
}

TEST(ResponseDispatcher, MultiTagFrameDeliversEachEntryInsideTheFrame)
{
    Dispatcher d;
    d.dispatch(frame('i', hex("03 00 00 11 12 13 14 15 16 17 18 21 22 23 24 25 26 27 28 31 32"), 0x07));
    ASSERT_EQ(d.sink.tags.size(), 2u);
    EXPECT_EQ(d.sink.tags[0].second.uid, (std::array<std::uint8_t, 8>{0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18}));
    EXPECT_EQ(d.sink.tags[1].second.uid, (std::array<std::uint8_t, 8>{0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28}));
    EXPECT_EQ(d.sink.tags[1].second.data, (std::array<std::uint8_t, 12>{}));
    EXPECT_EQ(d.sink.tags[1].second.readerId, 7u);
    EXPECT_EQ(d.shared.lastUid.bytes()[0], 0x21);

    Dispatcher single;
    QByteArray data = hex("01 00 00 11 12 13 14 15 16 17 18");
    for (int i = 0; i < 12; ++i)
        data.append(static_cast<char>(0xA0 + i));
    single.dispatch(frame('i', data));
    ASSERT_EQ(single.sink.tags.size(), 1u);
    EXPECT_EQ(single.sink.tags[0].second.data[0], 0xA0);
    EXPECT_EQ(single.sink.tags[0].second.data[11], 0xAB);
}

TEST(ResponseDispatcher, CountFramesDeliverTheWholeAisleBlocksTheyCarry)
{
    const QByteArray counts = countBytes();
    struct Case
    {
        const char* name;
        char letter;
        char lastCommand;
        QByteArray data;
        int blocks; // whole aisle blocks delivered, 0 for none
    };
    const Case cases[] = {
        {"event", 'G', 0, hex("81") + counts, 3},
        {"eventTooShort", 'G', 0, hex("81") + counts.left(11), 0},
        {"eventOneAisle", 'G', 0, hex("81") + counts.left(12), 1},
        {"eventOneAisleAndABit", 'G', 0, hex("81") + counts.left(23), 1},
        {"eventTwoAisles", 'G', 0, hex("81") + counts.left(24), 2},
        {"eventLongerThanRecord", 'G', 0, hex("81") + counts + hex("EE EE"), 3},
        {"otherEvent", 'G', 0, hex("80") + counts, 0},
        {"countReply", '0', 'G', hex("0B") + counts, 3},
        {"countReplyTwoAisles", '0', 'G', hex("0B") + counts.left(35), 2},
        {"countReplyWithoutBlock", '0', 'G', hex("0B"), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Dispatcher d;
        d.state().lastCommand = c.lastCommand;
        const QByteArray countFrame = frame(c.letter, c.data);
        d.dispatch(countFrame);
        EXPECT_EQ(d.lastReply(), countFrame);
        ASSERT_EQ(d.sink.counts.size(), c.blocks == 3 ? 1u : 0u);
        ASSERT_EQ(d.sink.blockCounts.size(), c.blocks == 1 || c.blocks == 2 ? 1u : 0u);
        if (c.blocks == 0)
            continue;
        const CountRecord& record = c.blocks == 3 ? d.sink.counts.front().second : d.sink.blockCounts.front().record;
        const int gate = c.blocks == 3 ? d.sink.counts.front().first : d.sink.blockCounts.front().gate;
        if (c.blocks < 3) {
            EXPECT_EQ(d.sink.blockCounts.front().blocks, c.blocks);
        }
        std::uint8_t bytes[CountRecord::kSize];
        record.write(bytes);
        const QByteArray expected = counts.left(12 * c.blocks) + QByteArray(36 - 12 * c.blocks, '\0');
        EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(bytes), CountRecord::kSize), expected);
        EXPECT_EQ(gate, 3);
        EXPECT_EQ(d.state().countRecord, record);
    }
}

namespace {

// The count model behind the dispatcher, as the main window wires it.
class ModelSink final : public GateReportSink
{
public:
    explicit ModelSink(CountModel& model) : m_model(model) {}
    void CountValuesReceived(int gate, const CountRecord& record) override
    {
        m_model.CountValuesReceived(gate, record);
    }
    void CountBlocksReceived(int gate, const CountRecord& record, int blocks) override
    {
        m_model.CountBlocksReceived(gate, record, blocks);
    }
    void TagDetected(int, const TagReport&) override {}

private:
    CountModel& m_model;
};

// DATA of a count frame: the sub-code, then the first `blocks` aisle blocks of in, out, 0xA0 + aisle, 0xB0 + aisle.
QByteArray countData(std::uint8_t sub, std::array<std::int32_t, 3> in, std::array<std::int32_t, 3> out, int blocks)
{
    CountRecord record;
    record.in = in;
    record.out = out;
    record.firstWord = {0xA0, 0xA1, 0xA2};
    record.secondWord = {0xB0, 0xB1, 0xB2};
    std::uint8_t bytes[CountRecord::kSize];
    record.write(bytes);
    return QByteArray(1, static_cast<char>(sub)) + QByteArray(reinterpret_cast<const char*>(bytes), 12 * blocks);
}

} // namespace

// A gate with fewer aisles sends only the blocks of its aisles: those count, the missing aisles keep
// their last values (no increment, no reset), and nothing past the frame is read.
TEST(ResponseDispatcher, ShortCountFramesDeliverTheAisleBlocksTheyCarry)
{
    struct Step
    {
        const char* name;
        char letter;
        std::uint8_t sub;
        std::array<std::int32_t, 3> in;
        int blocks;
        int extraBytes; // DATA bytes after the whole blocks, too few for another block
        std::optional<std::array<std::int32_t, 3>> increments;
        std::array<std::int32_t, 3> lastIn;
    };
    const Step steps[] = {
        {"LEN 37 sets the base", 'G', 0x81, {10, 20, 30}, 3, 0, std::nullopt, {10, 20, 30}},
        {"LEN 25 counts aisles 1 and 2", 'G', 0x81, {12, 25, 0}, 2, 0, std::array{2, 5, 0}, {12, 25, 30}},
        {"LEN 13 counts aisle 1", 'G', 0x81, {13, 0, 0}, 1, 0, std::array{1, 0, 0}, {13, 25, 30}},
        {"LEN 20 carries one whole block", 'G', 0x81, {14, 0, 0}, 1, 7, std::array{1, 0, 0}, {14, 25, 30}},
        {"LEN 13 unchanged counts nothing", 'G', 0x81, {14, 0, 0}, 1, 0, std::nullopt, {14, 25, 30}},
        {"LEN 37 after short frames", 'G', 0x81, {14, 25, 34}, 3, 0, std::array{0, 0, 4}, {14, 25, 34}},
        {"count reply LEN 25", '0', 0x0B, {15, 27, 0}, 2, 0, std::array{1, 2, 0}, {15, 27, 34}},
        {"LEN 13 reset of aisle 1 leaves aisles 2 and 3", 'G', 0x81, {5, 0, 0}, 1, 0, std::array{5, 0, 0}, {5, 27, 34}},
        {"LEN 37 after the reset", 'G', 0x81, {5, 28, 34}, 3, 0, std::array{0, 1, 0}, {5, 28, 34}},
    };
    Dispatcher d;
    d.state().lastCommand = 'G';
    CountModel model(d.clock);
    model.setAisleCount(3, 3);
    ModelSink sink(model);
    d.shared.sink = &sink;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        const int before = model.eventCount();
        const QByteArray data =
            countData(step.sub, step.in, {1, 2, 3}, step.blocks) + QByteArray(step.extraBytes, '\x7F');
        const QByteArray countFrame = frame(step.letter, data);
        // Whatever follows the frame in the buffer is not the frame's.
        const QByteArray buffer = countFrame + QByteArray(40, '\xFF');
        d.dispatcher.Dispatch(u8(buffer), static_cast<int>(countFrame.size()), false);

        EXPECT_EQ(d.lastReply(), countFrame);
        EXPECT_EQ(model.lastValues(3).in, step.lastIn);
        if (!step.increments) {
            EXPECT_EQ(model.eventCount(), before);
            continue;
        }
        ASSERT_EQ(model.eventCount(), before + 1);
        const CountEvent& event = model.event(before);
        EXPECT_EQ(event.in, *step.increments);
        EXPECT_EQ(event.firstWord, (std::array<std::uint16_t, 3>{0xA0, 0xA1, 0xA2}));
    }
    // One line tells the log that this gate sends short count frames.
    const QStringList shortLines = d.comments().filter(QStringLiteral("通路分"));
    EXPECT_EQ(shortLines, QStringList{QStringLiteral(
                              "人数カウントデータが2通路分しかありません（LEN=25）：残りの通路は前回値のままです")});
}

TEST(ResponseDispatcher, UnknownLetterIsAFormatErrorAndChangesNoState)
{
    Dispatcher d;
    d.state().replyStatus = 0;
    d.dispatch(frame('Z', hex("01")));
    EXPECT_EQ(d.state().replyStatus, 0);
    EXPECT_EQ(d.lastReply(), QByteArray());
    EXPECT_EQ(d.comments(), QStringList{QStringLiteral("レスポンスフォーマットエラー")});
}

TEST(ResponseDispatcher, EepromAndLampAcksEndTheWatchHoldSilently)
{
    struct Case
    {
        QByteArray data;
        bool readSeen;
        bool writeSeen;
    };
    const Case cases[] = {{hex("01 04 01 83 01"), true, false}, {hex("21"), false, true}, {hex("2B"), false, false}};
    for (const Case& c : cases) {
        Dispatcher d;
        d.watch.busy = true;
        d.state().lastCommand = 'G';
        d.dispatch(frame('0', c.data));
        EXPECT_FALSE(d.watch.busy);
        EXPECT_EQ(d.watch.readReplySeen, c.readSeen);
        EXPECT_EQ(d.watch.writeReplySeen, c.writeSeen);
        EXPECT_TRUE(d.comments().isEmpty());
    }
}

TEST(ResponseDispatcher, ReplyReadersCheckTheReplyBeforeCopying)
{
    Dispatcher d;
    d.state().lastCommand = 'G';
    d.dispatch(frame('0', hex("01 04 01 83 01")));
    std::uint8_t words[2] = {};
    EXPECT_TRUE(d.dispatcher.GateEepromReplyRead(4, 1, words));
    EXPECT_EQ(words[0], 0x83);
    EXPECT_EQ(words[1], 0x01);
    EXPECT_FALSE(d.dispatcher.GateEepromReplyRead(5, 1, words));
    EXPECT_FALSE(d.dispatcher.GateEepromReplyRead(4, 2, words));

    std::uint16_t w1 = 0, w2 = 0, w3 = 0;
    EXPECT_FALSE(d.dispatcher.CountModeReplyRead(w1, w2, w3));
    d.dispatch(frame('0', hex("06 01 00 34 12 FF FF")));
    ASSERT_TRUE(d.dispatcher.CountModeReplyRead(w1, w2, w3));
    EXPECT_EQ(w1, 0x0001);
    EXPECT_EQ(w2, 0x1234);
    EXPECT_EQ(w3, 0xFFFF);
    d.dispatch(frame('0', hex("06 01 00 34 12 FF")));
    EXPECT_FALSE(d.dispatcher.CountModeReplyRead(w1, w2, w3));
}

TEST(DebugTagTable, CountsDistinctUidsUpToItsCapacity)
{
    Dispatcher d;
    QByteArray data = hex("01 02 03 04 05 06 07 08 0B 1A 02 03 81 00 01 00 00 00 00 00");
    d.dispatch(frame('D', data));
    d.dispatch(frame('D', data));
    DebugTagTable& table = d.dispatcher.debugTags();
    ASSERT_EQ(table.size(), 1);
    EXPECT_EQ(table.cell(0, 0), QStringLiteral("1"));
    EXPECT_EQ(table.cell(0, 1), QStringLiteral("2"));
    EXPECT_EQ(table.cell(0, 2), QStringLiteral("011,001,655875,016777472"));
    EXPECT_EQ(table.cell(0, 3), QStringLiteral("0807060504030201"));
    EXPECT_EQ(table.totalText(), QStringLiteral("読みとり総数： 1"));
    EXPECT_EQ(table.gridRowCount(), 20);

    for (int i = 1; i < 220; ++i) {
        data[0] = static_cast<char>(i & 0xFF);
        data[1] = static_cast<char>(i >> 8);
        d.dispatch(frame('D', data.left(8)));
    }
    EXPECT_EQ(table.size(), DebugTagTable::kCapacity);
    EXPECT_EQ(table.gridRowCount(), DebugTagTable::kCapacity + 1);
    data[0] = 1;
    data[1] = 0;
    d.dispatch(frame('D', data.left(8)));
    EXPECT_EQ(table.entry(1).count, 2);
    EXPECT_EQ(d.sink.tags.size(), 222u);
}
