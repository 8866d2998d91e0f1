#pragma once

#include "gatelink/FrameAssembler.h"
#include "gatelink/FrameSink.h"
#include "gatelink/ReceiveRing.h"

#include <cstdint>

class HostRelay;
class LinkLogger;
class ResponseDispatcher;
struct EepromWatchFlags;
struct LinkShared;

// The receive path of one link, without any socket: the ring, the assembler and what happens to a
// complete frame. A gate link passes the frame to the host PC first (unless the watch holds the gate
// or the count filter withholds 'G' frames), then tests its checksum and dispatches it. A relay link
// has no dispatcher and no host relay, so the host's frames are only tested.
class LinkReceiver final : private FrameSink
{
public:
    LinkReceiver(LinkShared& shared, LinkLogger& logger, const EepromWatchFlags& watch);

    // relay and dispatcher are nullptr on a relay link.
    void setRoute(HostRelay* relay, ResponseDispatcher* dispatcher);
    void setCountFilter(bool on) { m_countFilter = on; }
    bool countFilter() const { return m_countFilter; }
    // Empty ring, no frame under assembly.
    void clear();

    // Appends a chunk and assembles; a chunk larger than the ring's free space is cut and the cut
    // logged. Returns the number of bytes stored.
    int ReceiveBytes(const std::uint8_t* bytes, int count);
    void Assemble();

    std::uint8_t lastReceivedId() const { return m_lastReceivedId; }
    ReceiveRing& ring() { return m_ring; }

private:
    void FrameCompleted(const std::uint8_t* frame, int length) override;

    LinkShared& m_shared;
    LinkLogger& m_log;
    const EepromWatchFlags& m_watch;
    HostRelay* m_relay = nullptr;
    ResponseDispatcher* m_dispatcher = nullptr;
    ReceiveRing m_ring;
    FrameAssembler m_assembler;
    bool m_countFilter = true;
    std::uint8_t m_lastReceivedId = 0;
};
