#include "config/SettingsRecord.h"
#include "gatecontrol/DailySchedules.h"
#include "gatelink/EepromLogFile.h"
#include "gatelink/GateFrame.h"
#include "gatelink/LinkLogModel.h"
#include "gatelink/LinkShared.h"
#include "gatelink/TTComXDlg.h"
#include "integration/support/GateSimProcess.h"
#include "platform/Cp932Codec.h"
#include "platform/SystemClock.h"
#include "support/TempFolder.h"

#include <QDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

const QByteArray kReadRequest = GateFrame::BuildFrame('G', GateSimProcess::hex("01 04 01"));
const QByteArray kRomRequest = GateFrame::BuildFrame('O', GateSimProcess::hex("90 00"));
const QByteArray kModeRequest = GateFrame::BuildFrame('O', GateSimProcess::hex("00"));

// Gate slot 0 against one simulated gate, its relay link listening on loopback and its EEPROM watch
// running on its own timer; the watch restores 入出用, multiplier 3, voice count 1.
class WatchedSimGate
{
public:
    bool startWith(const QByteArray& config)
    {
        if (!sim.start(1, config))
            return false;
        shared.eeprom.passageMode = false;
        shared.eeprom.readTimeFactor = 3;
        shared.eeprom.voiceCount = 1;
        shared.dataFolder = folder.path();
        gateLink = std::make_unique<TTComXDlg>(shared, 0);
        relayLink = std::make_unique<TTComXDlg>(shared, 15);
        gateLink->LinkInit(&log, 0, false, TcpIpParaEntry{0, false, sim.port(0), sim.address(0).toString()},
                           TTComXDlg::TcpIp);
        relayLink->LinkInit(&log, 0, true, TcpIpParaEntry{0, true, 0, QString()}, TTComXDlg::TcpIp);
        relayLink->setListenAddress(QHostAddress::LocalHost);
        return relayLink->ServerListen() && sim.waitFor([this] { return gateLink->isConnected(); }, 5000);
    }

    QStringList logFiles() const
    {
        return QDir(folder.path()).entryList({QStringLiteral("EEPROM_ERROR_LOG_*.txt")}, QDir::Files);
    }

    TempFolder folder;
    GateSimProcess sim;
    LinkShared shared{SystemClock::instance()};
    LinkLogModel log;
    std::unique_ptr<TTComXDlg> gateLink;
    std::unique_ptr<TTComXDlg> relayLink;
};

} // namespace

TEST(EepromWatchSim, AChangedWordIsReadAndWrittenBackAndTheLogFileTellsSo)
{
    WatchedSimGate g;
    ASSERT_TRUE(g.startWith("G0.eeprom.4=01 83\n")) << g.sim.errorOutput().toStdString();
    g.gateLink->eepromWatch().requestCheck();
    ASSERT_TRUE(g.sim.waitFor([&g] { return g.logFiles().size() == 1; }, 5000));
    EXPECT_EQ(g.sim.frames(0, QStringLiteral("RX")),
              (QList<QByteArray>{kReadRequest, GateFrame::BuildFrame('G', GateSimProcess::hex("21 04 01 01 03"))}));
    EXPECT_EQ(g.sim.command(QStringLiteral("eeprom 0 4")), QStringLiteral("ok G0 eeprom 4 01 03"));
    const QString text = Cp932Codec::decode(g.folder.read(g.logFiles()[0]));
    EXPECT_TRUE(text.contains(QStringLiteral("[cmt] 復元前の値：赤外線センサー動作モード：通過用\r\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("[cmt] 復元後の値：赤外線センサー動作モード：入出用\r\n")));
    EXPECT_TRUE(text.endsWith(QStringLiteral("[cmt] EEPROM監視機能：復元完了\r\n")));
    EXPECT_FALSE(g.gateLink->watchFlags().busy);

    // Another tool changes the word at the gate: the next check finds it.
    EXPECT_EQ(g.sim.command(QStringLiteral("eeprom 0 4 05 07")), QStringLiteral("ok G0 eeprom 4 05 07"));
    g.gateLink->eepromWatch().requestCheck();
    ASSERT_TRUE(g.sim.waitFor([&g] { return g.sim.frames(0, QStringLiteral("RX")).size() == 4; }, 5000));
    EXPECT_EQ(g.sim.frames(0, QStringLiteral("RX")).last(),
              GateFrame::BuildFrame('G', GateSimProcess::hex("21 04 01 01 03")));
}

// The host PC's frames sent while the watch holds the gate wait in the HostQueue and reach the gate
// after the check, in order and unchanged; the host gets its answers.
TEST(EepromWatchSim, HostFramesDuringACheckReachTheGateAfterIt)
{
    struct Case
    {
        const char* name;
        QByteArray config;
        QString fault;
        int waitMs;
    };
    const Case cases[] = {
        {"slow gate", {}, QStringLiteral("fault 0 delay 1500"), 1500},
        {"gate that never answers the read", "reply.G.01=\n", {}, 12000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WatchedSimGate g;
        ASSERT_TRUE(g.startWith(c.config)) << g.sim.errorOutput().toStdString();
        if (!c.fault.isEmpty()) {
            EXPECT_TRUE(g.sim.command(c.fault).startsWith(QStringLiteral("ok")));
        }
        g.gateLink->eepromWatch().requestCheck();
        ASSERT_TRUE(g.sim.waitForFrames(0, QStringLiteral("RX"), 1));
        ASSERT_TRUE(g.gateLink->watchFlags().busy);
        const auto run =
            GateSimProcess::runHostPc(g.relayLink->serverPort(), {kRomRequest, kModeRequest}, 2, c.waitMs + 5000);
        EXPECT_EQ(run.exitCode, 0) << run.errorOutput.toStdString();
        EXPECT_EQ(g.sim.frames(0, QStringLiteral("RX")), (QList<QByteArray>{kReadRequest, kRomRequest, kModeRequest}));
        EXPECT_EQ(g.gateLink->eepromWatch().state(), 0);
        EXPECT_FALSE(g.gateLink->watchFlags().busy);
        EXPECT_TRUE(g.logFiles().isEmpty());
    }
}

TEST(EepromWatchSim, TheFirstLampTickSendsTheRequestTheScheduleWantsNow)
{
    WatchedSimGate g;
    ASSERT_TRUE(g.startWith({})) << g.sim.errorOutput().toStdString();
    SettingsRecord settings;
    settings.lamp.autoControl = true;
    // E = D: the window is empty, so request 1 (always-on mode on) whatever the time of the run.
    settings.lamp.onTime = 8.0 / 24.0;
    settings.lamp.offTime = 8.0 / 24.0;
    DailySchedules schedules(g.shared, g.log, settings);
    schedules.start();
    ASSERT_TRUE(g.sim.waitForFrames(0, QStringLiteral("RX"), 1));
    EXPECT_EQ(g.sim.frames(0, QStringLiteral("RX")),
              QList<QByteArray>{GateFrame::BuildFrame('G', GateSimProcess::hex("2B 01"))});
    ASSERT_TRUE(g.sim.waitFor(
        [&g] { return g.sim.command(QStringLiteral("state 0")).contains(QStringLiteral(" lamp=1 ")); }, 3000));
    ASSERT_TRUE(g.sim.waitFor([&g] { return !g.gateLink->watchFlags().busy; }, 3000));
}
