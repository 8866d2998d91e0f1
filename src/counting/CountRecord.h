#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// A gate's running counters: three aisle blocks of 12 bytes (in count, out count, two words).
struct CountRecord
{
    static constexpr std::size_t kSize = 36;
    static constexpr int kAisles = 3;

    std::array<std::int32_t, kAisles> in{};
    std::array<std::int32_t, kAisles> out{};
    std::array<std::uint16_t, kAisles> firstWord{};
    std::array<std::uint16_t, kAisles> secondWord{};

    static CountRecord read(const std::uint8_t* bytes);
    void write(std::uint8_t* bytes) const;

    bool operator==(const CountRecord&) const = default;
};
