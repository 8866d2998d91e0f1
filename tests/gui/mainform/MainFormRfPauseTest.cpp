#include "MainFormFixture.h"

#include "gatelink/GateFrame.h"
#include "support/GateSimProcess.h"
#include "ui/TRfStopFrom.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

QStringList pauseSettings(quint16 port, bool countOnly)
{
    return {QStringLiteral("[基本設定]"),
            countOnly ? QStringLiteral("人数カウントのみ=YES") : QStringLiteral("人数カウントのみ=NO"),
            QStringLiteral("終了時人数カウントCSV出力=NO"),
            QStringLiteral("RF一時停止時間[秒]=300"),
            QStringLiteral("[ゲート1]"),
            QStringLiteral("名称=正面"),
            QStringLiteral("略称=正面"),
            QStringLiteral("IPアドレス=127.0.0.1"),
            QStringLiteral("ポート番号=") + QString::number(port),
            QStringLiteral("中継ポート番号=0")};
}

QByteArray frame(char command, std::initializer_list<int> data)
{
    QByteArray bytes;
    for (const int value : data)
        bytes.append(static_cast<char>(value));
    return GateFrame::BuildFrame(command, bytes);
}

// The main window against one simulated gate, its clock running ten times faster than real time so that
// the start-up waits pass quickly. Whatever pause window opens is handed to `onPause` from inside its loop.
class PauseRun
{
public:
    bool start(bool countOnly)
    {
        if (!sim.start(1))
            return false;
        fixture.writeSettings(pauseSettings(sim.port(0), countOnly));
        form = fixture.create();
        driver.setInterval(1);
        QObject::connect(&driver, &QTimer::timeout, [this] {
            fixture.clock.advanceMs(10);
            if (auto* pause = qobject_cast<TRfStopFrom*>(QApplication::activeModalWidget()); pause && onPause)
                onPause(*pause);
        });
        driver.start();
        form->show();
        return true;
    }
    int step() const { return form->sequence()[0].step; }
    QPushButton* button() const { return form->findChild<QPushButton*>(QStringLiteral("Gate1StopButton")); }
    // The frames the gate received since `from`, without the connection checks of the steady state.
    QList<QByteArray> commandsSince(qsizetype from)
    {
        QList<QByteArray> found;
        for (const QByteArray& bytes : sim.frames(0, QStringLiteral("RX")).mid(from))
            if (bytes[2] != 'O')
                found << bytes;
        return found;
    }

    GateSimProcess sim;
    MainFormFixture fixture;
    std::unique_ptr<TMainForm> form;
    QTimer driver;
    std::function<void(TRfStopFrom&)> onPause;
};

} // namespace

TEST(MainFormRfPause, EscPausesTheShownGateAndEndsThePauseOnceTheGateIsBack)
{
    PauseRun run;
    ASSERT_TRUE(run.start(false)) << run.sim.errorOutput().toStdString();
    // The key does nothing while the gate is not idling at 26..32 (the button is disabled).
    ASSERT_TRUE(QTest::qWaitFor([&] { return run.step() >= 2; }, 5000));
    EXPECT_FALSE(run.button()->isEnabled());
    int windows = 0;
    run.onPause = [&](TRfStopFrom& pause) {
        ++windows;
        pause.reject();
    };
    QTest::keyClick(run.form.get(), Qt::Key_Escape);
    EXPECT_EQ(windows, 0);

    ASSERT_TRUE(QTest::qWaitFor([&] { return run.button()->isEnabled(); }, 10000)) << run.step();
    const qsizetype before = run.sim.frames(0, QStringLiteral("RX")).size();
    const std::uint8_t m2 = run.form->sequence()[0].m2;
    const std::uint8_t m3 = run.form->sequence()[0].m3;
    QStringList seen;
    run.onPause = [&](TRfStopFrom& pause) {
        // Esc is taken only once the pause commands are done and the gate idles again.
        if (run.step() > TRfStopFrom::kLastQuietStep ||
            !run.sim.frames(0, QStringLiteral("RX")).contains(frame('N', {0x9E, 0})))
            return;
        seen << pause.countdown();
        QTest::keyClick(&pause, Qt::Key_Escape);
    };
    QTest::keyClick(run.form.get(), Qt::Key_Escape);
    EXPECT_EQ(seen, QStringList{QStringLiteral("あと300秒で再開します")});
    ASSERT_TRUE(run.sim.waitFor([&] { return run.commandsSince(before).size() >= 4; }, 5000));
    const QList<QByteArray> expected{frame('N', {0x00, 0x00, m2, m3}), frame('N', {0x9E, 0x00}),
                                     frame('N', {0x9E, 0x01})};
    const QList<QByteArray> got = run.commandsSince(before);
    EXPECT_EQ(got.mid(0, 3), expected);
    EXPECT_TRUE(GateSimProcess::isReadLoopCommand(got.value(3)));
    QStringList field;
    for (const GateSimLogLine& line : run.sim.log())
        if (line.kind == QLatin1String("EV") && line.text.startsWith(QLatin1String("transmitter")))
            field << line.text;
    EXPECT_EQ(field, (QStringList{QStringLiteral("transmitter off"), QStringLiteral("transmitter on")}));
    run.driver.stop();
    run.form->close();
}

TEST(MainFormRfPause, CountOnlyModeHasNoPause)
{
    PauseRun run;
    ASSERT_TRUE(run.start(true)) << run.sim.errorOutput().toStdString();
    int windows = 0;
    run.onPause = [&](TRfStopFrom& pause) {
        ++windows;
        pause.reject();
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return run.step() == 26 || run.step() == 27; }, 10000)) << run.step();
    EXPECT_TRUE(run.button()->isHidden());
    QTest::keyClick(run.form.get(), Qt::Key_Escape);
    QTest::qWait(50);
    EXPECT_EQ(windows, 0);
    EXPECT_LT(run.step(), SequenceRecord::kRfPause);
    run.driver.stop();
    run.form->close();
}
