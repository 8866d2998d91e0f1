#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

// Field-by-field little-endian access to record bytes.
namespace LittleEndian {

inline std::uint16_t u16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

inline std::uint32_t u32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

inline std::int32_t i32(const std::uint8_t* p)
{
    return static_cast<std::int32_t>(u32(p));
}

inline double f64(const std::uint8_t* p)
{
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i)
        bits = (bits << 8) | p[i];
    return std::bit_cast<double>(bits);
}

inline void putU16(std::uint8_t* p, std::uint16_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

inline void putU32(std::uint8_t* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

inline void putI32(std::uint8_t* p, std::int32_t v)
{
    putU32(p, static_cast<std::uint32_t>(v));
}

inline void putF64(std::uint8_t* p, double v)
{
    const auto bits = std::bit_cast<std::uint64_t>(v);
    for (int i = 0; i < 8; ++i)
        p[i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

} // namespace LittleEndian
