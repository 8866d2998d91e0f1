#include "counting/CountRecord.h"

#include "platform/LittleEndian.h"

CountRecord CountRecord::read(const std::uint8_t* bytes)
{
    CountRecord record;
    for (int a = 0; a < kAisles; ++a) {
        const std::uint8_t* block = bytes + 12 * a;
        record.in[a] = LittleEndian::i32(block);
        record.out[a] = LittleEndian::i32(block + 4);
        record.firstWord[a] = LittleEndian::u16(block + 8);
        record.secondWord[a] = LittleEndian::u16(block + 10);
    }
    return record;
}

void CountRecord::write(std::uint8_t* bytes) const
{
    for (int a = 0; a < kAisles; ++a) {
        std::uint8_t* block = bytes + 12 * a;
        LittleEndian::putI32(block, in[a]);
        LittleEndian::putI32(block + 4, out[a]);
        LittleEndian::putU16(block + 8, firstWord[a]);
        LittleEndian::putU16(block + 10, secondWord[a]);
    }
}
