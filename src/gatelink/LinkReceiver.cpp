#include "gatelink/LinkReceiver.h"

#include "gatelink/EepromWatchFlags.h"
#include "gatelink/GateFrame.h"
#include "gatelink/HostRelay.h"
#include "gatelink/LinkLogger.h"
#include "gatelink/LinkShared.h"
#include "gatelink/ResponseDispatcher.h"

LinkReceiver::LinkReceiver(LinkShared& shared, LinkLogger& logger, const EepromWatchFlags& watch)
    : m_shared(shared), m_log(logger), m_watch(watch)
{
}

void LinkReceiver::setRoute(HostRelay* relay, ResponseDispatcher* dispatcher)
{
    m_relay = relay;
    m_dispatcher = dispatcher;
}

void LinkReceiver::clear()
{
    m_ring.clear();
    m_assembler.clear();
    m_lastReceivedId = 0;
}

int LinkReceiver::ReceiveBytes(const std::uint8_t* bytes, int count)
{
    const int stored = m_ring.Append(bytes, count);
    if (stored < count && m_log.active())
        m_log.comment(QStringLiteral("受信バッファが一杯です：%1バイトを破棄しました").arg(count - stored));
    Assemble();
    return stored;
}

void LinkReceiver::Assemble()
{
    m_assembler.Assemble(m_ring, m_shared.assembling, *this);
}

void LinkReceiver::FrameCompleted(const std::uint8_t* frame, int length)
{
    m_lastReceivedId = frame[1];
    bool relayed = false;
    if (m_relay && !m_watch.busy && (frame[2] != 'G' || !m_countFilter) && m_relay->hostConnected()) {
        m_relay->sendToHost(frame, length);
        m_log.logHex(frame, length, false);
        relayed = true;
    }
    if (!GateFrame::IsSound(frame)) {
        m_log.comment(u"SUM EEROR");
        return;
    }
    if (m_dispatcher)
        m_dispatcher->Dispatch(frame, length, relayed);
}
