#include "ui/TRfStopFrom.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// The paused gate as the window sees it: its step, and the moves the window makes.
struct GateRecord
{
    int step = 26;
    QStringList moves;

    TRfStopFrom::PausedGate hooks()
    {
        return {[this] { return step; }, [this] { moves << QStringLiteral("pause"); },
                [this] { moves << QStringLiteral("resume"); }};
    }
};

} // namespace

TEST(TRfStopFrom, CountsDownOncePerSecondAndClosesAtZero)
{
    GateRecord gate;
    TRfStopFrom form(12, gate.hooks());
    EXPECT_EQ(gate.moves, QStringList{QStringLiteral("pause")});
    EXPECT_EQ(form.windowTitle(), QStringLiteral("電波処理"));
    EXPECT_EQ(form.findChild<QLabel*>(QStringLiteral("StopLabel"))->text(), QStringLiteral("停止中"));
    EXPECT_EQ(form.findChild<QPushButton*>(QStringLiteral("ResumeButton"))->text(), QStringLiteral("再開"));
    EXPECT_TRUE(form.timer1().isActive());
    EXPECT_EQ(form.timer1().interval(), 1000);

    form.show();
    QSignalSpy finished(&form, &QDialog::finished);
    QStringList labels{form.countdown()};
    for (int tick = 1; tick < 12; ++tick) {
        form.Timer1Timer();
        labels << form.countdown();
    }
    EXPECT_EQ(labels, (QStringList{
                          QStringLiteral("あと12秒で再開します"),
                          QStringLiteral("あと11秒で再開します"),
                          QStringLiteral("あと10秒で再開します"),
                          QStringLiteral("あと 9秒で再開します"),
                          QStringLiteral("あと 8秒で再開します"),
                          QStringLiteral("あと 7秒で再開します"),
                          QStringLiteral("あと 6秒で再開します"),
                          QStringLiteral("あと 5秒で再開します"),
                          QStringLiteral("あと 4秒で再開します"),
                          QStringLiteral("あと 3秒で再開します"),
                          QStringLiteral("あと 2秒で再開します"),
                          QStringLiteral("あと 1秒で再開します"),
                      }));
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(finished.size(), 0);
    form.Timer1Timer();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(finished.size(), 1);
    EXPECT_FALSE(form.timer1().isActive());
    EXPECT_EQ(gate.moves, (QStringList{QStringLiteral("pause"), QStringLiteral("resume")}));
}

TEST(TRfStopFrom, EscWaitsForThePauseCommandsButTheButtonClosesAtAnyTime)
{
    struct Case
    {
        const char* name;
        int step;
        bool button;
        bool closes;
    };
    const Case cases[] = {
        {"Esc while the pause is sent", 33, false, false},  {"Esc on the last pause step", 37, false, false},
        {"Esc once back at 26", 26, false, true},           {"Esc at 32", 32, false, true},
        {"button while the pause is sent", 35, true, true}, {"button at 26", 26, true, true},
    };
    for (const auto& c : cases) {
        GateRecord gate;
        TRfStopFrom form(300, gate.hooks());
        form.show();
        gate.step = c.step;
        auto* button = form.findChild<QPushButton*>(QStringLiteral("ResumeButton"));
        if (c.button)
            QTest::mouseClick(button, Qt::LeftButton);
        else
            QTest::keyClick(&form, Qt::Key_Escape);
        EXPECT_EQ(form.isVisible(), !c.closes) << c.name;
        EXPECT_EQ(gate.moves.size(), c.closes ? 2 : 1) << c.name;
        if (!c.closes) {
            // Once the gate is back the same key ends the pause, and only once.
            gate.step = 26;
            QTest::keyClick(&form, Qt::Key_Escape);
            EXPECT_FALSE(form.isVisible()) << c.name;
        }
        form.Timer1Timer();
        EXPECT_EQ(gate.moves, (QStringList{QStringLiteral("pause"), QStringLiteral("resume")})) << c.name;
    }
}
