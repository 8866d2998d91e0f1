#include "gatesim/GateConfig.h"

GateConfig::GateConfig()
    : romVersion(QByteArrayLiteral("135-01.00")), tagPushUid(QByteArray::fromHex("0102030405060708"))
{
    readerEeprom[kAisleByteAddress] = 0x02; // one aisle
    readerEeprom[kAfiByteAddress] = 0x07;
    // Word 4 as the system's default settings want it: entry/exit sensor, read time x3, one voice playback.
    gateEeprom[2 * 4] = 0x01;
    gateEeprom[2 * 4 + 1] = 0x03;
}
