#include "gatesim/FrameLog.h"

#include "gatesim/HexBytes.h"
#include "platform/Clock.h"

#include <QIODevice>

FrameLog::FrameLog(QIODevice& out, const Clock& clock) : m_out(out), m_clock(clock), m_start(clock.tickMs()) {}

void FrameLog::frame(const QString& unit, const char* kind, QByteArrayView bytes)
{
    line(unit, kind, HexBytes::format(bytes));
}

void FrameLog::event(const QString& unit, const QString& text)
{
    line(unit, "EV", text);
}

void FrameLog::line(const QString& unit, const char* kind, const QString& text)
{
    const std::uint32_t ms = ticksSince(m_start, m_clock.tickMs());
    m_out.write(QStringLiteral("%1 %2 %3 %4\n").arg(ms).arg(unit, QLatin1String(kind), text).toUtf8());
}
