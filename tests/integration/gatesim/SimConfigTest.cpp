#include "gatesim/SimConfig.h"
#include "gatesim/HexBytes.h"

#include <gtest/gtest.h>

TEST(SimConfig, AppliesSharedKeysThenTheGatesOwn)
{
    QString error;
    const auto config = SimConfig::parse("# two gates, the second with the word layout\n"
                                         "rom = 135-02.00\n"
                                         "G1.rom=129-02.00\r\n"
                                         "eeprom.4=01 83\n"
                                         "G1.count-push-ms=250\n"
                                         "reader.40=0x11\n",
                                         &error);
    ASSERT_TRUE(config.has_value()) << error.toStdString();
    const GateConfig first = config->forGate(0);
    const GateConfig second = config->forGate(1);
    EXPECT_EQ(first.romVersion, QByteArray("135-02.00"));
    EXPECT_EQ(second.romVersion, QByteArray("129-02.00"));
    EXPECT_EQ(first.countPushMs, 0);
    EXPECT_EQ(second.countPushMs, 250);
    EXPECT_EQ(second.gateEeprom[8], 0x01);
    EXPECT_EQ(second.gateEeprom[9], 0x83);
    EXPECT_EQ(first.readerEeprom[40], 0x11);
}

TEST(SimConfig, DefaultsMatchTheProgramsDefaultSettings)
{
    const GateConfig config;
    EXPECT_EQ(config.romVersion.size(), 9);
    // Entry/exit sensor mode, read time x3, one voice playback: no restore on a fresh gate.
    EXPECT_EQ(config.gateEeprom[8], 0x01);
    EXPECT_EQ(config.gateEeprom[9], 0x03);
    EXPECT_NE(config.mode[0], 0x00); // a first mode byte of 0 would read as "not read yet"
    EXPECT_EQ((config.readerEeprom[GateConfig::kAisleByteAddress] >> 1) & 7, 1);
}

TEST(SimConfig, NamesTheLineOfABadEntry)
{
    struct Case
    {
        const char* text;
        const char* error;
    };
    const Case cases[] = {
        {"rom=12345678", "line 1: rom: needs exactly 9 characters"},
        {"\n\nmode=01 02", "line 3: mode: needs three hex bytes m1 m2 m3"},
        {"colour=blue", "line 1: colour: unknown key"},
        {"no equals sign", "line 1: expected key=value"},
        {"eeprom.255=01 02 03 04",
         "line 1: eeprom.255: needs a word address and 2 hex bytes per word inside words 0..255"},
        {"count-push-ms=-5", "line 1: count-push-ms: needs milliseconds 0..3600000 (0 = off)"},
        {"in=1 2", "line 1: in: needs three counts"},
        {"reply.OO.90=90", "line 1: reply.OO.90: needs reply.<letter>.<hex sub-code>=<hex ACK data>"},
        {"G3.tag-push-kind=Q", "line 1: tag-push-kind: needs one of D d i L l"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        QString error;
        EXPECT_FALSE(SimConfig::parse(QByteArray(c.text), &error).has_value());
        EXPECT_EQ(error.toStdString(), c.error);
    }
}
