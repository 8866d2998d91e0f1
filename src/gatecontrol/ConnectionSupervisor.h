#pragma once

#include "gatecontrol/GateControlContext.h"
#include "gatecontrol/RecreateWait.h"
#include "gatecontrol/TAsyncPingResult.h"

#include <QList>
#include <QObject>
#include <QTimer>

#include <array>

class PingService;

// Recovery of lost gates: re-creating and reconnecting a gate link's client socket, re-creating a
// relay link's server (which cuts its host PC off), the delayed relay re-creation, the ping result
// of an idle gate, the connection image and the closing of the connection-error window.
class ConnectionSupervisor final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ConnectionSupervisor)

public:
    static constexpr int kRecreateWaitMs = 500;
    static constexpr int kSeverReconnectMs = 1000;
    static constexpr int kFailedPingsBeforeReconnect = 9;
    static constexpr int kTimerRestartMs = 3000;

    ConnectionSupervisor(const GateControlContext& context, RecreateWait wait, QObject* parent = nullptr);

    void ClientSockReconnect(int slot);
    void ServerSockRecreate(int slot);
    // The relay reset of a lost gate: re-create its relay server now (grace time 0) or count down.
    void relayReset(int slot);
    QTimer& severReconnectTimer() { return SeverReconnectTimer; }
    void SeverReconnectTimerTimer();
    // Clears a pending relay countdown once the gate is up; the timer stops when none is left.
    void relayCountdownDone(int slot);

    void PingCallback(const TAsyncPingResult& result);
    // The user clicked the connection image; the caller checks that a gate page is shown.
    void ConnectionImageClick();
    // The connection-error window is closing.
    void errorWindowClosed();
    // The LAN settings of the slot were confirmed: recover the relay, reconnect and try at once.
    void restartSlot(int slot);
    // One of the slot's sockets is being re-created and its wait pumps events: the slot's sequence
    // leaves the half-made link alone until the re-creation has ended.
    bool recreating(int slot) const { return m_recreatingSlots[static_cast<std::size_t>(slot)] > 0; }

private:
    class RecreateGuard;

    void recreateClient(TTComXDlg& link, int slot, bool open);
    void restartTimers(int slot);
    void recreateEnded(int slot);
    void replayDeferredPings();

    GateControlContext m_ctx;
    RecreateWait m_wait;
    QTimer SeverReconnectTimer;
    // Set while a re-creation pumps events: a countdown tick arriving meanwhile is skipped and a ping
    // result is held back until the re-creation ends, so no second re-creation starts on top of it.
    int m_recreating = 0;
    std::array<int, LinkShared::kGateSlots> m_recreatingSlots{};
    QList<TAsyncPingResult> m_deferredPings;
};
