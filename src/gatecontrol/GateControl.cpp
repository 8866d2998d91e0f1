#include "gatecontrol/GateControl.h"

GateControl::GateControl(const GateControlContext& context, const Clock& clock, QObject* parent)
    : QObject(parent), m_ping(clock), m_supervisor(context, eventLoopWait()), m_sequence(context, m_supervisor, m_ping)
{
    connect(&m_ping, &Ping::pinged, &m_supervisor, &ConnectionSupervisor::PingCallback);
}
