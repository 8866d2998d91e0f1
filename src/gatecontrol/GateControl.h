#pragma once

#include "gatecontrol/ConnectionSupervisor.h"
#include "gatecontrol/GateSequence.h"
#include "gatecontrol/Ping.h"

#include <QObject>

class Clock;

// What the main window owns of gate control: the ping workers, the supervision and the sequence,
// joined so that ping results reach PingCallback on the event-loop thread.
class GateControl final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(GateControl)

public:
    GateControl(const GateControlContext& context, const Clock& clock, QObject* parent = nullptr);

    GateSequence& sequence() { return m_sequence; }
    ConnectionSupervisor& supervisor() { return m_supervisor; }

private:
    Ping m_ping;
    ConnectionSupervisor m_supervisor;
    GateSequence m_sequence;
};
