#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// One tag delivery from a gate link: UID, the tag data after it and the frame's ID byte.
struct TagReport
{
    static constexpr std::size_t kSize = 24;

    std::array<std::uint8_t, 8> uid{};
    std::array<std::uint8_t, 12> data{};
    std::uint32_t readerId = 0;

    static TagReport read(const std::uint8_t* bytes);
    void write(std::uint8_t* bytes) const;

    bool operator==(const TagReport&) const = default;
};
