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
    int startMs = 0;    // soak time at which the fault is injected
    int durationMs = 0; // how long the gate misbehaves after the start
    int amount = 0;     // bytes, frames, replies or milliseconds, by kind

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

    static QList<SoakFault> make(int gates, int injectMs, std::uint32_t seed);
};
