#include "gatelink/LinkLogger.h"

#include "gatelink/LinkLogModel.h"
#include "platform/Clock.h"
#include "platform/DayNumber.h"

namespace {

constexpr char16_t kHexDigits[] = u"0123456789ABCDEF";

QString hex(const std::uint8_t* bytes, int count, bool spaceFirst)
{
    QString text(count * 3, Qt::Uninitialized);
    QChar* out = text.data();
    for (int i = 0; i < count; ++i) {
        if (spaceFirst)
            *out++ = u' ';
        *out++ = kHexDigits[bytes[i] >> 4];
        *out++ = kHexDigits[bytes[i] & 0x0F];
        if (!spaceFirst)
            *out++ = u' ';
    }
    return text;
}

// "hh:mm:ss:zzz" of a time of day, written digit by digit: every log line needs one.
QString timeText(int msOfDay)
{
    const int fields[] = {msOfDay / 3600000, msOfDay / 60000 % 60, msOfDay / 1000 % 60};
    QString text(12, Qt::Uninitialized);
    QChar* out = text.data();
    for (const int field : fields) {
        *out++ = QChar(u'0' + field / 10);
        *out++ = QChar(u'0' + field % 10);
        *out++ = u':';
    }
    const int ms = msOfDay % 1000;
    *out++ = QChar(u'0' + ms / 100);
    *out++ = QChar(u'0' + ms / 10 % 10);
    *out = QChar(u'0' + ms % 10);
    return text;
}

} // namespace

LinkLogger::LinkLogger(const Clock& clock) : m_clock(clock) {}

void LinkLogger::log(QStringView text, LogDirection direction)
{
    if (!m_target)
        return;
    m_target->append(line(timeText(DayNumber::toTime(m_clock.now()).msecsSinceStartOfDay()), direction, m_gate, text));
}

void LinkLogger::logFrame(const std::uint8_t* bytes, int count, LogDirection direction)
{
    if (m_target)
        log(hexTrailing(bytes, count), direction);
}

void LinkLogger::logHex(const std::uint8_t* bytes, int count, bool toGate)
{
    if (m_target)
        log(hexLeading(bytes, count), toGate ? LogDirection::HostToGate : LogDirection::GateToHost);
}

QString LinkLogger::line(QStringView time, LogDirection direction, int gate, QStringView text)
{
    QStringView tag = u" S: G";
    QStringView marker = u":[RX] ";
    switch (direction) {
    case LogDirection::ToGate:
        tag = u" C: G";
        marker = u":[TX]  ";
        break;
    case LogDirection::FromGate:
        tag = u" C: G";
        marker = u":[RX]  ";
        break;
    case LogDirection::Comment:
        tag = u" -: G";
        marker = u":[cmt] ";
        break;
    case LogDirection::HostToGate:
        marker = u":[TX] ";
        break;
    case LogDirection::GateToHost:
        break;
    }
    QString result;
    result.reserve(time.size() + tag.size() + 2 + marker.size() + text.size());
    result.append(time).append(tag).append(QString::number(gate)).append(marker).append(text);
    return result;
}

QString LinkLogger::hexTrailing(const std::uint8_t* bytes, int count)
{
    return hex(bytes, count, false);
}

QString LinkLogger::hexLeading(const std::uint8_t* bytes, int count)
{
    return hex(bytes, count, true);
}
