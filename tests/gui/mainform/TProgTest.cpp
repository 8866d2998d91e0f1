#include "ui/TProg.h"

#include <QGuiApplication>
#include <QScreen>

#include <gtest/gtest.h>

TEST(TProg, ScalesTheCallersRangeAndIgnoresChangesWhileHidden)
{
    TProg prog;
    EXPECT_FALSE(prog.isEnabled());
    EXPECT_TRUE(prog.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(prog.size(), QSize(452, 15));

    prog.ProgMax(400);
    prog.ProgPosition(100);
    EXPECT_EQ(prog.scaledPosition(), 0) << "hidden: only a reset to 0 is taken";
    prog.ProgOpen(QStringLiteral("CSVファイルの書き込み中..."));
    EXPECT_TRUE(prog.isVisible());
    EXPECT_EQ(prog.windowTitle(), QStringLiteral("CSVファイルの書き込み中..."));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(prog.frameGeometry().bottom() + 1, screen.top() + screen.height() / 2);
    prog.ProgPosition(100);
    EXPECT_EQ(prog.scaledPosition(), 25);
    // 100 / 8 x 1 = 12.5 rounds to the even 12.
    prog.ProgMax(8);
    prog.ProgPosition(1);
    EXPECT_EQ(prog.scaledPosition(), 12);
    prog.ProgMax(0);
    prog.ProgPosition(5);
    EXPECT_EQ(prog.scaledPosition(), 0);
    prog.ProgClose();
    EXPECT_FALSE(prog.isVisible());
    EXPECT_EQ(prog.y(), -3000);
}
