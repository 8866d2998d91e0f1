#include "counting/DayCountRecord.h"

#include "platform/LittleEndian.h"

DayCountRecord DayCountRecord::read(const std::uint8_t* bytes)
{
    DayCountRecord record;
    record.date = LittleEndian::f64(bytes);
    for (int a = 0; a < kAisles; ++a)
        for (int h = 0; h < kBands; ++h)
            record.bands[a][h] = LittleEndian::i32(bytes + 8 + 96 * a + 4 * h);
    return record;
}

void DayCountRecord::write(std::uint8_t* bytes) const
{
    LittleEndian::putF64(bytes, date);
    for (int a = 0; a < kAisles; ++a)
        for (int h = 0; h < kBands; ++h)
            LittleEndian::putI32(bytes + 8 + 96 * a + 4 * h, bands[a][h]);
}
