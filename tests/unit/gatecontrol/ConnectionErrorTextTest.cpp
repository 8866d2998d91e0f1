#include "gatecontrol/ConnectionErrorText.h"

#include <gtest/gtest.h>

namespace {

using Gates = std::array<ConnectionErrorText::Gate, ConnectionErrorText::kSlots>;

Gates unconnected(int count)
{
    Gates gates;
    for (int j = 0; j < count; ++j)
        gates[j] = {true, false, true, false, QString(QChar(u'A' + j))};
    return gates;
}

} // namespace

TEST(ConnectionErrorText, EightGatesAreComposedTwoToALine)
{
    const auto result = ConnectionErrorText::compose(unconnected(8), {});
    EXPECT_EQ(result.text, QStringLiteral("A及び\rB及びC及び\rD及びE及び\rF及びG及び\rHが接続されていません!!"));
    EXPECT_EQ(result.count, 16);
    EXPECT_EQ(ConnectionErrorText::fontSize(result.count), 22);
    for (int j = 0; j < 8; ++j)
        EXPECT_TRUE(result.listed[j]) << j;
    EXPECT_FALSE(result.listed[8]);
}

TEST(ConnectionErrorText, FewGatesOneToALine)
{
    const auto result = ConnectionErrorText::compose(unconnected(2), {});
    EXPECT_EQ(result.text, QStringLiteral("A及び\rBが\r接続されていません!!"));
    EXPECT_EQ(ConnectionErrorText::fontSize(result.count), 24);
}

TEST(ConnectionErrorText, OnlyGatesTriedUnacknowledgedAndNamedAreListed)
{
    Gates gates = unconnected(6);
    gates[0].acknowledged = true;
    gates[1].shortName.clear();
    gates[2].tried = false;
    gates[3].active = false;
    gates[4].connected = true;
    std::array<bool, ConnectionErrorText::kSlots> listed{};
    listed[4] = true;
    listed[0] = true;
    const auto result = ConnectionErrorText::compose(gates, listed);
    EXPECT_EQ(result.text, QStringLiteral("Fが\r接続されていません!!"));
    EXPECT_FALSE(result.listed[4]) << "a connected gate is no longer listed";
    EXPECT_TRUE(result.listed[0]) << "an acknowledged gate keeps its flag";
    EXPECT_TRUE(ConnectionErrorText::compose({}, {}).text.isEmpty());
}

TEST(ConnectionErrorText, FontSizeByNameCount)
{
    const std::pair<int, int> cases[] = {{0, 26}, {1, 25}, {3, 23}, {7, 20}, {9, 24}, {16, 22}, {30, 18}};
    for (const auto& [count, size] : cases)
        EXPECT_EQ(ConnectionErrorText::fontSize(count), size) << count;
}
