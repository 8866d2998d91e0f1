#include "gatelink/Stopwatch.h"

#include "platform/Clock.h"

Stopwatch::Stopwatch(const Clock& clock) : m_clock(clock) {}

void Stopwatch::StopwatchStart(int slot)
{
    m_started.at(static_cast<std::size_t>(slot)) = m_clock.tickMs();
}

bool Stopwatch::StopwatchElapsed(int slot, std::uint32_t ms) const
{
    return ticksSince(m_started.at(static_cast<std::size_t>(slot)), m_clock.tickMs()) >= ms;
}
