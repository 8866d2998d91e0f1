#pragma once

#include <array>
#include <cstdint>

class Clock;

// Millisecond stamps of the gate slots: reply (i), idle (15 + i), connection (30 + i) and
// check (45 + i) timers, compared modulo 2^32 so the tick counter's wrap does no harm.
class TickTable final
{
public:
    static constexpr int kEntries = 60;
    static constexpr int kReply = 0;
    static constexpr int kIdle = 15;
    static constexpr int kConnection = 30;
    static constexpr int kCheck = 45;

    explicit TickTable(const Clock& clock);

    void TickMark(int entry);
    bool TickElapsed(int entry, std::uint32_t ms) const;
    // Marks the entry as if it had been marked ms ago, so a restarted timer has already run ms.
    void TickMarkBack(int entry, std::uint32_t ms);
    std::uint32_t stamp(int entry) const { return m_ticks[entry]; }

private:
    const Clock& m_clock;
    std::array<std::uint32_t, kEntries> m_ticks{};
};
