#pragma once

#include "platform/Clock.h"

// A clock that moves only when told to: tests and benchmarks drive timing rules with it.
class ManualClock final : public Clock
{
public:
    explicit ManualClock(double now = 0.0, std::uint32_t tick = 0) : m_now(now), m_tick(tick) {}

    std::uint32_t tickMs() const override { return m_tick; }
    double now() const override { return m_now; }

    void setNow(double now) { m_now = now; }
    void setTick(std::uint32_t tick) { m_tick = tick; }
    // Moves both the tick counter and the date-time forward together.
    void advanceMs(std::uint32_t ms)
    {
        m_tick += ms;
        m_now += ms / 86400000.0;
    }

private:
    double m_now;
    std::uint32_t m_tick;
};
