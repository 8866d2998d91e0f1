#include "platform/SystemClock.h"

#include "platform/DayNumber.h"

#include <QDateTime>

SystemClock::SystemClock()
{
    m_timer.start();
}

std::uint32_t SystemClock::tickMs() const
{
    return static_cast<std::uint32_t>(m_timer.elapsed());
}

double SystemClock::now() const
{
    return DayNumber::fromDateTime(QDateTime::currentDateTime());
}

SystemClock& SystemClock::instance()
{
    static SystemClock clock;
    return clock;
}
