#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>

class Clock;
class LinkLogModel;

// Which way a log line's bytes went; the numbers are those the callers of LinkLog use.
enum class LogDirection : int
{
    Comment = -1,   // events, command labels, reply labels, errors
    FromGate = 0,   // a gate frame not passed to a host PC
    ToGate = 1,     // a frame this system sent to the gate
    GateToHost = 2, // a gate frame passed to the host PC
    HostToGate = 3, // host PC bytes passed to the gate
};

// Writes one link's lines into the shared log: local time "hh:mm:ss:zzz", a tag and the gate index,
// a marker by direction, then the text. Without a log target nothing is formatted at all.
class LinkLogger
{
public:
    explicit LinkLogger(const Clock& clock);

    void setTarget(LinkLogModel* target) { m_target = target; }
    void setGate(int gate) { m_gate = gate; }
    bool active() const { return m_target != nullptr; }

    void log(QStringView text, LogDirection direction);
    void comment(QStringView text) { log(text, LogDirection::Comment); }
    // A frame as "%02X " per byte (sent and received frames).
    void logFrame(const std::uint8_t* bytes, int count, LogDirection direction);
    // Relayed bytes as " %02X" per byte, direction HostToGate when toGate, else GateToHost.
    void logHex(const std::uint8_t* bytes, int count, bool toGate);

    static QString line(QStringView time, LogDirection direction, int gate, QStringView text);
    static QString hexTrailing(const std::uint8_t* bytes, int count);
    static QString hexLeading(const std::uint8_t* bytes, int count);

private:
    const Clock& m_clock;
    LinkLogModel* m_target = nullptr;
    int m_gate = 0;
};
