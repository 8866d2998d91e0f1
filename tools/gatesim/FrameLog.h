#pragma once

#include <QByteArrayView>
#include <QString>

#include <cstdint>

class Clock;
class QIODevice;

// One line per frame or event: "<ms since start> <unit> <kind> <text>", for example
// "12345 G0 RX 02 00 4F 02 90 00 03 E6 0D". Kinds: RX, TX, BAD (received with a wrong SUM or
// no ETX) and EV (events in words). Tests read these lines, so the form never changes.
class FrameLog
{
public:
    FrameLog(QIODevice& out, const Clock& clock);

    void frame(const QString& unit, const char* kind, QByteArrayView bytes);
    void event(const QString& unit, const QString& text);

private:
    void line(const QString& unit, const char* kind, const QString& text);

    QIODevice& m_out;
    const Clock& m_clock;
    std::uint32_t m_start;
};
