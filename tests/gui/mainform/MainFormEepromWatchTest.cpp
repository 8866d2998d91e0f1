#include "MainFormFixture.h"

#include "gatelink/EepromLogFile.h"
#include "platform/Cp932Codec.h"
#include "support/GateSimProcess.h"

#include <QLabel>
#include <QStatusBar>
#include <QTest>

#include <gtest/gtest.h>

TEST(MainFormEepromWatch, FirstShowRestoresAChangedGateShowsItInTheStatusBarAndLogsAtExit)
{
    GateSimProcess sim;
    ASSERT_TRUE(sim.start(1, "G0.eeprom.4=01 83\n")) << sim.errorOutput().toStdString();
    MainFormFixture fixture;
    fixture.writeSettings({QStringLiteral("[基本設定]"), QStringLiteral("人数カウントのみ=YES"),
                           QStringLiteral("終了時人数カウントCSV出力=NO"), QStringLiteral("[ゲート1]"),
                           QStringLiteral("名称=正面"), QStringLiteral("IPアドレス=127.0.0.1"),
                           QStringLiteral("ポート番号=") + QString::number(sim.port(0)),
                           QStringLiteral("中継ポート番号=0"), QStringLiteral("[EEPROM監視設定]"),
                           QStringLiteral("EEPROM復元=有効"), QStringLiteral("クリア、終了前にログ出力=有効")});
    auto form = fixture.create();
    auto* statusBar = form->findChild<QStatusBar*>(QStringLiteral("StatusBar1"));
    ASSERT_NE(statusBar, nullptr);
    form->show();
    EXPECT_TRUE(statusBar->isHidden());

    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return sim.command(QStringLiteral("eeprom 0 4")).endsWith(QStringLiteral("01 03")); }, 5000));
    EXPECT_FALSE(statusBar->isHidden());
    EXPECT_EQ(form->findChild<QLabel*>(QStringLiteral("StatusText"))->text(),
              QStringLiteral("10:00:00: EEPROM監視機能：EEPROMの変更を検知しました。"));
    const QString restoreLog = EepromLogFile::fileName(fixture.clock.now());
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(fixture.folder.file(restoreLog)); }, 3000));

    // The exit writes the whole log once more, under the time of the exit.
    fixture.clock.advanceMs(5 * 60 * 1000);
    const QString exitLog = EepromLogFile::fileName(fixture.clock.now());
    form->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(fixture.folder.file(exitLog)); }, 5000));
    const QString text = Cp932Codec::decode(fixture.folder.read(exitLog));
    EXPECT_TRUE(text.contains(QStringLiteral("[cmt] EEPROM監視機能：復元完了\r\n"))) << text.toStdString();
}
