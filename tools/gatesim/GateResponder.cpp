#include "gatesim/GateResponder.h"

#include "gatelink/GateFrame.h"
#include "platform/LittleEndian.h"

namespace {

constexpr int kMaxWordsPerReply = 126; // 3 + 2 * 126 data bytes still fit in one frame

QByteArray bytesOf(std::initializer_list<std::uint8_t> values)
{
    QByteArray bytes;
    for (const std::uint8_t v : values)
        bytes.append(static_cast<char>(v));
    return bytes;
}

} // namespace

const GateResponder::Request GateResponder::kRequests[] = {
    {'O', 0x90, 2, &GateResponder::romVersion},     {'O', 0x00, 1, &GateResponder::modeGet},
    {'N', 0x00, 4, &GateResponder::modeSet},        {'N', 0x10, 4, &GateResponder::modeSet},
    {'O', 0x51, 1, &GateResponder::afiRead},        {'O', 0x70, 3, &GateResponder::readerWords},
    {'O', 0xB4, 2, &GateResponder::readerByte},     {'N', 0x9D, 1, &GateResponder::restart},
    {'N', 0x9E, 2, &GateResponder::transmitter},    {'x', 0xF2, 14, &GateResponder::readLoop},
    {'G', 0x01, 3, &GateResponder::eepromGet},      {'G', 0x21, -1, &GateResponder::eepromSet},
    {'G', 0x2B, 2, &GateResponder::lamp},           {'G', 0x26, 4, &GateResponder::displayOut},
    {'G', 0x0B, 1, &GateResponder::countsRead},     {'G', 0x06, 1, &GateResponder::countModeRead},
    {'G', 0x23, 7, &GateResponder::countModeWrite}, {'G', 0x28, 37, &GateResponder::countsWrite},
};

GateResponder::GateResponder(const GateConfig& config)
    : m_config(config), m_mode(config.mode), m_readerEeprom(config.readerEeprom), m_gateEeprom(config.gateEeprom),
      m_countMode(config.countMode), m_counters(config.counters)
{
}

QByteArray GateResponder::answer(const QByteArray& request)
{
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(request.constData());
    const char command = static_cast<char>(bytes[2]);
    const int length = bytes[3];
    if (length < 1)
        return nack(kNackDataCount);
    const std::uint8_t* data = bytes + 4;
    for (const Request& r : kRequests) {
        if (r.command != command || r.subCode != data[0])
            continue;
        if (r.length >= 0 && r.length != length)
            return nack(kNackDataCount);
        QByteArray reply = (this->*r.handle)(data, length);
        const auto over = m_config.replyOverrides.find({command, data[0]});
        if (over != m_config.replyOverrides.end())
            return over->second.isEmpty() ? QByteArray() : ack(over->second);
        return reply;
    }
    return nack(kNackInvalid);
}

QByteArray GateResponder::answerBadSum() const
{
    return m_config.nackBadSum ? nack(kNackSum) : QByteArray();
}

QByteArray GateResponder::frame(char command, const QByteArray& data) const
{
    return GateFrame::BuildFrame(command, data, m_config.readerId);
}

QByteArray GateResponder::ack(const QByteArray& data) const
{
    return frame('0', data);
}

QByteArray GateResponder::nack(std::uint8_t errorClass) const
{
    return frame('1', bytesOf({errorClass}));
}

QByteArray GateResponder::countFrame() const
{
    QByteArray data(1 + CountRecord::kSize, '\0');
    data[0] = static_cast<char>(0x81);
    m_counters.write(reinterpret_cast<std::uint8_t*>(data.data()) + 1);
    return frame('G', data);
}

QByteArray GateResponder::tagFrame(char kind, const QList<QByteArray>& uids, const QByteArray& data) const
{
    QByteArray body;
    if (kind == 'i')
        body = bytesOf({static_cast<std::uint8_t>(uids.size()), 0x00, 0x00});
    for (const QByteArray& uid : uids)
        body.append(uid);
    body.append(data);
    return frame(kind, body);
}

void GateResponder::addCounts(int aisle, std::int32_t in, std::int32_t out)
{
    // The gate's counters wrap like 32-bit registers.
    const auto add = [](std::int32_t a, std::int32_t b) {
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
    };
    m_counters.in[aisle] = add(m_counters.in[aisle], in);
    m_counters.out[aisle] = add(m_counters.out[aisle], out);
}

void GateResponder::setCounts(int aisle, std::int32_t in, std::int32_t out)
{
    m_counters.in[aisle] = in;
    m_counters.out[aisle] = out;
}

QByteArray GateResponder::gateEeprom(int address, int words) const
{
    return QByteArray(reinterpret_cast<const char*>(m_gateEeprom.data()) + 2 * address, 2 * words);
}

void GateResponder::setGateEeprom(int address, const QByteArray& bytes)
{
    for (qsizetype i = 0; i < bytes.size(); ++i)
        m_gateEeprom[static_cast<std::size_t>(2 * address + i)] = static_cast<std::uint8_t>(bytes[i]);
}

QByteArray GateResponder::romVersion(const std::uint8_t*, int)
{
    return ack(bytesOf({0x90}) + m_config.romVersion);
}

QByteArray GateResponder::modeGet(const std::uint8_t*, int)
{
    QByteArray data(9, '\0');
    for (int i = 0; i < 3; ++i)
        data[1 + i] = static_cast<char>(m_mode[i]);
    return ack(data);
}

QByteArray GateResponder::modeSet(const std::uint8_t* data, int)
{
    m_mode = {data[1], data[2], data[3]};
    return ack({});
}

QByteArray GateResponder::afiRead(const std::uint8_t*, int)
{
    return ack(bytesOf({0x51, m_readerEeprom[GateConfig::kAfiByteAddress]}));
}

QByteArray GateResponder::readerWords(const std::uint8_t* data, int)
{
    // Word w is bytes 2w and 2w-1, so the byte a system reads in byte form is the word form's second byte.
    const int first = data[1];
    const int count = data[2];
    const int lastWord = (GateConfig::kReaderEepromBytes - 1) / 2;
    if (count < 1 || count > kMaxWordsPerReply || first + count - 1 > lastWord)
        return nack(kNackDataCount);
    QByteArray reply = bytesOf({0x70, data[1], data[2]});
    for (int w = first; w < first + count; ++w) {
        reply.append(static_cast<char>(m_readerEeprom[static_cast<std::size_t>(2 * w)]));
        reply.append(static_cast<char>(w > 0 ? m_readerEeprom[static_cast<std::size_t>(2 * w - 1)] : 0));
    }
    return ack(reply);
}

QByteArray GateResponder::readerByte(const std::uint8_t* data, int)
{
    return ack(bytesOf({0xB4, m_readerEeprom[data[1]]}));
}

QByteArray GateResponder::restart(const std::uint8_t*, int)
{
    ++m_restarts;
    m_readLoop = false;
    m_transmitterOn = true;
    return {};
}

QByteArray GateResponder::transmitter(const std::uint8_t* data, int)
{
    m_transmitterOn = data[1] != 0;
    return ack(bytesOf({0x9E, data[1]}));
}

QByteArray GateResponder::readLoop(const std::uint8_t*, int)
{
    m_readLoop = true;
    return ack(bytesOf({0xF2}));
}

QByteArray GateResponder::eepromGet(const std::uint8_t* data, int)
{
    const int address = data[1];
    const int count = data[2];
    if (count < 1 || count > kMaxWordsPerReply || address + count > GateConfig::kGateEepromWords)
        return nack(kNackDataCount);
    return ack(bytesOf({0x01, data[1], data[2]}) + gateEeprom(address, count));
}

QByteArray GateResponder::eepromSet(const std::uint8_t* data, int length)
{
    if (length < 3)
        return nack(kNackDataCount);
    const int address = data[1];
    const int count = data[2];
    if (count < 1 || length != 3 + 2 * count || address + count > GateConfig::kGateEepromWords)
        return nack(kNackDataCount);
    setGateEeprom(address, QByteArray(reinterpret_cast<const char*>(data) + 3, 2 * count));
    return ack(bytesOf({0x21}));
}

QByteArray GateResponder::lamp(const std::uint8_t* data, int)
{
    m_lampMode = data[1];
    return ack(bytesOf({0x2B}));
}

QByteArray GateResponder::displayOut(const std::uint8_t* data, int)
{
    ++m_alarms;
    m_display = QByteArray(reinterpret_cast<const char*>(data) + 1, 3);
    return ack(bytesOf({0x26}));
}

QByteArray GateResponder::countsRead(const std::uint8_t*, int)
{
    QByteArray reply(1 + CountRecord::kSize, '\0');
    reply[0] = 0x0B;
    m_counters.write(reinterpret_cast<std::uint8_t*>(reply.data()) + 1);
    return ack(reply);
}

QByteArray GateResponder::countModeRead(const std::uint8_t*, int)
{
    QByteArray reply(7, '\0');
    reply[0] = 0x06;
    for (int i = 0; i < 3; ++i)
        LittleEndian::putU16(reinterpret_cast<std::uint8_t*>(reply.data()) + 1 + 2 * i, m_countMode[i]);
    return ack(reply);
}

QByteArray GateResponder::countModeWrite(const std::uint8_t* data, int)
{
    for (int i = 0; i < 3; ++i)
        m_countMode[i] = LittleEndian::u16(data + 1 + 2 * i);
    return ack(bytesOf({0x23}));
}

QByteArray GateResponder::countsWrite(const std::uint8_t* data, int)
{
    m_counters = CountRecord::read(data + 1);
    return ack(bytesOf({0x28}));
}
