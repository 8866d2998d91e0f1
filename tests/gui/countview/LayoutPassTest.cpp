#include "CountViewFixture.h"

#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QTabWidget>
#include <QTableWidget>

#include <gtest/gtest.h>

TEST(LayoutPass, PassWithoutACommunicatingSlotOnlyRestoresThePages)
{
    CountViewFixture f;
    f.settings.gates[0].enabled = false;
    f.settings.gates[3].enabled = false;
    f.start();
    f.tabs->setCurrentIndex(3);
    f.pages->page(3).inCounterPanel->hide();

    f.pass->Timer2Timer();
    EXPECT_EQ(f.pass->passPage(), -1);
    EXPECT_EQ(f.tabs->currentIndex(), 3);
    EXPECT_FALSE(f.timer1.isActive());
    EXPECT_FALSE(f.timer2.isActive());
    EXPECT_FALSE(f.pages->page(3).inCounterPanel->isHidden());
    for (int slot : {0, 1, 3})
        EXPECT_TRUE(f.tabs->tabText(slot).endsWith(QStringLiteral("【未接続】"))) << slot;
    EXPECT_EQ(f.tabs->tabText(2), QString());
}

TEST(LayoutPass, PagesAreLaidOutFromTheLastSlotDownWaitingForEachRefresh)
{
    CountViewFixture f;
    f.start();
    f.tabs->setCurrentIndex(1);
    f.timer2.start();

    f.pass->Timer2Timer();
    EXPECT_EQ(f.tabs->currentIndex(), 3);
    EXPECT_EQ(f.view->currentGate(), 3);
    EXPECT_TRUE(f.pages->page(3).inCounterPanel->isHidden());
    EXPECT_EQ(f.pages->page(3).countBox->palette().color(QPalette::Window),
              CountLayoutRules::toColor(f.settings.colours.windowBackground));
    EXPECT_TRUE(f.timer1.isActive());
    EXPECT_EQ(f.pass->passPage(), 2);
    EXPECT_EQ(f.pass->returnPage(), 1);

    // The page is still being fitted: the pass waits where it is.
    f.pass->Timer2Timer();
    EXPECT_EQ(f.pass->passPage(), 2);
    EXPECT_TRUE(f.timer2.isActive());

    ASSERT_TRUE(f.finishRefresh());
    EXPECT_EQ(f.pages->page(3).bandGrid->rowCount(), 16);
    f.pass->Timer2Timer();
    EXPECT_EQ(f.tabs->currentIndex(), 0);
    EXPECT_FALSE(f.pages->page(3).inCounterPanel->isHidden()); // the last page restores every strip
    EXPECT_EQ(f.pass->passPage(), -1);

    f.pass->Timer2Timer();
    EXPECT_EQ(f.tabs->currentIndex(), 1);
    EXPECT_EQ(f.view->currentGate(), 1);
    EXPECT_FALSE(f.timer2.isActive());
    EXPECT_EQ(f.pass->returnPage(), -1);

    // A finished pass forgets its return page: a later resize keeps the operator's choice.
    f.tabs->setCurrentIndex(3);
    f.pass->Timer2Timer();
    EXPECT_EQ(f.tabs->currentIndex(), 3);
}

TEST(LayoutPass, CountOnlyModeChainsASecondPassWithTheWideFactors)
{
    CountViewFixture f(true);
    f.start();
    f.timer2.start();
    for (int i = 0; i < 400 && f.pass->widthFactor() != 26.0F; ++i) {
        if (f.timer1.isActive())
            f.view->Timer1Timer();
        else
            f.pass->Timer2Timer();
    }
    EXPECT_EQ(f.pass->widthFactor(), 26.0F);
    EXPECT_EQ(f.pass->rowAllowance(), 3.6F);
    EXPECT_EQ(f.pass->passPage(), 14);
    EXPECT_TRUE(f.timer2.isActive());

    ASSERT_TRUE(f.settle());
    EXPECT_EQ(f.pass->widthFactor(), 26.0F);
    EXPECT_EQ(f.pass->rowAllowance(), 3.2F);
    // With the wide factor the row height is held to the width of the count box.
    const GatePage& page = f.pages->page(0);
    EXPECT_LE(page.bandGrid->verticalHeader()->defaultSectionSize() * 26 + 10, page.countBox->width());

    f.pass->arm();
    f.timer2.start();
    ASSERT_TRUE(f.settle());
    EXPECT_EQ(f.pass->widthFactor(), 26.0F);
    EXPECT_EQ(f.pass->rowAllowance(), 3.2F);

    CountViewFixture plain;
    plain.start();
    plain.timer2.start();
    ASSERT_TRUE(plain.settle());
    EXPECT_EQ(plain.pass->widthFactor(), 2.0F);
    EXPECT_EQ(plain.pass->rowAllowance(), 2.7F);
}
