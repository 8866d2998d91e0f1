#include "gatesim/GateFaults.h"

#include "gatelink/GateFrame.h"
#include "platform/Clock.h"

void GateFaults::silence(std::uint32_t now, int ms)
{
    m_silent = ms > 0;
    m_silenceStart = now;
    m_silenceMs = static_cast<std::uint32_t>(ms);
}

bool GateFaults::silenced(std::uint32_t now) const
{
    return m_silent && ticksSince(m_silenceStart, now) < m_silenceMs;
}

void GateFaults::clear()
{
    *this = GateFaults();
}

QByteArray GateFaults::shapeReply(QByteArray frame)
{
    if (m_nacks > 0 && frame.size() >= GateFrame::kOverhead && frame[2] == '0') {
        --m_nacks;
        auto* bytes = reinterpret_cast<std::uint8_t*>(frame.data());
        bytes[2] = '1';
        GateFrame::Reseal(bytes);
    }
    return spoilSum(std::move(frame));
}

QByteArray GateFaults::shapePush(QByteArray frame)
{
    return spoilSum(std::move(frame));
}

QByteArray GateFaults::spoilSum(QByteArray frame)
{
    if (m_badSums > 0 && frame.size() >= GateFrame::kOverhead) {
        --m_badSums;
        auto* bytes = reinterpret_cast<std::uint8_t*>(frame.data());
        bytes[5 + bytes[3]] ^= 0xFF;
    }
    return frame;
}

QByteArray GateFaults::garbage(int n)
{
    QByteArray bytes;
    bytes.reserve(n);
    std::uint32_t state = 0x2545F491u;
    while (bytes.size() < n) {
        state = state * 1664525u + 1013904223u;
        const auto b = static_cast<std::uint8_t>(state >> 24);
        if (b != GateFrame::kStx)
            bytes.append(static_cast<char>(b));
    }
    return bytes;
}

QString GateFaults::describe(std::uint32_t now) const
{
    const std::uint32_t silentLeft = silenced(now) ? m_silenceMs - ticksSince(m_silenceStart, now) : 0;
    return QStringLiteral("delay=%1 nack=%2 badsum=%3 silence=%4")
        .arg(m_delayMs)
        .arg(m_nacks)
        .arg(m_badSums)
        .arg(silentLeft);
}
