// The gate commands of TTComXDlg: one request frame each, built with ID 0x00, announced in the link
// log by its label and, for most, by the frame itself.
#include "gatelink/TTComXDlg.h"

#include "counting/CountRecord.h"
#include "gatelink/GateFrame.h"
#include "gatelink/LinkShared.h"

#include <QEventLoop>
#include <QPointer>

#include <algorithm>

namespace {

QByteArray bytes(std::initializer_list<std::uint8_t> values)
{
    QByteArray data;
    data.reserve(static_cast<qsizetype>(values.size()));
    for (const std::uint8_t value : values)
        data.append(static_cast<char>(value));
    return data;
}

void appendWord(QByteArray& data, std::uint16_t value)
{
    data.append(static_cast<char>(value & 0xFF));
    data.append(static_cast<char>(value >> 8));
}

struct RdwrVariant
{
    std::uint8_t subCode;
    QStringView label;
};

const RdwrVariant kRdwrVariants[] = {
    {0x70, u"EEPROM_RDWR_CMD RX: "},
    {0x72, u"EEPROM_RDWR_CMD2 RX: "},
    {0x73, u"EEPROM_RDWR_CMD3 RX: "},
};

constexpr int kMaxEepromWords = (255 - 3) / 2;

} // namespace

QByteArray TTComXDlg::BuildFrame(char command, const QByteArray& data)
{
    m_dispatcher.state().lastCommand = command;
    return GateFrame::BuildFrame(command, data);
}

int TTComXDlg::sendCommand(char command, const QByteArray& data, QStringView label, bool logFrame)
{
    comment(label);
    const QByteArray frame = BuildFrame(command, data);
    if (logFrame)
        m_log.logFrame(reinterpret_cast<const std::uint8_t*>(frame.constData()), static_cast<int>(frame.size()),
                       LogDirection::ToGate);
    return LinkSend(frame);
}

int TTComXDlg::ROM_VERSION_CMD()
{
    return sendCommand('O', bytes({0x90, 0x00}), u"ＲＯＭのバージョン情報");
}

int TTComXDlg::DousaModeGet()
{
    return sendCommand('O', bytes({0x00}), u"DousaModeSet: ");
}

int TTComXDlg::DousaModeSet(bool flagForm, std::uint8_t m1, std::uint8_t m2, std::uint8_t m3)
{
    return sendCommand('N', bytes({flagForm ? std::uint8_t{0x10} : std::uint8_t{0x00}, m1, m2, m3}), u"DousaModeSet: ");
}

int TTComXDlg::AFI_RDWR_CMD()
{
    return sendCommand('O', bytes({0x51}), u"AFI_RDWR_CMD RX: ");
}

int TTComXDlg::EEPROM_RD_CMD(std::uint8_t address, bool wordForm)
{
    if (wordForm)
        return sendCommand('O', bytes({0x70, static_cast<std::uint8_t>((address + 1) / 2), 0x01}),
                           u"EEPROM_RD_CMD RX: ", false);
    return sendCommand('O', bytes({0xB4, address}), u"EEPROM_RD_CMD RX: ");
}

int TTComXDlg::EEPROM_RDWR_CMD(std::uint8_t subCode, std::uint8_t p1, std::uint8_t p2)
{
    const auto variant = std::find_if(std::begin(kRdwrVariants), std::end(kRdwrVariants),
                                      [subCode](const RdwrVariant& v) { return v.subCode == subCode; });
    const QStringView label =
        variant == std::end(kRdwrVariants) ? QStringView(u"RC663_EEPROM_RDWR RX: ") : variant->label;
    return sendCommand('O', bytes({subCode, p1, p2}), label, false);
}

int TTComXDlg::RESTART_CMD()
{
    return sendCommand('N', bytes({0x9D}), u"RESTART_CMD: ");
}

int TTComXDlg::TXON_OFF_CMD(bool on)
{
    return sendCommand('N', bytes({0x9E, on ? std::uint8_t{1} : std::uint8_t{0}}), u"TXON_OFF_CMD: ");
}

int TTComXDlg::ReadLoopCommand(std::uint8_t r1, std::uint8_t r2, std::uint8_t r3, std::uint8_t r4, std::uint8_t r5)
{
    QByteArray data = bytes({0xF2, r1, r2, r3, r4, r5});
    for (const std::uint8_t byte : m_shared.lastUid.bytes())
        data.append(static_cast<char>(byte));
    return sendCommand('x', data, u"Read Loop Command: ");
}

int TTComXDlg::GateGetEEPROMCmd(std::uint8_t addr, std::uint8_t count)
{
    return sendCommand('G', bytes({0x01, addr, count}), u"GateGetEEPROMCmd: ");
}

int TTComXDlg::GateSetEEPROMCmd(std::uint8_t addr, std::uint8_t count, const QByteArray& values)
{
    const int words = std::min<int>(count, kMaxEepromWords);
    QByteArray data = bytes({0x21, addr, static_cast<std::uint8_t>(words)});
    QByteArray valueBytes = values.left(2 * words);
    valueBytes.append(2 * words - valueBytes.size(), '\0');
    data.append(valueBytes);
    return sendCommand('G', data, u"GateSetEEPROMCmd: ");
}

int TTComXDlg::GateSetAutoLampModeCmd(int request)
{
    sendCommand('G', bytes({0x2B, request == 1 ? std::uint8_t{0x01} : std::uint8_t{0x00}}),
                u"GateSetAutoLampModeCmd: ");
    return WaitReply() ? 1 : 0;
}

int TTComXDlg::GateSetDispOutStateCmd(std::uint8_t d1, std::uint8_t d2, std::uint8_t d3)
{
    return sendCommand('G', bytes({0x26, d1, d2, d3}), u"GateSetDispOutStateCmd: ");
}

int TTComXDlg::GateRmcountvaluCmd2()
{
    return sendCommand('G', bytes({0x0B}), u"GateRmcountvaluCmd2: ");
}

int TTComXDlg::GateWmcountmodeCmd(std::uint16_t w1, std::uint16_t w2, std::uint16_t w3)
{
    QByteArray data = bytes({0x23});
    appendWord(data, w1);
    appendWord(data, w2);
    appendWord(data, w3);
    return sendCommand('G', data, u"GateWmcountmodeCmd: ");
}

int TTComXDlg::GateWmcountvaluCmd(const CountRecord& values)
{
    QByteArray data(1 + static_cast<qsizetype>(CountRecord::kSize), '\0');
    data[0] = static_cast<char>(0x28);
    values.write(reinterpret_cast<std::uint8_t*>(data.data()) + 1);
    return sendCommand('G', data, u"GateWmcountvaluCmd: ");
}

bool TTComXDlg::WaitReply()
{
    m_shared.stopwatch.StopwatchStart(m_gate);
    const QPointer<TTComXDlg> self(this);
    const auto settled = [this, &self] {
        return !self || ReplyStatus() != ReplyState::None || m_shared.stopwatch.StopwatchElapsed(m_gate, kReplyWaitMs);
    };
    if (!settled()) {
        QEventLoop loop;
        QTimer poll;
        poll.setInterval(1);
        connect(&poll, &QTimer::timeout, &loop, [&] {
            if (settled())
                loop.quit();
        });
        poll.start();
        loop.exec();
    }
    if (!self)
        return false;
    if (ReplyStatus() == ReplyState::None) {
        comment(u"レスポンス待ち　タイムオーバー");
        return false;
    }
    const std::uint8_t command = LastReply(2);
    if (command == '0')
        return true;
    if (command == '1')
        comment(u"NACK 受信");
    return false;
}
