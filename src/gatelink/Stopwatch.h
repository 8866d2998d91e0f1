#pragma once

#include <array>
#include <cstdint>

class Clock;

// Millisecond time stamps of the links: slot i times the reply wait of gate link i, slot 15 + i the
// connect and error guard of gate link i. Differences are taken modulo 2^32, so the wrap of the
// tick counter does no harm.
class Stopwatch
{
public:
    static constexpr int kSlots = 30;

    explicit Stopwatch(const Clock& clock);

    void StopwatchStart(int slot);
    bool StopwatchElapsed(int slot, std::uint32_t ms) const;

private:
    const Clock& m_clock;
    std::array<std::uint32_t, kSlots> m_started{};
};
