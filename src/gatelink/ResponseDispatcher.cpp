#include "gatelink/ResponseDispatcher.h"

#include "gatelink/EepromWatchFlags.h"
#include "gatelink/GateReportSink.h"
#include "gatelink/LinkLogger.h"
#include "gatelink/LinkShared.h"
#include "gatelink/ReplyTexts.h"
#include "platform/Cp932Codec.h"
#include "platform/LittleEndian.h"

#include <algorithm>
#include <array>

// A good frame as the dispatcher reads it. The sub-code is the byte after LEN even when LEN is 0
// (then it is the ETX, which is how an ACK without data is recognised); every other DATA byte past
// LEN reads as zero.
class ResponseDispatcher::Frame
{
public:
    Frame(const std::uint8_t* bytes, int length) : m_bytes(bytes), m_length(length) {}

    const std::uint8_t* bytes() const { return m_bytes; }
    int length() const { return m_length; }
    std::uint8_t command() const { return m_bytes[2]; }
    std::uint8_t id() const { return m_bytes[1]; }
    int len() const { return m_bytes[3]; }
    std::uint8_t sub() const { return m_bytes[4]; }
    std::uint8_t data(int k) const { return k < len() ? m_bytes[4 + k] : 0; }
    std::uint16_t word(int k) const { return static_cast<std::uint16_t>(data(k) | (data(k + 1) << 8)); }
    std::uint32_t dword(int k) const { return word(k) | (static_cast<std::uint32_t>(word(k + 2)) << 16); }
    const std::uint8_t* dataAt(int k) const { return m_bytes + 4 + k; }
    // Byte `offset` of the frame as received (ETX, SUM and CR included); 0 past its end.
    std::uint8_t byteAt(int offset) const { return offset < m_length ? m_bytes[offset] : 0; }
    // DATA[first .. first + count - 1] lie within the frame's DATA.
    bool holds(int first, int count) const { return first + count <= len(); }
    int tailSize(int first) const { return std::max(0, len() - first); }
    // The characters of DATA[first .. LEN - 1].
    QString text(int first) const
    {
        return Cp932Codec::decode(QByteArray(reinterpret_cast<const char*>(dataAt(first)), tailSize(first)));
    }
    // The reader's UID count: one byte in a two-byte reply, else a 16-bit value.
    int uidCount() const { return len() == 2 ? data(1) : data(1) + 256 * data(2); }

private:
    const std::uint8_t* m_bytes;
    int m_length;
};

namespace {

QString hex2(std::uint8_t byte)
{
    return QString::asprintf("%02X", byte);
}

} // namespace

ResponseDispatcher::ResponseDispatcher(LinkShared& shared, LinkLogger& logger, EepromWatchFlags& watch, QObject* parent)
    : QObject(parent), m_shared(shared), m_log(logger), m_watch(watch)
{
}

void ResponseDispatcher::clear()
{
    m_state = ReplyState();
    m_debugTags.clear();
    m_shortCountLogged = false;
}

void ResponseDispatcher::Dispatch(const std::uint8_t* bytes, int length, bool relayed)
{
    const Frame frame(bytes, length);
    if (!relayed)
        m_log.logFrame(bytes, length, LogDirection::FromGate);
    switch (frame.command()) {
    case '0':
        m_state.replyStatus = ReplyState::Ack;
        m_state.ackFlag = true;
        keepReply(frame);
        keepAnswer(frame);
        routeAck(frame);
        break;
    case 'b':
        m_state.replyStatus = ReplyState::LcdBoard;
        keepReply(frame);
        lcdBoard(frame);
        break;
    case 'D':
        m_state.replyStatus = ReplyState::Tag;
        if (frame.holds(0, 8))
            deliverTag(frame, 0, true);
        break;
    case 'd':
        m_state.replyStatus = ReplyState::TagUid;
        if (frame.holds(0, 8)) {
            setLastUid(frame, 0);
            deliverTag(frame, 0, true);
        }
        break;
    case 'i':
        m_state.replyStatus = ReplyState::MultiTag;
        multiTagFrame(frame);
        break;
    case '1':
        m_state.replyStatus = ReplyState::Nack;
        keepReply(frame);
        keepAnswer(frame);
        nack(frame);
        break;
    case 'I':
        m_state.replyStatus = ReplyState::Uid;
        uidFrame(frame);
        break;
    case 'L':
        m_state.replyStatus = ReplyState::TagL;
        if (frame.holds(0, 8)) {
            setLastUid(frame, 0);
            deliverTag(frame, 0, true);
        }
        break;
    case 'l':
        m_state.replyStatus = ReplyState::TagType;
        tagTypeFrame(frame);
        break;
    case 'G':
        m_state.replyStatus = ReplyState::GateEvent;
        keepReply(frame);
        gateEvent(frame);
        break;
    default:
        comment(u"レスポンスフォーマットエラー");
        break;
    }
}

bool ResponseDispatcher::GateEepromReplyRead(std::uint8_t addr, std::uint8_t count, std::uint8_t* words) const
{
    const Frame reply(m_state.lastReply.data(), m_state.lastReplyLength);
    if (m_state.lastReplyLength < 7 || reply.data(0) != 0x01 || reply.data(1) != addr || reply.data(2) != count ||
        !reply.holds(3, 2 * count))
        return false;
    std::copy_n(reply.dataAt(3), 2 * count, words);
    return true;
}

bool ResponseDispatcher::CountModeReplyRead(std::uint16_t& w1, std::uint16_t& w2, std::uint16_t& w3) const
{
    const Frame reply(m_state.lastReply.data(), m_state.lastReplyLength);
    if (m_state.lastReplyLength < 7 || reply.data(0) != 0x06 || reply.len() < 7)
        return false;
    w1 = reply.word(1);
    w2 = reply.word(3);
    w3 = reply.word(5);
    return true;
}

void ResponseDispatcher::keepReply(const Frame& frame)
{
    copyFrame(frame, m_state.lastReply, m_state.lastReplyLength);
}

void ResponseDispatcher::keepAnswer(const Frame& frame)
{
    copyFrame(frame, m_state.answer, m_state.answerLength);
}

void ResponseDispatcher::copyFrame(const Frame& frame, std::array<std::uint8_t, FrameAssembler::kBufferSize>& to,
                                   int& length)
{
    length = std::min<int>(frame.length(), static_cast<int>(to.size()));
    std::copy_n(frame.bytes(), length, to.begin());
}

// A TagReport from the 8 UID bytes at DATA[uidOffset] and, when the frame holds them, the 12 tag
// data bytes after the UID; the frame's ID byte goes into the last four bytes.
void ResponseDispatcher::deliverTag(const Frame& frame, int uidOffset, bool withData)
{
    TagReport report;
    std::copy_n(frame.dataAt(uidOffset), report.uid.size(), report.uid.begin());
    if (withData && frame.holds(uidOffset + 8, static_cast<int>(report.data.size())))
        std::copy_n(frame.dataAt(uidOffset + 8), report.data.size(), report.data.begin());
    report.readerId = frame.id();
    if (frame.command() == 'D')
        m_debugTags.Count(report);
    if (m_shared.sink)
        m_shared.sink->TagDetected(m_gate, report);
}

void ResponseDispatcher::setLastUid(const Frame& frame, int offset)
{
    m_shared.lastUid.set(frame.dataAt(offset));
}

void ResponseDispatcher::routeAck(const Frame& frame)
{
    switch (m_state.lastCommand) {
    case 'O':
    case 'N':
        readerAck(frame, m_state.lastCommand);
        break;
    case 'x':
        tagProtocolAck(frame);
        break;
    case 'G':
        gateAck(frame);
        break;
    case 'b':
        lcdBoard(frame);
        break;
    default:
        break;
    }
}

void ResponseDispatcher::readerAck(const Frame& frame, char command)
{
    if (command == 'O') {
        switch (frame.sub()) {
        case 0x50:
            if (frame.holds(1, 8)) {
                setLastUid(frame, 1);
                logUid(u"UID: ", frame, 1);
            }
            return;
        case 0x53:
            comment(u"GETUIDNUMBER_CMD受信");
            if (m_log.active())
                comment(QStringLiteral("受信UID数: ") + QString::number(frame.uidCount()));
            return;
        case 0x54:
            comment(u"GETUIDDATA_CMD受信");
            if (frame.holds(3, 8)) {
                setLastUid(frame, 3);
                logUid(u"UID: ", frame, 3);
            }
            return;
        case 0x81:
            comment(u"BTR_PARAM_CMD受信");
            if (!m_log.active())
                return;
            switch (frame.data(1)) {
            case 0:
            case 1:
            case 2:
            case 3:
                comment(frame.text(2));
                break;
            case 4:
                comment(QStringLiteral("デバイス名用番号 : ") + QString::number(frame.data(2)));
                break;
            case 5:
                comment(QStringLiteral("自動パワーダウン制御モード : ") + QString::number(frame.data(2)));
                break;
            case 6:
                comment(QStringLiteral("電池タイプ : ") +
                        (frame.data(2) != 0 ? QStringLiteral("アルカリ電池") : QStringLiteral("エネループ")));
                break;
            default:
                break;
            }
            return;
        case 0x90:
            comment(u"ROMバージョン取得");
            m_state.romVersion = frame.text(1);
            comment(m_state.romVersion);
            return;
        case 0x93:
            comment(u"機種名の取得");
            if (m_log.active())
                comment(frame.text(1));
            return;
        case 0x9F:
            if (m_log.active())
                comment(QStringLiteral("PORTDATA: 0x") + hex2(frame.data(1)));
            comment(u"SELANTENA_CMD受信");
            return;
        default:
            break;
        }
    }
    const QStringView label = ReplyTexts::readerAck(command, frame.sub());
    if (!label.isNull())
        comment(label);
}

void ResponseDispatcher::tagProtocolAck(const Frame& frame)
{
    const ReplyTexts::TagProtocolText* entry = ReplyTexts::tagProtocol(frame.sub());
    if (!entry)
        return;
    using Extra = ReplyTexts::TagProtocolExtra;
    if (entry->extra == Extra::UidCount) {
        const int count = frame.uidCount();
        if (m_log.active()) {
            comment(entry->label.toString() + QString::number(count));
            comment(QStringLiteral("RecUidNum : ") + QString::number(m_state.uidFrames));
        }
        emit uidCountReceived(count);
        m_state.replyStatus = ReplyState::UidCountAck;
        return;
    }
    comment(entry->label);
    if (!m_log.active())
        return;
    switch (entry->extra) {
    case Extra::Inventory: {
        comment(QStringLiteral("DSFID: ") + QString::number(frame.data(1)) + QStringLiteral("[0x") +
                hex2(frame.data(1)) + QStringLiteral("]"));
        logUid(u"UID(hex): ", frame, 2);
        break;
    }
    case Extra::BlockData:
        comment(QStringLiteral("Block Security data: 0x") + hex2(frame.data(1)));
        comment(QStringLiteral("data(Hex): ") + LinkLogger::hexTrailing(frame.dataAt(2), frame.tailSize(2)));
        break;
    case Extra::DataHex:
        comment(QStringLiteral("data(Hex): ") + LinkLogger::hexTrailing(frame.dataAt(1), frame.tailSize(1)));
        break;
    default:
        break;
    }
}

// ACKs of the gate controller. The EEPROM and lamp-mode ACKs end the watch's hold on the gate
// instead of being logged while the watch is waiting for them.
void ResponseDispatcher::gateAck(const Frame& frame)
{
    switch (frame.sub()) {
    case 0x01:
        if (m_watch.busy) {
            m_watch.readReplySeen = true;
            m_watch.busy = false;
            m_watch.wordRead = GateEepromReplyRead(EepromWatchFlags::kAddress, 1, m_watch.word.data());
        } else {
            comment(u"G_GetEEPROMCmd受信");
        }
        return;
    case 0x0B:
        comment(u"RmcountValuCmd受信");
        deliverCounts(frame);
        return;
    case 0x21:
        if (m_watch.busy) {
            m_watch.writeReplySeen = true;
            m_watch.busy = false;
        } else {
            comment(u"G_SetEEPROMCmd受信");
        }
        return;
    case 0x2B:
        if (m_watch.busy)
            m_watch.busy = false;
        else
            comment(u"G_SetAutoLampModeCmd受信");
        return;
    default:
        break;
    }
    const QStringView label = ReplyTexts::gateAck(frame.sub());
    if (label.isNull())
        return;
    comment(label);
    if ((frame.sub() == 0x48 || frame.sub() == 0x49) && frame.len() > 8)
        antennaReport(frame);
}

// Antenna matching of a G4 gate: DATA[1] antenna, DATA[2] result, then SWR (16 bits), frequency in Hz
// (32 bits) and the four 16-bit matching values, all little-endian.
void ResponseDispatcher::antennaReport(const Frame& frame)
{
    if (!m_log.active())
        return;
    comment(ReplyTexts::antennaName(frame.data(1)));
    comment(ReplyTexts::matchingResult(frame.data(2)));
    comment(QStringLiteral("SWR : ") + QString::number(frame.word(3)));
    comment(QStringLiteral("Freq: ") + QString::number(frame.dword(5)) + QStringLiteral("Hz"));
    comment(QStringLiteral("ZD  : ") + QString::number(frame.word(9)));
    comment(QStringLiteral("GRY1: ") + QString::number(frame.word(11)) + QStringLiteral("pF"));
    comment(QStringLiteral("GRY2: ") + QString::number(frame.word(13)) + QStringLiteral("pF"));
    comment(QStringLiteral("ZD0 : ") + QString::number(frame.word(15)));
}

void ResponseDispatcher::lcdBoard(const Frame& frame)
{
    if (frame.sub() == 0x03 && m_log.active()) {
        // The board's clock in BCD: seconds, minutes, hours, day, weekday, month, year.
        comment(QStringLiteral("20%1/%2/%3(%4) %5:%6:%7")
                    .arg(hex2(frame.data(7)), hex2(frame.data(6)), hex2(frame.data(4)),
                         ReplyTexts::weekday(frame.data(5)).toString(), hex2(frame.data(3)), hex2(frame.data(2)),
                         hex2(frame.data(1))));
    }
    const QStringView label = ReplyTexts::lcdBoard(frame.sub());
    if (!label.isNull())
        comment(label);
}

// A NACK without its detail byte has the ETX where the detail would be, and the ETX is what the
// detail reads as.
void ResponseDispatcher::nack(const Frame& frame)
{
    comment(ReplyTexts::nack(frame.sub(), frame.byteAt(5)));
}

void ResponseDispatcher::uidFrame(const Frame& frame)
{
    ++m_state.uidFrames;
    if (!frame.holds(1, 8))
        return;
    setLastUid(frame, 1);
    if (!m_log.active())
        return;
    QString uid = QStringLiteral("UID2: ");
    for (int i = 8; i >= 1; --i)
        uid += hex2(frame.data(i));
    comment(uid);
}

void ResponseDispatcher::tagTypeFrame(const Frame& frame)
{
    if (frame.sub() > 8 && m_log.active()) {
        QString text = QStringLiteral("DEBG: ");
        for (int k = 1; k < frame.len(); ++k) {
            text += hex2(frame.data(k));
            if (k <= 5)
                text += QLatin1Char(' ');
        }
        comment(text);
    }
    if (frame.holds(0, 8))
        deliverTag(frame, 0, true);
}

// Several tags in one frame: DATA[0] entries of 8 UID bytes from DATA[3]. Each entry wholly inside
// the frame becomes the last UID and one TagReport; only a single-entry frame carries tag data.
void ResponseDispatcher::multiTagFrame(const Frame& frame)
{
    const int entries = frame.data(0);
    for (int k = 0; k < entries; ++k) {
        const int offset = 3 + 8 * k;
        if (!frame.holds(offset, 8))
            break;
        setLastUid(frame, offset);
        deliverTag(frame, offset, entries == 1);
    }
}

void ResponseDispatcher::gateEvent(const Frame& frame)
{
    if (frame.sub() == 0x81)
        deliverCounts(frame);
}

// A gate with fewer aisles may send only the blocks of its aisles: the whole blocks after the sub-code
// are delivered, a block cut short is not read, and a frame without one whole block delivers nothing.
void ResponseDispatcher::deliverCounts(const Frame& frame)
{
    constexpr int kBlockSize = static_cast<int>(CountRecord::kSize) / CountRecord::kAisles;
    const int blocks = std::min(frame.tailSize(1) / kBlockSize, CountRecord::kAisles);
    if (blocks == 0)
        return;
    std::array<std::uint8_t, CountRecord::kSize> bytes{};
    std::copy_n(frame.dataAt(1), blocks * kBlockSize, bytes.begin());
    const CountRecord received = CountRecord::read(bytes.data());
    if (blocks == CountRecord::kAisles) {
        m_state.countRecord = received;
        if (m_shared.sink)
            m_shared.sink->CountValuesReceived(m_gate, received);
        return;
    }
    if (!m_shortCountLogged && m_log.active()) {
        comment(QStringLiteral("人数カウントデータが%1通路分しかありません（LEN=%2）：残りの通路は前回値のままです")
                    .arg(blocks)
                    .arg(frame.len()));
    }
    m_shortCountLogged = true;
    for (int a = 0; a < blocks; ++a) {
        m_state.countRecord.in[a] = received.in[a];
        m_state.countRecord.out[a] = received.out[a];
        m_state.countRecord.firstWord[a] = received.firstWord[a];
        m_state.countRecord.secondWord[a] = received.secondWord[a];
    }
    if (m_shared.sink)
        m_shared.sink->CountBlocksReceived(m_gate, received, blocks);
}

void ResponseDispatcher::logUid(QStringView prefix, const Frame& frame, int offset)
{
    if (!m_log.active())
        return;
    QString uid = prefix.toString();
    for (int i = 7; i >= 0; --i)
        uid += hex2(frame.data(offset + i)) + QLatin1Char(' ');
    comment(uid);
}

void ResponseDispatcher::comment(QStringView text)
{
    m_log.comment(text);
}
