#include "gatesim/ControlCommand.h"
#include "gatesim/HexBytes.h"

#include <gtest/gtest.h>

namespace {

using Verb = ControlCommand::Verb;
using Fault = ControlCommand::Fault;

ControlCommand parsed(const char* line)
{
    QString error;
    const auto command = ControlCommand::parse(QString::fromLatin1(line), &error);
    EXPECT_TRUE(command.has_value()) << line << ": " << error.toStdString();
    return command.value_or(ControlCommand());
}

} // namespace

TEST(ControlCommand, ReadsEveryCommand)
{
    const ControlCommand count = parsed("count 3 2 5 -1");
    EXPECT_EQ(count.verb, Verb::Count);
    EXPECT_EQ(count.gate, 3);
    EXPECT_EQ(count.aisle, 2);
    EXPECT_EQ(count.in, 5);
    EXPECT_EQ(count.out, -1);

    const ControlCommand tag = parsed("tag 0 i 0102030405060708,1112131415161718 AA BB");
    EXPECT_EQ(tag.verb, Verb::Tag);
    EXPECT_EQ(tag.tagKind, 'i');
    ASSERT_EQ(tag.uids.size(), 2);
    EXPECT_EQ(HexBytes::format(tag.uids[1]), QStringLiteral("11 12 13 14 15 16 17 18"));
    EXPECT_EQ(HexBytes::format(tag.bytes), QStringLiteral("AA BB"));

    EXPECT_EQ(parsed("raw 1 02 00 30 00 03 35 0D").bytes.size(), 7);
    EXPECT_EQ(parsed("eeprom 0 4 01 83").address, 4);
    EXPECT_EQ(parsed("push-count all").gate, ControlCommand::kAllGates);

    struct FaultCase
    {
        const char* line;
        Fault fault;
        int amount;
    };
    const FaultCase faults[] = {
        {"fault 0 delay 250", Fault::Delay, 250},   {"fault 0 nack", Fault::Nack, 1},
        {"fault 0 nack 4", Fault::Nack, 4},         {"fault 0 silence 900", Fault::Silence, 900},
        {"fault 0 garbage 16", Fault::Garbage, 16}, {"fault 0 badsum", Fault::BadSum, 1},
        {"fault all drop", Fault::Drop, 0},         {"fault 0 refuse 0", Fault::Refuse, 0},
    };
    for (const FaultCase& f : faults) {
        SCOPED_TRACE(f.line);
        const ControlCommand c = parsed(f.line);
        EXPECT_EQ(c.verb, Verb::Fault);
        EXPECT_EQ(c.fault, f.fault);
        EXPECT_EQ(c.amount, f.amount);
    }
}

TEST(ControlCommand, RefusesBadLinesWithAReason)
{
    const char* const bad[] = {
        "jump 0",                                    // unknown verb
        "count",                                     // no gate
        "count x 0 1 1",                             // bad gate
        "count 0 3 1 1",                             // aisle out of range
        "count 0 0 1",                               // missing OUT
        "count 0 0 1 99999999999",                   // beyond 32 bits
        "counters all",                              // "all" only where it makes sense
        "tag 0 X 0102030405060708",                  // unknown tag kind
        "tag 0 D 01020304",                          // short UID
        "tag 0 D 0102030405060708,0102030405060708", // several UIDs only in 'i'
        "raw 0 0G",                                  // not hex
        "raw 0",                                     // nothing to send
        "fault 0 delay",                             // amount required
        "fault 0 delay 700000",                      // beyond ten minutes
        "fault 0 drop 5",                            // drop takes nothing
        "fault 0 explode",                           // unknown fault
        "eeprom 0 255 01 02 03 04",                  // past the last word
        "quit now",                                  // extra words
    };
    QStringList lines;
    for (const char* line : bad)
        lines << QString::fromLatin1(line);
    // 8 UID bytes and 248 data bytes: one more than a frame holds.
    lines << QStringLiteral("tag 0 D 0102030405060708 ") + QStringLiteral("00").repeated(248);
    for (const QString& line : lines) {
        SCOPED_TRACE(line.left(40).toStdString());
        QString error;
        EXPECT_FALSE(ControlCommand::parse(line, &error).has_value());
        EXPECT_FALSE(error.isEmpty());
    }
    QString error;
    EXPECT_FALSE(ControlCommand::parse(QStringLiteral("   # a comment"), &error).has_value());
    EXPECT_TRUE(error.isEmpty());
}
