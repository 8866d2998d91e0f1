#include "gatecontrol/ConnectionSupervisor.h"

#include "config/SettingsRecord.h"
#include "gatecontrol/SequenceHost.h"
#include "gatecontrol/TickTable.h"
#include "gatelink/TTComXDlg.h"
#include "gatelink/TcpIpPara.h"

#include <algorithm>
#include <utility>

class ConnectionSupervisor::RecreateGuard final
{
public:
    RecreateGuard(ConnectionSupervisor& supervisor, int slot) : m_supervisor(supervisor), m_slot(slot)
    {
        ++m_supervisor.m_recreating;
        ++m_supervisor.m_recreatingSlots[static_cast<std::size_t>(slot)];
    }
    ~RecreateGuard() { m_supervisor.recreateEnded(m_slot); }
    RecreateGuard(const RecreateGuard&) = delete;
    RecreateGuard& operator=(const RecreateGuard&) = delete;

private:
    ConnectionSupervisor& m_supervisor;
    int m_slot;
};

ConnectionSupervisor::ConnectionSupervisor(const GateControlContext& context, RecreateWait wait, QObject* parent)
    : QObject(parent), m_ctx(context), m_wait(std::move(wait))
{
    SeverReconnectTimer.setObjectName(QStringLiteral("SeverReconnectTimer"));
    SeverReconnectTimer.setInterval(kSeverReconnectMs);
    connect(&SeverReconnectTimer, &QTimer::timeout, this, &ConnectionSupervisor::SeverReconnectTimerTimer);
}

void ConnectionSupervisor::ClientSockReconnect(int slot)
{
    TTComXDlg* link = m_ctx.gateLink(slot);
    SequenceRecord& record = m_ctx.records[static_cast<std::size_t>(slot)];
    if (!link) {
        record.step = 0;
        return;
    }
    if (!link->isConnected())
        m_ctx.host.GateTabCaptionSet(slot);
    const bool autoReconnect = m_ctx.settings.autoReconnect;
    const bool allowed = autoReconnect || (!record.listed && link->hasClientSocket() && !link->reconnectPending());
    if (allowed) {
        const TcpIpParaEntry& entry = m_ctx.tcpip.entry(tagTCPIPPara::GateRow, slot);
        const bool moved = link->clientPort() != entry.port || link->clientAddress() != entry.address;
        if (link->isOpen() || (link->hasClientSocket() && (!link->reconnectPending() || moved))) {
            recreateClient(*link, slot, true);
            m_ctx.ticks.TickMark(TickTable::kConnection + slot);
            record.startDelay = SequenceRecord::kReconnectStartDelay;
        } else if (!autoReconnect) {
            link->setReconnectPending(false);
        }
    } else {
        // Reconnecting waits for the user: the gate keeps a closed socket until then.
        recreateClient(*link, slot, false);
        link->setConnectionAttempts(1);
    }
    m_ctx.links.stopwatch.StopwatchStart(LinkShared::kGateSlots + slot);
    record.step = 0;
}

void ConnectionSupervisor::recreateClient(TTComXDlg& link, int slot, bool open)
{
    const RecreateGuard guard(*this, slot);
    link.clearFirstConnection();
    link.RecreateClientSocket();
    link.setConnected(false);
    m_wait(kRecreateWaitMs);
    const TcpIpParaEntry& entry = m_ctx.tcpip.entry(tagTCPIPPara::GateRow, slot);
    link.setClientEndpoint(entry.address, entry.port);
    if (open)
        link.ClientOpen();
    link.setReconnectPending(open);
    link.setOpen(false);
}

void ConnectionSupervisor::ServerSockRecreate(int slot)
{
    TTComXDlg* relay = m_ctx.relayLink(slot);
    if (!relay)
        return;
    const bool autoDisconnect = m_ctx.settings.hostAutoDisconnect;
    if (relay->isOpen()) {
        if (!autoDisconnect && relay->isListening())
            return;
        const RecreateGuard guard(*this, slot);
        relay->RecreateServerSocket();
        m_wait(kRecreateWaitMs);
    } else if (relay->isListening() && autoDisconnect) {
        relay->ServerStopListening();
    }
}

void ConnectionSupervisor::relayReset(int slot)
{
    const int grace = m_ctx.settings.hostGraceSeconds;
    if (grace == 0) {
        ServerSockRecreate(slot);
        return;
    }
    m_ctx.records[static_cast<std::size_t>(slot)].relayCountdown = grace;
    if (!SeverReconnectTimer.isActive())
        SeverReconnectTimer.start();
}

void ConnectionSupervisor::SeverReconnectTimerTimer()
{
    if (m_recreating > 0)
        return;
    SeverReconnectTimer.stop();
    for (int slot = 0; slot < LinkShared::kGateSlots; ++slot) {
        SequenceRecord& record = m_ctx.records[static_cast<std::size_t>(slot)];
        if (record.relayCountdown > 0)
            --record.relayCountdown;
        if (record.relayCountdown == 0)
            ServerSockRecreate(slot);
    }
    SeverReconnectTimer.start();
}

void ConnectionSupervisor::relayCountdownDone(int slot)
{
    m_ctx.records[static_cast<std::size_t>(slot)].relayCountdown = -1;
    if (!SeverReconnectTimer.isActive())
        return;
    const bool nonePending = std::all_of(m_ctx.records.begin(), m_ctx.records.end(),
                                         [](const SequenceRecord& record) { return record.relayCountdown < 0; });
    if (nonePending)
        SeverReconnectTimer.stop();
}

void ConnectionSupervisor::PingCallback(const TAsyncPingResult& result)
{
    const int slot = result.identifier - 1;
    if (slot < 0 || slot >= LinkShared::kGateSlots)
        return;
    if (m_recreating > 0) {
        m_deferredPings.append(result);
        return;
    }
    SequenceRecord& record = m_ctx.records[static_cast<std::size_t>(slot)];
    TTComXDlg* link = m_ctx.gateLink(slot);
    const bool waiting = record.step == 28 && record.expectedLength == 0 && record.expectedCode == 0;
    if (!link || !waiting)
        return;
    if (result.errorCode == 0 || link->dataSeen()) {
        if (link->isOpen()) {
            link->setIdlePingRounds(0);
            record.step = 26;
        }
        return;
    }
    link->LinkLog(QStringLiteral("Ping Result=") + QString::number(result.errorCode), LogDirection::ToGate);
    if (link->idlePingRounds() < kFailedPingsBeforeReconnect) {
        link->setIdlePingRounds(link->idlePingRounds() + 1);
        m_ctx.ticks.TickMark(TickTable::kReply + slot);
        return;
    }
    if (m_ctx.settings.relayServer)
        relayReset(slot);
    ClientSockReconnect(slot);
    link->setIdlePingRounds(0);
}

void ConnectionSupervisor::recreateEnded(int slot)
{
    --m_recreatingSlots[static_cast<std::size_t>(slot)];
    if (--m_recreating > 0 || m_deferredPings.isEmpty())
        return;
    // After the tick that re-created the socket, as if the wait had held the results back.
    QMetaObject::invokeMethod(this, &ConnectionSupervisor::replayDeferredPings, Qt::QueuedConnection);
}

void ConnectionSupervisor::replayDeferredPings()
{
    const QList<TAsyncPingResult> results = std::exchange(m_deferredPings, {});
    for (const TAsyncPingResult& result : results)
        PingCallback(result);
}

void ConnectionSupervisor::ConnectionImageClick()
{
    for (int slot = 0; slot < LinkShared::kGateSlots; ++slot) {
        SequenceRecord& record = m_ctx.records[static_cast<std::size_t>(slot)];
        if (!record.listed)
            continue;
        record.listed = false;
        record.acknowledged = false;
        if (m_ctx.settings.autoReconnect)
            continue;
        record.step = 0;
        if (TTComXDlg* link = m_ctx.gateLink(slot))
            link->setConnectionAttempts(0);
        restartTimers(slot);
    }
}

void ConnectionSupervisor::errorWindowClosed()
{
    for (int slot = 0; slot < LinkShared::kGateSlots; ++slot) {
        SequenceRecord& record = m_ctx.records[static_cast<std::size_t>(slot)];
        record.acknowledged = record.listed;
        const TTComXDlg* link = m_ctx.gateLink(slot);
        if (!link || link->isConnected())
            continue;
        if (link->connectionAttempts() > 0 || m_ctx.ticks.TickElapsed(TickTable::kConnection + slot, 5000))
            m_ctx.ticks.TickMarkBack(TickTable::kConnection + slot, kTimerRestartMs);
    }
}

void ConnectionSupervisor::restartSlot(int slot)
{
    if (m_ctx.settings.relayServer)
        ServerSockRecreate(slot);
    // Released before the reconnect, so that a gate the error window listed connects with its new
    // settings at once instead of keeping a closed socket.
    ConnectionImageClick();
    ClientSockReconnect(slot);
    if (TTComXDlg* link = m_ctx.gateLink(slot))
        link->setConnectionAttempts(0);
    // Marked now: the new socket has the full 3 s of the connection wait before it is judged, and
    // without automatic reconnect a judgement while it connects would give the gate up.
    for (const int entry : {TickTable::kConnection, TickTable::kIdle, TickTable::kReply})
        m_ctx.ticks.TickMark(entry + slot);
}

void ConnectionSupervisor::restartTimers(int slot)
{
    m_ctx.ticks.TickMarkBack(TickTable::kConnection + slot, kTimerRestartMs);
    m_ctx.ticks.TickMarkBack(TickTable::kIdle + slot, kTimerRestartMs);
    m_ctx.ticks.TickMarkBack(TickTable::kReply + slot, kTimerRestartMs);
}
