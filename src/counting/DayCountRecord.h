#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// One gate-day of counts of the counted direction: per aisle, element h is the band h:00-h:59.
struct DayCountRecord
{
    static constexpr std::size_t kSize = 296;
    static constexpr int kAisles = 3;
    static constexpr int kBands = 24;

    double date = 0.0;
    std::array<std::array<std::int32_t, kBands>, kAisles> bands{};

    static DayCountRecord read(const std::uint8_t* bytes);
    void write(std::uint8_t* bytes) const;

    bool operator==(const DayCountRecord&) const = default;
};
