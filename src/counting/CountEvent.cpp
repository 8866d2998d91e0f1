#include "counting/CountEvent.h"

#include "platform/LittleEndian.h"

CountEvent CountEvent::read(const std::uint8_t* bytes)
{
    CountEvent event;
    event.time = LittleEndian::f64(bytes);
    event.gate = bytes[8];
    for (int a = 0; a < 3; ++a) {
        event.in[a] = LittleEndian::i32(bytes + 9 + 4 * a);
        event.firstWord[a] = LittleEndian::u16(bytes + 21 + 2 * a);
        event.out[a] = LittleEndian::i32(bytes + 27 + 4 * a);
        event.secondWord[a] = LittleEndian::u16(bytes + 39 + 2 * a);
    }
    return event;
}

void CountEvent::write(std::uint8_t* bytes) const
{
    LittleEndian::putF64(bytes, time);
    bytes[8] = gate;
    for (int a = 0; a < 3; ++a) {
        LittleEndian::putI32(bytes + 9 + 4 * a, in[a]);
        LittleEndian::putU16(bytes + 21 + 2 * a, firstWord[a]);
        LittleEndian::putI32(bytes + 27 + 4 * a, out[a]);
        LittleEndian::putU16(bytes + 39 + 2 * a, secondWord[a]);
    }
}
