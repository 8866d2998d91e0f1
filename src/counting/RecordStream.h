#pragma once

#include "platform/LittleEndian.h"

#include <QIODevice>

#include <algorithm>
#include <array>
#include <cstdint>

// Little-endian fields and fixed-size records on a file device, shared by the two count files.
namespace RecordStream {

inline bool readI32(QIODevice& device, std::int32_t& value)
{
    std::array<std::uint8_t, 4> bytes{};
    if (device.read(reinterpret_cast<char*>(bytes.data()), 4) != 4)
        return false;
    value = LittleEndian::i32(bytes.data());
    return true;
}

inline bool writeI32(QIODevice& device, std::int32_t value)
{
    std::array<std::uint8_t, 4> bytes{};
    LittleEndian::putI32(bytes.data(), value);
    return device.write(reinterpret_cast<const char*>(bytes.data()), 4) == 4;
}

// Reads one stored record of `stored` bytes into a zeroed buffer of the known size: a larger record
// gives its first bytes, a smaller one fills the start and leaves the rest zero.
inline bool readRecord(QIODevice& device, std::uint8_t* known, qint64 knownSize, qint64 stored)
{
    const qint64 take = std::min(knownSize, stored);
    std::fill(known, known + knownSize, std::uint8_t{0});
    if (device.read(reinterpret_cast<char*>(known), take) != take)
        return false;
    return stored == take || device.skip(stored - take) == stored - take;
}

} // namespace RecordStream
