#pragma once

#include "config/SettingsRecord.h"
#include "counting/CountModel.h"
#include "gatecontrol/ConnectionSupervisor.h"
#include "gatecontrol/GateSequence.h"
#include "gatecontrol/PingService.h"
#include "gatecontrol/SequenceHost.h"
#include "gatecontrol/TickTable.h"
#include "gatelink/GateFrame.h"
#include "gatelink/LinkLogModel.h"
#include "gatelink/TTComXDlg.h"
#include "gatelink/TcpIpPara.h"
#include "platform/ManualClock.h"

#include <QList>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

class FakeSequenceHost final : public SequenceHost
{
public:
    bool tagViewBusy() const override { return busy; }
    bool buzzerRunning() const override { return buzzer; }
    bool shutdownComplete() const override { return shutdown; }
    void startTimer1() override { ++timer1Starts; }
    void restartGridUpdateTimer() override { ++gridRestarts; }
    void GateTabCaptionSet(int) override { ++captions; }
    void markAlarmsHandled(int slot) override { alarmsHandled.append(slot); }
    int alarmSelector(int) const override { return selector; }
    int activeGateSlot() const override { return activeSlot; }
    bool rfPauseButtonEnabled() const override { return rfEnabled; }
    void setRfPauseButtonEnabled(bool enabled) override
    {
        rfEnabled = enabled;
        ++rfChanges;
    }
    void showConnectionError(const QString& text, int pointSize) override
    {
        errorText = text;
        errorFont = pointSize;
        errorShown = true;
    }
    void closeConnectionError() override { errorShown = false; }
    bool networkReady() override { return ready; }
    void recreateLinks() override { ++linkRecreations; }

    bool busy = false;
    bool buzzer = false;
    bool shutdown = false;
    int timer1Starts = 0;
    int gridRestarts = 0;
    int captions = 0;
    QList<int> alarmsHandled;
    int selector = 0;
    int activeSlot = -1;
    bool rfEnabled = false;
    int rfChanges = 0;
    QString errorText;
    int errorFont = 0;
    bool errorShown = false;
    bool ready = true;
    int linkRecreations = 0;
};

class FakePing final : public PingService
{
public:
    bool ExecuteAsync(int identifier, const QString& host, int) override
    {
        calls.append({identifier, host});
        return available;
    }
    QList<std::pair<int, QString>> calls;
    bool available = true;
};

// The sequence of the 15 slots on a manual clock, with links that have no transport: replies are fed
// into their receive path, and the link state is set by the test.
class SequenceBench
{
public:
    explicit SequenceBench(int activeSlots = 1)
    {
        settings.relayServer = false;
        settings.countOnly = false;
        settings.hostGraceSeconds = 0;
        for (int slot = 0; slot < LinkShared::kLinks; ++slot)
            links.push_back(std::make_unique<TTComXDlg>(shared, slot));
        for (int slot = 0; slot < LinkShared::kGateSlots; ++slot) {
            const bool active = slot < activeSlots;
            settings.gates[slot].name = active ? QStringLiteral("Gate") + QString::number(slot) : QString();
            settings.gates[slot].shortName = QString(QChar(u'A' + slot));
            // Port 1 on loopback refuses at once: a re-created socket never reaches anything.
            tcpip.entry(tagTCPIPPara::GateRow, slot) = {slot, false, 1, QStringLiteral("127.0.0.1")};
            tcpip.entry(tagTCPIPPara::RelayRow, slot) = {15 + slot, true, 0, QStringLiteral("127.0.0.1")};
            gate(slot).LinkInit(&log, slot, false, tcpip.entry(tagTCPIPPara::GateRow, slot), TTComXDlg::NoTransport);
            relay(slot).LinkInit(&log, slot, true, tcpip.entry(tagTCPIPPara::RelayRow, slot), TTComXDlg::TcpIp);
            relay(slot).setListenAddress(QHostAddress::LocalHost);
        }
    }

    TTComXDlg& gate(int slot) { return *links[static_cast<std::size_t>(slot)]; }
    TTComXDlg& relay(int slot) { return *links[static_cast<std::size_t>(15 + slot)]; }
    SequenceRecord& record(int slot) { return records[static_cast<std::size_t>(slot)]; }

    void connect(int slot)
    {
        gate(slot).RecreateClientSocket();
        gate(slot).setOpen(true);
        gate(slot).setConnected(true);
    }
    void reply(int slot, char command, const QByteArray& data)
    {
        const QByteArray frame = GateFrame::BuildFrame(command, data);
        gate(slot).ReceiveBytes(reinterpret_cast<const std::uint8_t*>(frame.constData()), int(frame.size()));
    }
    // Slot 0 connected and at step 3, waiting for the answer to its ROM version request.
    void awaitRomVersion()
    {
        connect(0);
        record(0).step = 2;
        advance(1000);
        tick();
    }
    void tick(int count = 1)
    {
        for (int i = 0; i < count; ++i)
            sequence.ConnectCheckTimerTimer();
    }
    void advance(std::uint32_t ms) { clock.advanceMs(ms); }
    int logLines(const QString& text) const
    {
        int count = 0;
        for (const QString& line : log.lines())
            count += line.endsWith(text) ? 1 : 0;
        return count;
    }
    bool logged(const QString& hex) const
    {
        for (const QString& line : log.lines())
            if (line.contains(QStringLiteral(":[TX]  ")) && line.contains(hex))
                return true;
        return false;
    }

    ManualClock clock{0.0, 1000000};
    SettingsRecord settings;
    tagTCPIPPara tcpip;
    LinkShared shared{clock};
    LinkLogModel log;
    std::array<SequenceRecord, LinkShared::kGateSlots> records{};
    TickTable ticks{clock};
    CountModel counts{clock};
    FakeSequenceHost host;
    FakePing ping;
    QTimer connectCheckTimer;
    QTimer closeTimer;
    std::vector<std::unique_ptr<TTComXDlg>> links;
    GateControlContext context{settings, tcpip, shared, records, ticks, counts, host, connectCheckTimer, closeTimer};
    int waits = 0;
    // Runs inside each re-creation wait, as events arriving meanwhile would.
    std::function<void()> duringWait;
    ConnectionSupervisor supervisor{context, [this](int) {
                                        ++waits;
                                        if (duringWait)
                                            duringWait();
                                    }};
    GateSequence sequence{context, supervisor, ping};
};
