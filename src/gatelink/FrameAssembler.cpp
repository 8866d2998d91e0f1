#include "gatelink/FrameAssembler.h"

#include "gatelink/FrameSink.h"
#include "gatelink/GateFrame.h"
#include "gatelink/ReceiveRing.h"

#include <algorithm>
#include <cstring>

void FrameAssembler::Assemble(ReceiveRing& ring, bool& guard, FrameSink& sink)
{
    if (guard)
        return;
    guard = true;
    if (ring.available() == 0) {
        if (m_idleCountdown > 0)
            --m_idleCountdown;
        else
            m_inFrame = false;
    } else {
        m_idleCountdown = kIdleRuns;
        // Received bytes never overwrite unread ones, so a piece stays valid until it is consumed.
        for (int count = ring.contiguous(); count > 0; count = ring.contiguous()) {
            const std::uint8_t* bytes = ring.readPointer();
            for (int at = 0; at < count;)
                at += takeFrom(bytes + at, count - at, sink);
            ring.consume(count);
        }
    }
    guard = false;
}

void FrameAssembler::clear()
{
    m_inFrame = false;
    m_position = 0;
    m_crPosition = 7;
    m_idleCountdown = kIdleRuns;
}

// The same walk as take() byte by byte, with the two long stretches done at once: the bytes before
// an STX are discarded, and the bytes between LEN and the expected CR position are stored as data.
int FrameAssembler::takeFrom(const std::uint8_t* bytes, int count, FrameSink& sink)
{
    if (!m_inFrame && bytes[0] != GateFrame::kStx) {
        const void* stx = std::memchr(bytes, GateFrame::kStx, static_cast<std::size_t>(count));
        if (!stx)
            return count;
        take(GateFrame::kStx, sink);
        return static_cast<int>(static_cast<const std::uint8_t*>(stx) - bytes) + 1;
    }
    if (m_inFrame && m_position >= 4 && m_position < m_crPosition) {
        const int run = std::min(count, m_crPosition - m_position);
        std::memcpy(m_frame.data() + m_position, bytes, static_cast<std::size_t>(run));
        m_position += run;
        return run;
    }
    take(bytes[0], sink);
    return 1;
}

void FrameAssembler::take(std::uint8_t byte, FrameSink& sink)
{
    if (!m_inFrame) {
        if (byte == GateFrame::kStx) {
            m_frame[0] = byte;
            m_position = 1;
            m_crPosition = 7;
            m_inFrame = true;
        }
        return;
    }
    if (m_position == 3) {
        m_frame[3] = byte;
        m_position = 4;
        m_crPosition = byte + 6;
        return;
    }
    if (m_position == m_crPosition && byte == GateFrame::kCr) {
        m_frame[m_position] = byte;
        m_inFrame = false;
        sink.FrameCompleted(m_frame.data(), m_position + 1);
        return;
    }
    if (m_position > m_crPosition) {
        m_inFrame = false;
        return;
    }
    m_frame[m_position++] = byte;
}
