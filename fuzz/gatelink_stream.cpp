// Arbitrary gate and host bytes, in arbitrary chunk sizes, through a gate link's receive path:
// ring, assembler, relay decision, checksum test and dispatch, with the link log attached. The
// assembler's frames are also checked against a plain byte-by-byte walk of the framing rules.
#include "gatelink/EepromWatchFlags.h"
#include "gatelink/FrameAssembler.h"
#include "gatelink/FrameSink.h"
#include "gatelink/GateReportSink.h"
#include "gatelink/HostRelay.h"
#include "gatelink/LinkLogModel.h"
#include "gatelink/LinkLogger.h"
#include "gatelink/LinkReceiver.h"
#include "gatelink/LinkShared.h"
#include "gatelink/ResponseDispatcher.h"
#include "platform/ManualClock.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

class NullSink final : public GateReportSink
{
public:
    void CountValuesReceived(int, const CountRecord&) override {}
    void CountBlocksReceived(int, const CountRecord&, int) override {}
    void TagDetected(int, const TagReport&) override {}
};

class FlakyHost final : public HostRelay
{
public:
    bool hostConnected() const override { return connected; }
    void sendToHost(const std::uint8_t*, int length) override { relayedBytes += length; }
    bool connected = false;
    long relayedBytes = 0;
};

constexpr char kCommands[] = {'O', 'N', 'x', 'G', 'b', 0};

class FrameList final : public FrameSink
{
public:
    void FrameCompleted(const std::uint8_t* frame, int length) override { frames.emplace_back(frame, frame + length); }
    std::vector<std::vector<std::uint8_t>> frames;
};

// The framing rules one byte at a time, as the gate protocol states them.
class ReferenceAssembler
{
public:
    void run(const std::uint8_t* bytes, std::size_t count)
    {
        if (count == 0) {
            if (idle > 0)
                --idle;
            else
                inFrame = false;
            return;
        }
        idle = 100;
        for (std::size_t i = 0; i < count; ++i)
            take(bytes[i]);
    }
    std::vector<std::vector<std::uint8_t>> frames;

private:
    void take(std::uint8_t b)
    {
        if (!inFrame) {
            if (b == 0x02) {
                frame.assign(1, b);
                crPosition = 7;
                inFrame = true;
            }
            return;
        }
        const int position = static_cast<int>(frame.size());
        if (position == 3) {
            frame.push_back(b);
            crPosition = b + 6;
        } else if (position == crPosition && b == 0x0D) {
            frame.push_back(b);
            frames.push_back(frame);
            inFrame = false;
        } else if (position > crPosition) {
            inFrame = false;
        } else {
            frame.push_back(b);
        }
    }

    std::vector<std::uint8_t> frame;
    bool inFrame = false;
    int crPosition = 7;
    int idle = 100;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    ManualClock clock(45000.5, 0xFFFFFF00u);
    LinkShared shared(clock);
    NullSink sink;
    shared.sink = &sink;
    LinkLogModel log;
    LinkLogger logger(clock);
    logger.setTarget((data[0] & 0x01) ? &log : nullptr);
    EepromWatchFlags watch;
    watch.busy = (data[0] & 0x02) != 0;
    ResponseDispatcher dispatcher(shared, logger, watch);
    FlakyHost host;
    LinkReceiver gateLink(shared, logger, watch);
    gateLink.setRoute(&host, &dispatcher);
    gateLink.setCountFilter((data[0] & 0x04) != 0);
    LinkReceiver relayLink(shared, logger, watch);
    // Start the rings anywhere, so that chunks cross their end.
    gateLink.ring().reset(data[1] * 64);
    ReceiveRing ring;
    ring.reset(data[1] * 64);
    FrameAssembler assembler;
    FrameList assembled;
    bool guard = false;
    ReferenceAssembler reference;

    std::size_t at = 2;
    while (at < size) {
        const std::uint8_t header = data[at++];
        const std::size_t length = std::min<std::size_t>(header & 0x3F, size - at);
        dispatcher.state().lastCommand = kCommands[(header >> 6) + ((data[0] >> 3) & 0x02)];
        host.connected = (header & 0x40) != 0;
        const bool toRelay = (header & 0x80) && (data[0] & 0x08);
        if (length == 0) {
            gateLink.Assemble();
        } else if (toRelay) {
            relayLink.ReceiveBytes(data + at, static_cast<int>(length));
        } else {
            gateLink.ReceiveBytes(data + at, static_cast<int>(length));
        }
        if (!toRelay) {
            ring.Append(data + at, static_cast<int>(length));
            assembler.Assemble(ring, guard, assembled);
            reference.run(data + at, length);
        }
        at += length;
    }
    if (assembled.frames != reference.frames)
        __builtin_trap();
    std::uint8_t words[512];
    dispatcher.GateEepromReplyRead(data[0], data[1], words);
    std::uint16_t w1 = 0, w2 = 0, w3 = 0;
    dispatcher.CountModeReplyRead(w1, w2, w3);
    return 0;
}
