#include "gatecontrol/TickTable.h"

#include "platform/Clock.h"

TickTable::TickTable(const Clock& clock) : m_clock(clock) {}

void TickTable::TickMark(int entry)
{
    m_ticks[entry] = m_clock.tickMs();
}

bool TickTable::TickElapsed(int entry, std::uint32_t ms) const
{
    return ticksSince(m_ticks[entry], m_clock.tickMs()) >= ms;
}

void TickTable::TickMarkBack(int entry, std::uint32_t ms)
{
    m_ticks[entry] = m_clock.tickMs() - ms;
}
