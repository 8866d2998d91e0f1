#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>

// One fault episode of one simulated gate.
struct SoakFault
{
    enum Kind
    {
        Drop,
        Garbage,
        BadSum,
        NackBurst,
        Silence,
        Refuse,
        KindCount
    };

    int gate = 0;
    Kind kind = Drop;
    int startMs = 0; // soak time at which the fault is injected
    // How long the gate misbehaves after the start; for a NACK burst a bound on the time the
    // program's resends take, whose real end is read from the frame log.
    int durationMs = 0;
    int amount = 0; // bytes, frames, replies or milliseconds, by kind

    // The control lines that inject the fault, in order.
    QStringList commands() const;
    static QString kindName(Kind kind);
};

// The random schedule of a soak: per gate, episodes that never overlap and leave every gate the
// recovery window after each one, all ending before the quiet tail of the run.
class FaultPlan final
{
public:
    static constexpr int kRecoveryWindowMs = 15000;
    // A NACK to the first command after a reconnect is resent after the start delay (5 s plus
    // 100 ms per gate slot), so each NACK of a burst costs up to this much.
    static constexpr int kNackResendMs = 8000;

    static QList<SoakFault> make(int gates, int injectMs, std::uint32_t seed);
};
