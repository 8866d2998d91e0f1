#pragma once

#include <cstdint>

// The one source of time for the core: a 32-bit millisecond tick counter that wraps at 2^32
// and the local date-time as a day number (days since 1899-12-30 plus the fraction of the day).
class Clock
{
public:
    virtual ~Clock() = default;
    virtual std::uint32_t tickMs() const = 0;
    virtual double now() const = 0;
};

// Elapsed milliseconds between two tick stamps, correct across the 2^32 wrap.
inline std::uint32_t ticksSince(std::uint32_t start, std::uint32_t current)
{
    return current - start;
}
