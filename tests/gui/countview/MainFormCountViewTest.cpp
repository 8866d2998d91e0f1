#include "../mainform/MainFormFixture.h"

#include "ui/CountView.h"
#include "ui/GatePages.h"
#include "ui/LayoutPass.h"

#include <QTabWidget>
#include <QTableWidget>
#include <QTcpServer>
#include <QTest>

#include <gtest/gtest.h>

TEST(MainFormCountView, FirstShowLaysOutTheCommunicatingPagesAndCountsReachTheActivePage)
{
    // The gates' first connection must not fail at once, or the window ends the run.
    QTcpServer gate;
    ASSERT_TRUE(gate.listen(QHostAddress::LocalHost, 0));
    const QString port = QStringLiteral("ポート番号=") + QString::number(gate.serverPort());
    MainFormFixture fixture;
    QStringList lines = threeGateSettings({QStringLiteral("中継サーバー=OFF")});
    lines.replaceInStrings(QStringLiteral("127.0.0.4"), QStringLiteral("127.0.0.1"));
    lines.replaceInStrings(QStringLiteral("ポート番号=1"), port);
    fixture.writeSettings(lines);
    auto form = fixture.create();
    form->show();
    CountView& view = form->countView();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->layoutPass().pending() && !view.refreshSuspended(); }, 10000));

    const int rows = form->settings().endBand - form->settings().startBand + 3;
    EXPECT_EQ(form->pages().page(0).bandGrid->rowCount(), rows);
    EXPECT_EQ(form->pages().page(3).bandGrid->rowCount(), rows);
    EXPECT_EQ(form->pages().page(1).bandGrid->rowCount(), 1); // named, not communicating
    EXPECT_EQ(form->pageControl()->currentIndex(), 0);
    EXPECT_EQ(form->pageControl()->tabText(1), QStringLiteral("通用口【未接続】"));
    EXPECT_FALSE(form->pages().page(3).inCounterPanel->isHidden());

    CountRecord record;
    form->CountValuesReceived(0, record);
    record.in = {3, 0, 0};
    form->CountValuesReceived(0, record);
    const QTableWidget* grid = form->pages().page(0).bandGrid;
    EXPECT_EQ(grid->item(rows - 1, 4)->text(), QStringLiteral("3"));

    form->pageControl()->setCurrentIndex(3);
    EXPECT_EQ(view.shownGate(), 3);
    form->close();
}
