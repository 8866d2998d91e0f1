#include "gatecontrol/TickTable.h"
#include "platform/ManualClock.h"

#include <gtest/gtest.h>

TEST(TickTable, ElapsedAcrossTheWrapOfTheTickCounter)
{
    ManualClock clock(0.0, 0xFFFFF000u);
    TickTable table(clock);
    table.TickMark(45 + 3);
    clock.advanceMs(0xFFF);
    EXPECT_FALSE(table.TickElapsed(48, 0x1000));
    clock.advanceMs(1);
    EXPECT_EQ(clock.tickMs(), 0u);
    EXPECT_TRUE(table.TickElapsed(48, 0x1000));
    EXPECT_FALSE(table.TickElapsed(48, 6000000));
    clock.advanceMs(6000000);
    EXPECT_TRUE(table.TickElapsed(48, 6000000));
}

TEST(TickTable, MarkBackAcrossTheWrapHasAlreadyRun)
{
    ManualClock clock(0.0, 1000);
    TickTable table(clock);
    table.TickMarkBack(30, 3000);
    EXPECT_EQ(table.stamp(30), 0xFFFFFFFFu - 1999u);
    EXPECT_TRUE(table.TickElapsed(30, 3000));
    EXPECT_FALSE(table.TickElapsed(30, 3001));
    clock.advanceMs(7000);
    EXPECT_TRUE(table.TickElapsed(30, 10000));
}
