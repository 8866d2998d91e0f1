#include "MainFormFixture.h"

#include "platform/Cp932Codec.h"

#include <QApplication>
#include <QFile>
#include <QTabWidget>

#include <gtest/gtest.h>

TEST(MainFormShutdown, AnswerOtherThanYesKeepsTheWindowOpenAndTheFileUntouched)
{
    MainFormFixture fixture;
    fixture.writeSettings(threeGateSettings());
    const QByteArray before = fixture.folder.read(QStringLiteral("options.ini"));
    auto form = fixture.create();
    form->show();
    fixture.prompts.answerYes = false;
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(fixture.prompts.questions, 1);
    EXPECT_EQ(fixture.folder.read(QStringLiteral("options.ini")), before);
    fixture.prompts.answerYes = true;
    EXPECT_TRUE(form->close());
    EXPECT_TRUE(form->isClosing());
}

TEST(MainFormShutdown, WithNoGatePastStepElevenItClosesAtOnce)
{
    MainFormFixture fixture;
    fixture.writeSettings(threeGateSettings({QStringLiteral("中継サーバー=ON")}));
    auto form = fixture.create();
    form->show();
    form->sequence()[0].step = 26;
    EXPECT_TRUE(form->close());
    EXPECT_FALSE(form->closeTimer().isActive());
    EXPECT_TRUE(form->countFiles().backUpTimer() == nullptr || !form->countFiles().backUpTimer()->isActive());
}

TEST(MainFormShutdown, CommentsUnknownKeysAndSectionsSurviveAStartAndAClose)
{
    MainFormFixture fixture;
    QStringList lines{QStringLiteral(";私たちの設定"), QStringLiteral("[基本設定]"), QStringLiteral(";窓の位置"),
                      QStringLiteral("WindowLeft=120"), QStringLiteral("独自キー=そのまま"),
                      QStringLiteral("終了時人数カウントCSV出力=NO"), QStringLiteral("人数カウントのみ=NO"),
                      QStringLiteral(";ゲートの説明"), QStringLiteral("[ゲート1]"), QStringLiteral("名称=正面"),
                      QStringLiteral("IPアドレス=127.0.0.1"), QStringLiteral("[独自セクション]"),
                      QStringLiteral("値=\"a b\""), QStringLiteral(";最後のコメント")};
    fixture.writeSettings(lines);
    auto form = fixture.create();
    form->show();
    ASSERT_TRUE(form->close());
    const QString text = fixture.settingsText();
    for (const char* expected : {";私たちの設定\r\n[基本設定]\r\n", ";窓の位置\r\nWindowLeft=", "独自キー=そのまま\r\n",
                                 ";ゲートの説明\r\n[ゲート1]\r\n", "[独自セクション]\r\n\r\n値=\"a b\"\r\n",
                                 ";最後のコメント\r\n"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected << "\n" << text.toStdString();
    EXPECT_TRUE(text.endsWith(QStringLiteral(";最後のコメント\r\n")));
}

TEST(MainFormShutdown, ResizingANormalWindowKeepsItsShape)
{
    MainFormFixture fixture;
    fixture.writeSettings(threeGateSettings({QStringLiteral("画面サイズに最適化=YES")}));
    auto form = fixture.create();
    form->show();
    form->resize(800, 800);
    QApplication::processEvents();
    EXPECT_EQ(form->size(), QSize(968, 800));
    form->close();
}

TEST(MainFormShutdown, ExitCsvIsWrittenUnlessShiftAsksAndTheDialogIsCancelled)
{
    struct Case
    {
        const char* name;
        bool shift;
        const char* chosen;
        bool defaultWritten;
        bool chosenWritten;
        int dialogs;
    };
    const Case cases[] = {
        {"plain close", false, "", true, false, 0},
        {"shift, cancelled", true, "", false, false, 1},
        {"shift, chosen file", true, "chosen.csv", false, true, 1},
    };
    for (const auto& c : cases) {
        MainFormFixture fixture;
        QStringList lines = threeGateSettings();
        lines.replace(7, QStringLiteral("終了時人数カウントCSV出力=YES"));
        fixture.writeSettings(lines);
        fixture.prompts.shift = c.shift;
        if (*c.chosen)
            fixture.prompts.savePath = fixture.folder.file(QString::fromUtf8(c.chosen));
        auto form = fixture.create();
        form->show();
        EXPECT_TRUE(form->close()) << c.name;
        EXPECT_EQ(fixture.prompts.saveDialogs, c.dialogs) << c.name;
        const QString defaultFile = fixture.folder.file(QStringLiteral("docs/人数カウント.CSV"));
        EXPECT_EQ(QFile::exists(defaultFile), c.defaultWritten) << c.name;
        if (*c.chosen) {
            EXPECT_EQ(QFile::exists(fixture.prompts.savePath), c.chosenWritten) << c.name;
        }
    }
}
