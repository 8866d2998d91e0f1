#include "RecoveryCheck.h"

#include <algorithm>

RecoveryCheck::RecoveryCheck(const QList<GateSimLogLine>& log) : m_log(log) {}

bool RecoveryCheck::isNack(const QByteArray& frame)
{
    return frame.size() > 2 && frame.at(2) == '1';
}

quint32 RecoveryCheck::lastNackMs(int gate, quint32 fromMs, quint32 untilMs) const
{
    const QString unit = QStringLiteral("G%1").arg(gate);
    quint32 last = fromMs;
    for (const GateSimLogLine& line : m_log) {
        if (line.ms > untilMs)
            break;
        if (line.ms >= fromMs && line.unit == unit && line.kind == QLatin1String("TX") && isNack(line.bytes()))
            last = line.ms;
    }
    return last;
}

RecoveryCheck::GateState RecoveryCheck::stateAt(int gate, quint32 atMs) const
{
    const QString unit = QStringLiteral("G%1").arg(gate);
    GateState state;
    for (const GateSimLogLine& line : m_log) {
        if (line.ms > atMs)
            break;
        if (line.unit != unit)
            continue;
        if (line.kind == QLatin1String("EV")) {
            if (line.text.startsWith(QLatin1String("connected "))) {
                state.connected = true;
                state.sequenceDone = false;
                state.connectedMs = line.ms;
                ++state.connections;
            } else if (line.text == QLatin1String("dropped") || line.text == QLatin1String("disconnected") ||
                       line.text == QLatin1String("replaced by a new connection")) {
                state.connected = false;
                state.sequenceDone = false;
            }
        } else if (line.kind == QLatin1String("RX") && state.connected && !state.sequenceDone &&
                   GateSimProcess::isReadLoopCommand(line.bytes())) {
            state.sequenceDone = true;
            state.sequenceDoneMs = line.ms;
        }
    }
    return state;
}

RecoveryCheck::Outcome RecoveryCheck::outcome(int gate, quint32 startMs, quint32 endMs, quint32 judgedAtMs) const
{
    const GateState state = stateAt(gate, judgedAtMs);
    Outcome outcome;
    outcome.recovered = state.connected && state.sequenceDone;
    outcome.reconnected = state.connectedMs >= startMs;
    if (outcome.recovered && outcome.reconnected)
        outcome.recoveryMs = static_cast<int>(std::max<qint64>(0, qint64(state.sequenceDoneMs) - qint64(endMs)));
    return outcome;
}
