#include "gatesim/GateResponder.h"
#include "counting/CountRecord.h"
#include "gatelink/GateFrame.h"
#include "gatesim/HexBytes.h"
#include "gatesim/SimConfig.h"

#include <gtest/gtest.h>

namespace {

QByteArray bytes(const char* hex)
{
    return *HexBytes::parse(QString::fromLatin1(hex));
}

QByteArray request(char command, const char* data)
{
    return GateFrame::BuildFrame(command, bytes(data));
}

std::string hexOf(const QByteArray& b)
{
    return HexBytes::format(b).toStdString();
}

GateConfig configOf(const char* text)
{
    QString error;
    const auto config = SimConfig::parse(QByteArray(text), &error);
    EXPECT_TRUE(config.has_value()) << error.toStdString();
    return config ? config->forGate(0) : GateConfig();
}

// A gate with a value in every place the start-up sequence reads, so a wrong offset shows.
const char* const kGate = "rom=129-07.3A\n"
                          "mode=01 22 14\n"
                          "aisle-byte=0x06\n"
                          "afi=0x07\n"
                          "option-byte=0x02\n"
                          "reader.6=0x66\n"
                          "reader.8=0x88\n"
                          "reader.40=0x40\n"
                          "eeprom.4=01 83\n"
                          "count-mode=0x0101 0x0012 3\n"
                          "in=10 5 0\n"
                          "out=1 2 3\n";

struct Exchange
{
    const char* name;
    char command;
    const char* data;
    char replyCommand; // '\0' when the gate sends nothing back
    const char* replyData;
};

} // namespace

// Every request of the start-up sequence and of the EEPROM, lamp and RF commands, with the reply the
// system waits for: letter, LEN, sub-code and the bytes it reads at fixed offsets.
TEST(GateResponder, AnswersEveryRequestWithTheAwaitedReply)
{
    const Exchange exchanges[] = {
        {"ROM version", 'O', "90 00", '0', "90 31 32 39 2D 30 37 2E 33 41"},
        {"mode read", 'O', "00", '0', "00 01 22 14 00 00 00 00 00"},
        {"mode write: an ACK without data", 'N', "00 00 22 04", '0', ""},
        {"aisle byte, byte form", 'O', "B4 27", '0', "B4 06"},
        {"aisle byte, word form: the last data byte", 'O', "70 14 01", '0', "70 14 01 40 06"},
        {"count read", 'G', "0B", '0',
         "0B 0A 00 00 00 01 00 00 00 00 00 00 00 05 00 00 00 02 00 00 00 00 00 00 00"
         " 00 00 00 00 03 00 00 00 00 00 00 00"},
        {"AFI, byte form", 'O', "51", '0', "51 07"},
        {"AFI and option, word form: DATA[4] and DATA[6]", 'O', "70 03 02", '0', "70 03 02 66 07 88 02"},
        {"option byte, byte form", 'O', "B4 07", '0', "B4 02"},
        {"read loop", 'x', "F2 00 20 00 0C 07 00 00 00 00 00 00 00 00", '0', "F2"},
        {"alarm display", 'G', "26 7A 10 00", '0', "26"},
        {"transmitter off", 'N', "9E 00", '0', "9E 00"},
        {"EEPROM word read", 'G', "01 04 01", '0', "01 04 01 01 83"},
        {"EEPROM word write", 'G', "21 04 01 01 03", '0', "21"},
        {"lamp mode", 'G', "2B 01", '0', "2B"},
        {"count mode read", 'G', "06", '0', "06 01 01 12 00 03 00"},
        {"count mode write", 'G', "23 01 01 11 00 03 00", '0', "23"},
        {"restart is not answered", 'N', "9D", '\0', ""},
        {"wrong LEN: data count NACK", 'O', "90", '1', "41"},
        {"unknown sub-code: invalid command NACK", 'G', "7F", '1', "44"},
        {"unknown letter: invalid command NACK", 'Z', "00", '1', "44"},
        {"EEPROM write one byte short: data count NACK", 'G', "21 04 01 01", '1', "41"},
        {"EEPROM read past the last word: data count NACK", 'G', "01 FF 02", '1', "41"},
    };
    GateResponder gate(configOf(kGate));
    for (const Exchange& e : exchanges) {
        SCOPED_TRACE(e.name);
        const QByteArray expected =
            e.replyCommand ? GateFrame::BuildFrame(e.replyCommand, bytes(e.replyData)) : QByteArray();
        EXPECT_EQ(hexOf(gate.answer(request(e.command, e.data))), hexOf(expected));
    }
}

TEST(GateResponder, KeepsWhatTheProgramWrote)
{
    GateResponder gate(configOf(kGate));
    gate.answer(request('N', "00 00 22 04"));
    gate.answer(request('G', "21 04 01 01 03"));
    gate.answer(request('G', "23 01 01 11 00 03 00"));
    gate.answer(request('N', "9E 00"));
    gate.answer(request('x', "F2 00 20 00 0C 07 00 00 00 00 00 00 00 00"));
    gate.answer(request('G', "2B 00"));
    gate.answer(request('G', "26 79 10 00"));
    gate.answer(GateFrame::BuildFrame('G', bytes("28") + QByteArray(36, '\0')));

    EXPECT_EQ(hexOf(gate.answer(request('O', "00"))),
              hexOf(GateFrame::BuildFrame('0', bytes("00 00 22 04 00 00 00 00 00"))));
    EXPECT_EQ(hexOf(gate.answer(request('G', "01 04 01"))), hexOf(GateFrame::BuildFrame('0', bytes("01 04 01 01 03"))));
    EXPECT_EQ(hexOf(gate.answer(request('G', "06"))), hexOf(GateFrame::BuildFrame('0', bytes("06 01 01 11 00 03 00"))));
    EXPECT_EQ(gate.counters(), CountRecord());
    EXPECT_FALSE(gate.transmitterOn());
    EXPECT_TRUE(gate.readLoopRunning());
    EXPECT_EQ(gate.lampMode(), 0);
    EXPECT_EQ(gate.alarms(), 1);
    EXPECT_EQ(hexOf(gate.display()), "79 10 00");

    // A restart ends the read loop and switches the transmitter back on, as a reader coming up again would.
    gate.answer(request('N', "9D"));
    EXPECT_TRUE(gate.transmitterOn());
    EXPECT_FALSE(gate.readLoopRunning());
    EXPECT_EQ(gate.restarts(), 1);
}

TEST(GateResponder, PushesCountAndTagFramesInTheirLayouts)
{
    GateResponder gate(configOf("in=10 5 0\nout=1 2 3\n"));
    gate.addCounts(1, 3, -2);
    gate.addCounts(0, 0x7FFFFFFF, 0); // the counter wraps like the gate's 32-bit register
    const QByteArray count = gate.countFrame();
    ASSERT_EQ(count.size(), 44);
    EXPECT_EQ(hexOf(count.left(5)), "02 00 47 25 81");
    const CountRecord record = CountRecord::read(reinterpret_cast<const std::uint8_t*>(count.constData()) + 5);
    EXPECT_EQ(record.in, (std::array<std::int32_t, 3>{-2147483639, 8, 0}));
    EXPECT_EQ(record.out, (std::array<std::int32_t, 3>{1, 0, 3}));

    const QByteArray uid = bytes("01 02 03 04 05 06 07 08");
    const QByteArray other = bytes("11 12 13 14 15 16 17 18");
    const QByteArray data = bytes("AA BB");
    for (const char kind : {'D', 'd', 'L', 'l'}) {
        SCOPED_TRACE(kind);
        EXPECT_EQ(hexOf(gate.tagFrame(kind, {uid}, data)), hexOf(GateFrame::BuildFrame(kind, uid + data)));
    }
    EXPECT_EQ(hexOf(gate.tagFrame('i', {uid, other}, data)),
              hexOf(GateFrame::BuildFrame('i', bytes("02 00 00") + uid + other + data)));
}

TEST(GateResponder, FollowsItsConfiguration)
{
    GateResponder gate(configOf("id=0x05\n"
                                "reply.O.90=90 41 41 41 41 41 41 41 41 41\n"
                                "reply.G.0B=\n"
                                "bad-sum-reply=nack\n"));
    const QByteArray rom = GateFrame::BuildFrame('0', bytes("90 41 41 41 41 41 41 41 41 41"), 0x05);
    EXPECT_EQ(hexOf(gate.answer(request('O', "90 00"))), hexOf(rom));
    EXPECT_TRUE(gate.answer(request('G', "0B")).isEmpty());
    EXPECT_EQ(hexOf(gate.answerBadSum()), "02 05 31 01 42 03 7E 0D");
    EXPECT_TRUE(GateResponder(GateConfig()).answerBadSum().isEmpty());
}
