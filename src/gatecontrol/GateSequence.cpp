#include "gatecontrol/GateSequence.h"

#include "config/SettingsRecord.h"
#include "counting/CountModel.h"
#include "gatecontrol/ConnectionErrorText.h"
#include "gatecontrol/ConnectionSupervisor.h"
#include "gatecontrol/PingService.h"
#include "gatecontrol/SequenceHost.h"
#include "gatecontrol/TickTable.h"
#include "gatelink/TTComXDlg.h"
#include "gatelink/TcpIpPara.h"

#include <QTimer>

#include <algorithm>

namespace {

// Reply frame layout as LastReply indexes it.
constexpr int kCmd = 2;
constexpr int kLen = 3;
constexpr int kData = 4;

} // namespace

GateSequence::GateSequence(const GateControlContext& context, ConnectionSupervisor& supervisor, PingService& ping)
    : m_ctx(context), m_supervisor(supervisor), m_ping(ping)
{
}

void GateSequence::ConnectCheckTimerTimer()
{
    m_ctx.connectCheckTimer.stop();
    if (!linkStart())
        return;
    for (int slot = 0; slot < LinkShared::kGateSlots; ++slot) {
        if (!m_ctx.settings.gates[slot].active() || !m_ctx.gateLink(slot))
            continue;
        // A re-creation started outside a tick (a ping result, the LAN dialog) is still waiting:
        // acting on its half-made link would start a second one on top of it.
        if (m_supervisor.recreating(slot))
            continue;
        connectionLossCheck(slot);
        runStep(slot);
    }
    updateRfPauseButton();
    m_ctx.connectCheckTimer.start();
}

bool GateSequence::requestAlarm(int slot)
{
    SequenceRecord& record = m_ctx.records[static_cast<std::size_t>(slot)];
    if (record.step != 26)
        return false;
    record.step = SequenceRecord::kAlarm;
    return true;
}

void GateSequence::startRfPause(int slot)
{
    m_ctx.records[static_cast<std::size_t>(slot)].step = SequenceRecord::kRfPause;
}

void GateSequence::startRfResume(int slot)
{
    m_ctx.records[static_cast<std::size_t>(slot)].step = SequenceRecord::kRfResume;
}

bool GateSequence::startShutdown()
{
    bool shuttingDown = false;
    for (int slot = 0; slot < LinkShared::kGateSlots; ++slot) {
        m_ctx.ticks.TickMark(TickTable::kCheck + slot);
        const TTComXDlg* link = m_ctx.gateLink(slot);
        SequenceRecord& record = m_ctx.records[static_cast<std::size_t>(slot)];
        if (link && link->isConnected() && record.step > 11) {
            shuttingDown = true;
            record.step = relaying() ? SequenceRecord::kShutdownWithRelay : SequenceRecord::kShutdown;
        }
    }
    if (!shuttingDown)
        return false;
    // Slots that are not shutting down count as not connected from now on.
    for (int slot = 0; slot < LinkShared::kGateSlots; ++slot) {
        SequenceRecord& record = m_ctx.records[static_cast<std::size_t>(slot)];
        if (record.step >= SequenceRecord::kShutdownWithRelay)
            continue;
        if (TTComXDlg* link = m_ctx.gateLink(slot))
            link->setConnected(false);
        record.step = 0;
    }
    return true;
}

bool GateSequence::shutdownFinished() const
{
    for (int slot = 0; slot < LinkShared::kGateSlots; ++slot) {
        const int step = m_ctx.records[static_cast<std::size_t>(slot)].step;
        const TTComXDlg* link = m_ctx.gateLink(slot);
        if (!m_ctx.ticks.TickElapsed(TickTable::kCheck + slot, kShutdownLimitMs) && link && link->isConnected() &&
            step > 9 && step < SequenceRecord::kShutdownDone)
            return false;
    }
    return true;
}

// While the network is not ready the gates wait, checking once a second; once it is, the links
// are made afresh so the gate links open their sockets.
bool GateSequence::linkStart()
{
    if (m_ctx.links.connectionsDeferred) {
        if (!m_ctx.host.networkReady()) {
            m_ctx.connectCheckTimer.start(kDeferredIntervalMs);
            return false;
        }
        m_ctx.links.connectionsDeferred = false;
        m_ctx.host.recreateLinks();
        for (int slot = 0; slot < LinkShared::kGateSlots; ++slot) {
            if (!m_ctx.settings.gates[slot].active())
                continue;
            m_ctx.ticks.TickMark(TickTable::kReply + slot);
            m_ctx.ticks.TickMark(TickTable::kConnection + slot);
        }
    }
    m_ctx.connectCheckTimer.setInterval(1);
    return true;
}

void GateSequence::connectionLossCheck(int slot)
{
    SequenceRecord& record = m_ctx.records[static_cast<std::size_t>(slot)];
    TTComXDlg& link = *m_ctx.gateLink(slot);
    // Taken on every tick, so that only a drop while the sequence runs counts.
    const bool lost = link.takeConnectionLost();
    if (record.step <= 0 || m_ctx.host.shutdownComplete() || m_ctx.closeTimer.isActive())
        return;
    if (link.isConnected()) {
        if (!lost)
            return;
        // The link's own retry restored the connection before this check saw the drop. The reader
        // may have restarted, so its start-up runs again, as after a reconnect, on the new connection.
        m_ctx.ticks.TickMark(TickTable::kReply + slot);
        m_supervisor.relayReset(slot);
        record.startDelay = SequenceRecord::kReconnectStartDelay;
        record.step = 0;
        return;
    }
    m_ctx.ticks.TickMark(TickTable::kReply + slot);
    m_supervisor.relayReset(slot);
    m_supervisor.ClientSockReconnect(slot);
}

void GateSequence::send(int slot, int length, std::uint8_t code)
{
    SequenceRecord& record = m_ctx.records[static_cast<std::size_t>(slot)];
    record.expectedLength = length;
    record.expectedCode = code;
    m_ctx.ticks.TickMark(TickTable::kReply + slot);
}

void GateSequence::runStep(int slot)
{
    SequenceRecord& r = m_ctx.records[static_cast<std::size_t>(slot)];
    TTComXDlg& link = *m_ctx.gateLink(slot);
    const bool countOnly = m_ctx.settings.countOnly;
    switch (r.step) {
    case 0:
        connectionWait(slot);
        return;
    case 1:
        m_ctx.ticks.TickMark(TickTable::kReply + slot);
        r.step = 2;
        return;
    case 2: {
        const auto delay = static_cast<std::uint32_t>(100 * slot + 1000 * r.startDelay);
        if (!m_ctx.ticks.TickElapsed(TickTable::kReply + slot, delay))
            return;
        if (relaying() && (m_ctx.settings.hostGraceSeconds == 0 || r.relayCountdown < 0))
            m_supervisor.ServerSockRecreate(slot);
        link.ROM_VERSION_CMD();
        send(slot, 10, 0x90);
        r.step = 3;
        return;
    }
    case 4:
        if (r.startDelay > 0)
            --r.startDelay;
        if (r.m1 == 0) {
            link.DousaModeGet();
            send(slot, 9, 0x00);
            r.step = 5;
        } else {
            r.step = 6;
        }
        return;
    case 6:
    case SequenceRecord::kRfPause:
        link.DousaModeSet(false, 0x00, r.m2, r.m3);
        send(slot, 0, 0x03);
        ++r.step;
        return;
    case 8:
        m_ctx.ticks.TickMark(TickTable::kReply + slot);
        r.step = 12;
        return;
    case 12:
        link.EEPROM_RD_CMD(39, r.wordLayout);
        if (r.wordLayout)
            send(slot, 5, 0x70);
        else
            send(slot, 2, 0xB4);
        r.step = 13;
        return;
    case 14:
        r.step = 16;
        return;
    case 16:
        link.GateRmcountvaluCmd2();
        send(slot, 0x25, 0x0B);
        r.step = 17;
        return;
    case 18:
        if (countOnly) {
            r.step = 22;
        } else if (r.wordLayout) {
            link.EEPROM_RDWR_CMD(0x70, 3, 2);
            send(slot, 7, 0x70);
            r.step = 19;
        } else {
            link.AFI_RDWR_CMD();
            send(slot, 2, 0x51);
            r.step = 19;
        }
        return;
    case 20:
        if (r.wordLayout) {
            r.step = 22;
        } else {
            link.EEPROM_RD_CMD(7, false);
            send(slot, 2, 0xB4);
            r.step = 21;
        }
        return;
    case 22:
        startReadLoop(slot, 23, 24);
        return;
    case 24:
        if (relaying()) {
            link.DousaModeSet(false, r.m1, r.m2, r.m3);
            send(slot, 0, 0x03);
            r.step = 25;
        } else {
            r.step = 26;
        }
        return;
    case 26:
        idle(slot);
        return;
    case 27:
        check(slot);
        return;
    case 29:
    case 32:
    case 37:
    case 43:
        r.step = 26;
        return;
    case SequenceRecord::kAlarm:
        link.GateSetDispOutStateCmd(m_ctx.host.alarmSelector(slot) == 1 ? 0x7A : 0x79, 0x10, 0x00);
        send(slot, 1, 0x26);
        m_ctx.host.restartGridUpdateTimer();
        r.step = 31;
        return;
    case 35:
        link.TXON_OFF_CMD(false);
        send(slot, 2, 0x9E);
        r.step = 36;
        return;
    case SequenceRecord::kRfResume:
        link.TXON_OFF_CMD(true);
        send(slot, 2, 0x9E);
        r.step = 40;
        return;
    case 41:
        startReadLoop(slot, 42, 43);
        return;
    case SequenceRecord::kShutdownWithRelay:
        if (relaying())
            m_supervisor.relayReset(slot);
        link.DousaModeSet(false, 0x00, r.m2, r.m3);
        send(slot, 0, 0x03);
        r.step = 998;
        return;
    case SequenceRecord::kShutdown:
        // The counts made so far are stored before the gate forgets them.
        m_ctx.counts.counterResetAhead(slot);
        link.GateWmcountvaluCmd(CountRecord{});
        send(slot, 1, 0x28);
        r.step = 1000;
        return;
    case 1003:
        link.RESTART_CMD();
        m_ctx.ticks.TickMark(TickTable::kReply + slot);
        r.step = SequenceRecord::kShutdownDone;
        return;
    case 3:
    case 5:
    case 7:
    case 13:
    case 17:
    case 19:
    case 21:
    case 23:
    case 25:
    case 28:
    case 31:
    case 34:
    case 36:
    case 40:
    case 42:
    case 998:
    case 1000:
    case 1002:
        waitStep(slot);
        return;
    default:
        return;
    }
}

void GateSequence::waitStep(int slot)
{
    SequenceRecord& r = m_ctx.records[static_cast<std::size_t>(slot)];
    TTComXDlg& link = *m_ctx.gateLink(slot);
    const bool awaited =
        link.ReplyStatus() >= 1 && link.LastReply(kData) == r.expectedCode && link.LastReply(kLen) == r.expectedLength;
    // An answer whose LastReply copy a count frame from the gate replaced before this tick.
    const auto answered = [&](char command) {
        return link.answeredSinceSend(command, r.expectedLength, r.expectedCode);
    };
    const bool lastAccepted = awaited && link.LastReply(kCmd) == '0';
    // The count write is awaited twice (1000, then 1002 on the stored reply); leaving 1000 always
    // goes to 1002, as step 1001 does not exist.
    const int next = r.step == 1000 ? 1002 : r.step + 1;
    if (lastAccepted || answered('0')) {
        link.setConnected(true);
        if (r.step > 27)
            m_ctx.ticks.TickMark(TickTable::kIdle + slot);
        onAccept(slot, lastAccepted ? ReplySource::LastReply : ReplySource::Answer);
        r.step = next;
        return;
    }
    if ((awaited && link.LastReply(kCmd) == '1') || answered('1')) {
        link.setConnected(true);
        --r.step;
        link.LinkLog(QStringLiteral("NACK 受信"), LogDirection::ToGate);
        return;
    }
    if (!m_ctx.ticks.TickElapsed(TickTable::kReply + slot, kReplyLimitMs))
        return;
    if (m_ctx.closeTimer.isActive() || m_ctx.host.shutdownComplete() || m_ctx.host.tagViewBusy() ||
        !link.isConnected()) {
        r.step = next;
        return;
    }
    if (r.step == 3)
        r.startDelay = std::min(r.startDelay + 1, kMaxStartDelay);
    if (relaying())
        m_supervisor.relayReset(slot);
    m_supervisor.ClientSockReconnect(slot);
}

void GateSequence::onAccept(int slot, ReplySource source)
{
    SequenceRecord& r = m_ctx.records[static_cast<std::size_t>(slot)];
    const TTComXDlg& link = *m_ctx.gateLink(slot);
    const auto data = [&link, source](int index) {
        return source == ReplySource::LastReply ? link.LastReply(kData + index) : link.Answer(kData + index);
    };
    switch (r.step) {
    case 3:
        wordLayoutRule(slot, data(1), data(2), data(3));
        return;
    case 5:
        r.m1 = data(1);
        r.m2 = data(2);
        // Counting only keeps the reader's bit 4; otherwise it is cleared for the tag reading.
        r.m3 = m_ctx.settings.countOnly ? data(3) : static_cast<std::uint8_t>(data(3) & ~0x10);
        return;
    case 13: {
        const std::uint8_t b = r.wordLayout ? data(4) : data(1);
        r.aisleCount = std::max(1, (b >> 1) & 7);
        m_ctx.counts.setAisleCount(slot, r.aisleCount);
        m_ctx.host.startTimer1();
        return;
    }
    case 19:
        if (r.wordLayout) {
            r.loopAfi = data(4);
            r.loopOption = (data(6) & 2) != 0;
        } else {
            r.loopAfi = data(1);
        }
        return;
    case 21:
        if (!r.wordLayout)
            r.loopOption = (data(1) & 2) != 0;
        return;
    case 31:
        m_ctx.host.markAlarmsHandled(slot);
        return;
    case 1000:
        m_ctx.counts.clearLastValues(slot);
        return;
    default:
        return;
    }
}

// Readers whose version is below x.3.5 keep their settings in words.
void GateSequence::wordLayoutRule(int slot, std::uint8_t first, std::uint8_t second, std::uint8_t third)
{
    SequenceRecord& r = m_ctx.records[static_cast<std::size_t>(slot)];
    if (first >= '1')
        r.wordLayout = second < '3' || third < '5';
}

void GateSequence::connectionWait(int slot)
{
    SequenceRecord& r = m_ctx.records[static_cast<std::size_t>(slot)];
    const TTComXDlg& link = *m_ctx.gateLink(slot);
    if (link.isConnected()) {
        // Back on line: once the error window has taken this in, a later loss is announced again.
        r.listed = false;
        m_ctx.host.GateTabCaptionSet(slot);
        r.step = 1;
        return;
    }
    if (m_ctx.ticks.TickElapsed(TickTable::kConnection + slot, kFirstConnectMs) || link.connectionAttempts() > 0) {
        composeErrorWindow();
        return;
    }
    if (m_ctx.ticks.TickElapsed(TickTable::kReply + slot, kReplyLimitMs)) {
        m_supervisor.relayReset(slot);
        m_supervisor.ClientSockReconnect(slot);
        m_ctx.ticks.TickMark(TickTable::kReply + slot);
        return;
    }
    if (relaying())
        m_supervisor.relayReset(slot);
}

void GateSequence::composeErrorWindow()
{
    std::array<ConnectionErrorText::Gate, ConnectionErrorText::kSlots> gates;
    std::array<bool, ConnectionErrorText::kSlots> listed{};
    for (int j = 0; j < LinkShared::kGateSlots; ++j) {
        const auto index = static_cast<std::size_t>(j);
        const TTComXDlg* link = m_ctx.gateLink(j);
        const bool connected = link && link->isConnected();
        if (!connected)
            m_ctx.host.GateTabCaptionSet(j);
        ConnectionErrorText::Gate& gate = gates[index];
        gate.active = link && m_ctx.settings.gates[j].active();
        gate.connected = connected;
        gate.tried =
            link && (link->connectionAttempts() > 0 || m_ctx.ticks.TickElapsed(TickTable::kConnection + j, kTriedMs));
        gate.acknowledged = m_ctx.records[index].acknowledged;
        gate.shortName = m_ctx.settings.gates[j].shortName;
        listed[index] = m_ctx.records[index].listed;
    }
    const ConnectionErrorText::Result result = ConnectionErrorText::compose(gates, listed);
    for (int j = 0; j < LinkShared::kGateSlots; ++j)
        m_ctx.records[static_cast<std::size_t>(j)].listed = result.listed[static_cast<std::size_t>(j)];
    if (result.text.isEmpty())
        m_ctx.host.closeConnectionError();
    else
        m_ctx.host.showConnectionError(result.text, ConnectionErrorText::fontSize(result.count));
}

void GateSequence::gateIsUp(int slot)
{
    m_ctx.host.GateTabCaptionSet(slot);
    m_supervisor.relayCountdownDone(slot);
}

void GateSequence::startReadLoop(int slot, int nextWithLoop, int nextWithout)
{
    SequenceRecord& r = m_ctx.records[static_cast<std::size_t>(slot)];
    gateIsUp(slot);
    if (m_ctx.settings.countOnly) {
        r.step = nextWithout;
        return;
    }
    m_ctx.gateLink(slot)->ReadLoopCommand(0x00, r.loopOption ? 0x20 : 0x00, 0x00, 0x0C, r.loopAfi);
    send(slot, 1, 0xF2);
    r.step = nextWithLoop;
}

void GateSequence::idle(int slot)
{
    SequenceRecord& r = m_ctx.records[static_cast<std::size_t>(slot)];
    if (quiet()) {
        r.expectedLength = 0;
        r.expectedCode = 0;
        return;
    }
    TTComXDlg* relay = m_ctx.relayLink(slot);
    if (relaying() && m_ctx.gateLink(slot)->hasClientSocket() && relay && !relay->isListening()) {
        relay->setServerPort(m_ctx.tcpip.entry(tagTCPIPPara::RelayRow, slot).port);
        relay->ServerListen();
    }
    m_ctx.ticks.TickMark(TickTable::kIdle + slot);
    if (r.expectedLength != 0 || r.expectedCode != 0)
        m_ctx.ticks.TickMark(TickTable::kCheck + slot);
    r.step = 27;
}

void GateSequence::check(int slot)
{
    SequenceRecord& r = m_ctx.records[static_cast<std::size_t>(slot)];
    if (quiet()) {
        r.expectedLength = 0;
        r.expectedCode = 0;
        r.step = 26;
        return;
    }
    if (!m_ctx.ticks.TickElapsed(TickTable::kIdle + slot, kIdleMs))
        return;
    TTComXDlg& link = *m_ctx.gateLink(slot);
    const auto checkMs = static_cast<std::uint32_t>(m_ctx.settings.connectCheckMinutes) * 60000u;
    bool waiting = true;
    if (!(relaying() && m_ctx.settings.countOnly) && m_ctx.ticks.TickElapsed(TickTable::kCheck + slot, checkMs)) {
        link.ROM_VERSION_CMD();
        send(slot, 10, 0x90);
        m_ctx.ticks.TickMark(TickTable::kCheck + slot);
    } else {
        link.setDataSeen(false);
        waiting = m_ping.ExecuteAsync(slot + 1, m_ctx.tcpip.entry(tagTCPIPPara::GateRow, slot).address, kPingTimeoutMs);
        send(slot, 0, 0x00);
    }
    m_ctx.ticks.TickMark(TickTable::kIdle + slot);
    // Without a ping the gate waits for its next check; at 28 the 3 s limit would reconnect it.
    r.step = waiting ? 28 : 26;
}

void GateSequence::updateRfPauseButton()
{
    const int shown = m_ctx.host.activeGateSlot();
    bool enabled = false;
    if (shown >= 0 && shown < LinkShared::kGateSlots) {
        const int step = m_ctx.records[static_cast<std::size_t>(shown)].step;
        enabled = step >= 26 && step <= 32;
    }
    if (m_ctx.host.rfPauseButtonEnabled() != enabled)
        m_ctx.host.setRfPauseButtonEnabled(enabled);
}

bool GateSequence::relaying() const
{
    return m_ctx.settings.relayServer;
}

bool GateSequence::quiet() const
{
    return m_ctx.host.tagViewBusy() || m_ctx.host.buzzerRunning();
}
