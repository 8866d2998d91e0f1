#include "CountTestData.h"

#include "counting/CountModel.h"
#include "platform/ManualClock.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

struct BlocksCase
{
    const char* name;
    bool countExits;
    std::optional<CountRecord> last;
    CountRecord received; // only the first `blocks` aisles are the gate's
    int blocks;
    std::optional<std::array<std::int32_t, 3>> countedIncrements;
    CountRecord lastAfter;
};

} // namespace

// Count frames of a gate with fewer aisles carry only its first aisle blocks: the missing aisles keep
// their last values whatever the present ones do.
TEST(CountBlocksReceived, MissingAislesKeepTheirLastValues)
{
    const CountRecord last = counts({10, 20, 30}, {1, 2, 3}, {0xA0, 0xA1, 0xA2}, {0xB0, 0xB1, 0xB2});
    const BlocksCase cases[] = {
        {"first short record sets the base of its aisles", false, std::nullopt,
         counts({4, 99, 99}, {5, 99, 99}, {0xC0, 9, 9}, {0xD0, 9, 9}), 1, std::nullopt,
         counts({4, 0, 0}, {5, 0, 0}, {0xC0, 0, 0}, {0xD0, 0, 0})},
        {"two aisles grow", false, last, counts({12, 23, 0}, {1, 2, 0}, {0xA0, 0xA1, 0}, {0xB0, 0xB1, 0}), 2,
         std::array{2, 3, 0}, counts({12, 23, 30}, {1, 2, 3}, {0xA0, 0xA1, 0xA2}, {0xB0, 0xB1, 0xB2})},
        {"reset of aisle 1 zeroes the present aisles only", false, last, counts({4, 21, 0}, {0, 0, 0}), 2,
         std::array{4, 21, 0}, counts({4, 21, 30}, {0, 0, 3}, {0, 0, 0xA2}, {0, 0, 0xB2})},
        {"exits counted: a lower entry count is no reset", true, last, counts({3, 0, 0}, {2, 0, 0}), 1,
         std::array{1, 0, 0}, counts({3, 20, 30}, {2, 2, 3}, {0, 0xA1, 0xA2}, {0, 0xB1, 0xB2})},
        {"exits counted: exit reset of aisle 1", true, last, counts({11, 0, 0}, {0, 0, 0}, {0xA0}, {0xB0}), 1,
         std::nullopt, counts({0, 20, 30}, {0, 2, 3}, {0, 0xA1, 0xA2}, {0, 0xB1, 0xB2})},
    };
    for (const BlocksCase& c : cases) {
        SCOPED_TRACE(c.name);
        ManualClock clock(at(10, 15));
        CountModel model(clock);
        model.setCountExits(c.countExits);
        if (c.last)
            model.setLastValues(6, *c.last, true);
        model.CountBlocksReceived(6, c.received, c.blocks);

        EXPECT_TRUE(model.hasLastValues(6));
        EXPECT_EQ(model.lastValues(6), c.lastAfter);
        if (!c.countedIncrements) {
            EXPECT_EQ(model.eventCount(), 0);
            continue;
        }
        ASSERT_EQ(model.eventCount(), 1);
        const CountEvent& event = model.event(0);
        EXPECT_EQ(c.countExits ? event.out : event.in, *c.countedIncrements);
        EXPECT_EQ(event.firstWord, c.lastAfter.firstWord);
        EXPECT_EQ(event.secondWord, c.lastAfter.secondWord);
    }
}

TEST(CountBlocksReceived, RecordsWhileClosingAreDropped)
{
    ManualClock clock(at(10, 15));
    CountModel model(clock);
    const CountRecord last = counts({10, 20, 30});
    model.setLastValues(2, last, true);
    model.setClosing(true);
    model.CountBlocksReceived(2, counts({1, 0, 0}), 1);
    EXPECT_EQ(model.lastValues(2), last);
    EXPECT_EQ(model.eventCount(), 0);
}
