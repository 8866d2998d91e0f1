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
