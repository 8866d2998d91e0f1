#pragma once

#include "integration/support/GateSimProcess.h"

#include <QList>

// Reads a gate's state out of the simulator's frame log: a gate is at its idle step when its current
// connection has received the read-loop command, the last command of the start-up sequence.
class RecoveryCheck final
{
public:
    struct GateState
    {
        bool connected = false;
        bool sequenceDone = false;
        quint32 connectedMs = 0;
        quint32 sequenceDoneMs = 0;
        int connections = 0;
    };

    struct Outcome
    {
        bool recovered = false;
        bool reconnected = false; // the gate went through a new connection after the fault started
        int recoveryMs = 0;       // from the end of the fault to the idle step (0: the link survived)
    };

    explicit RecoveryCheck(const QList<GateSimLogLine>& log);

    static bool isNack(const QByteArray& frame);

    // When the gate sent its last NACK in [fromMs, untilMs]; fromMs when it sent none.
    quint32 lastNackMs(int gate, quint32 fromMs, quint32 untilMs) const;

    // The gate's state with the log read up to and including `atMs`.
    GateState stateAt(int gate, quint32 atMs) const;
    // A fault from startMs to endMs: recovered when the gate is at its idle step at judgedAtMs.
    Outcome outcome(int gate, quint32 startMs, quint32 endMs, quint32 judgedAtMs) const;

private:
    const QList<GateSimLogLine>& m_log;
};
