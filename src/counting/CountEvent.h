#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// One accepted change of a gate's counters, with its time stamp (day number).
struct CountEvent
{
    static constexpr std::size_t kSize = 45;

    double time = 0.0;
    std::uint8_t gate = 0;
    std::array<std::int32_t, 3> in{};
    std::array<std::uint16_t, 3> firstWord{};
    std::array<std::int32_t, 3> out{};
    std::array<std::uint16_t, 3> secondWord{};

    static CountEvent read(const std::uint8_t* bytes);
    void write(std::uint8_t* bytes) const;

    bool operator==(const CountEvent&) const = default;
};
