#include "GateLinkTestSupport.h"

#include "gatelink/LinkLogger.h"
#include "gatelink/Stopwatch.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace GateLinkTest;

TEST(LinkLogger, LineFormatByDirection)
{
    const std::pair<LogDirection, QString> cases[] = {
        {LogDirection::ToGate, QStringLiteral("09:15:02:417 C: G0:[TX]  text")},
        {LogDirection::FromGate, QStringLiteral("09:15:02:417 C: G0:[RX]  text")},
        {LogDirection::Comment, QStringLiteral("09:15:02:417 -: G0:[cmt] text")},
        {LogDirection::HostToGate, QStringLiteral("09:15:02:417 S: G0:[TX] text")},
        {LogDirection::GateToHost, QStringLiteral("09:15:02:417 S: G0:[RX] text")},
    };
    for (const auto& [direction, expected] : cases) {
        ManualClock clock(logTime());
        LinkLogModel model;
        LinkLogger logger(clock);
        logger.setTarget(&model);
        logger.log(u"text", direction);
        EXPECT_EQ(model.lines(), QStringList{expected}) << static_cast<int>(direction);
    }
}

TEST(LinkLogger, TimeIsZeroPaddedAndGateIndexDecimal)
{
    ManualClock clock(DayNumber::fromDate(QDate(2024, 1, 2)) + DayNumber::encodeTime(0, 0, 0, 7));
    LinkLogModel model;
    LinkLogger logger(clock);
    logger.setTarget(&model);
    logger.setGate(14);
    logger.comment(u"ClientSocket1Error");
    EXPECT_EQ(model.lines(), QStringList{QStringLiteral("00:00:00:007 -: G14:[cmt] ClientSocket1Error")});
}

TEST(LinkLogger, FramesAndRelayedBytesHaveTheirOwnHexForms)
{
    ManualClock clock(logTime());
    LinkLogModel model;
    LinkLogger logger(clock);
    logger.setTarget(&model);
    const QByteArray bytes = hex("02 0A FF");
    logger.logFrame(u8(bytes), 3, LogDirection::FromGate);
    logger.logHex(u8(bytes), 3, true);
    logger.logHex(u8(bytes), 3, false);
    EXPECT_EQ(withoutTime(model.lines()),
              (QStringList{QStringLiteral(" C: G0:[RX]  02 0A FF "), QStringLiteral(" S: G0:[TX]  02 0A FF"),
                           QStringLiteral(" S: G0:[RX]  02 0A FF")}));
}

TEST(LinkLogger, WithoutTargetNothingIsLogged)
{
    ManualClock clock(logTime());
    LinkLogger logger(clock);
    EXPECT_FALSE(logger.active());
    logger.comment(u"lost");
}

TEST(LinkLogModel, StartsAfreshOnceItHoldsSixtyThousandLines)
{
    LinkLogModel model;
    for (int i = 0; i < LinkLogModel::kMaxLines - 1; ++i)
        model.append(QStringLiteral("line"));
    QSignalSpy cleared(&model, &LinkLogModel::cleared);
    QSignalSpy appended(&model, &LinkLogModel::lineAppended);
    model.append(QStringLiteral("60000th"));
    EXPECT_EQ(model.lineCount(), LinkLogModel::kMaxLines);
    EXPECT_EQ(cleared.count(), 0);

    model.append(QStringLiteral("first again"));
    EXPECT_EQ(model.lines(), QStringList{QStringLiteral("first again")});
    EXPECT_EQ(cleared.count(), 1);
    ASSERT_EQ(appended.count(), 2);
    EXPECT_EQ(appended.at(1).at(0).toString(), QStringLiteral("first again"));
}

TEST(Stopwatch, MeasuresAcrossTheWrapOfTheTickCounter)
{
    ManualClock clock(0.0, 0xFFFFFFF0u);
    Stopwatch stopwatch(clock);
    stopwatch.StopwatchStart(29);
    clock.advanceMs(0x20);
    EXPECT_TRUE(stopwatch.StopwatchElapsed(29, 32));
    EXPECT_FALSE(stopwatch.StopwatchElapsed(29, 33));
}
