#include "MainFormFixture.h"

#include "gatelink/TTComXDlg.h"
#include "support/GateSimProcess.h"

#include <QPlainTextEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QStringList simulatedGateSettings(quint16 port)
{
    return {QStringLiteral("[基本設定]"),
            QStringLiteral("人数カウントのみ=YES"),
            QStringLiteral("終了時人数カウントCSV出力=NO"),
            QStringLiteral("開始時間帯=0"),
            QStringLiteral("終了時間帯=23"),
            QStringLiteral("[ゲート1]"),
            QStringLiteral("名称=正面"),
            QStringLiteral("略称=正面"),
            QStringLiteral("IPアドレス=127.0.0.1"),
            QStringLiteral("ポート番号=") + QString::number(port),
            QStringLiteral("中継ポート番号=0")};
}

} // namespace

TEST(MainFormLinks, FirstShowConnectsTheGateAndItsCountsReachTheModel)
{
    GateSimProcess sim;
    ASSERT_TRUE(sim.start(1));
    MainFormFixture fixture;
    fixture.writeSettings(simulatedGateSettings(sim.port(0)));
    auto form = fixture.create();
    EXPECT_EQ(form->link(0), nullptr);
    form->show();
    ASSERT_NE(form->link(0), nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->gateConnected(0); }, 5000));
    EXPECT_FALSE(form->gateConnected(1));

    // The first count only sets the base; the second one is counted.
    EXPECT_TRUE(sim.command(QStringLiteral("count 0 0 3 0")).startsWith(QStringLiteral("ok")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->counts().hasLastValues(0); }, 5000));
    EXPECT_TRUE(sim.command(QStringLiteral("count 0 0 2 0")).startsWith(QStringLiteral("ok")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->counts().eventCount() == 1; }, 5000));
    EXPECT_EQ(form->counts().EventAt(0)->in[0], 2);
    EXPECT_TRUE(form->linkLogView()->toPlainText().contains(QStringLiteral(" C: G0:[RX]  ")));
    EXPECT_TRUE(fixture.prompts.errors.isEmpty());
    form->close();
}

TEST(MainFormLinks, RefusedFirstConnectionShowsTheFatalMessageOnceAndCloses)
{
    // A port nobody listens on: take a free one from the simulator and stop it.
    quint16 port = 0;
    {
        GateSimProcess sim;
        ASSERT_TRUE(sim.start(1));
        port = sim.port(0);
    }
    MainFormFixture fixture;
    fixture.writeSettings(simulatedGateSettings(port));
    auto form = fixture.create();
    form->show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->isVisible(); }, 5000));
    EXPECT_EQ(fixture.prompts.errors.size(), 1);
    EXPECT_TRUE(form->fatalError());
    EXPECT_EQ(fixture.prompts.questions, 0) << "the close question is skipped after the fatal message";
}
