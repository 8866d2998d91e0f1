#pragma once

#include "platform/Clock.h"

#include <QElapsedTimer>

class SystemClock final : public Clock
{
public:
    SystemClock();
    std::uint32_t tickMs() const override;
    double now() const override;

    static SystemClock& instance();

private:
    QElapsedTimer m_timer;
};
