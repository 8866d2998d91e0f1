#pragma once

#include <array>
#include <cstdint>

class FrameSink;
class ReceiveRing;

// Cuts frames out of a link's receive ring: waits for STX, takes LEN from the fourth byte and
// expects CR at LEN + 6. There is no resynchronisation inside a frame: an STX in the data is data,
// and a frame whose terminator is wrong is abandoned together with the byte after it.
class FrameAssembler
{
public:
    static constexpr int kBufferSize = 266;
    static constexpr int kIdleRuns = 100;

    // Consumes every byte in the ring. One guard serves all links: while any link is assembling,
    // the bytes stay in their ring until that link's next receive event.
    void Assemble(ReceiveRing& ring, bool& guard, FrameSink& sink);
    void clear();

private:
    // Consumes bytes from the start of one contiguous piece of the ring; returns how many.
    int takeFrom(const std::uint8_t* bytes, int count, FrameSink& sink);
    void take(std::uint8_t byte, FrameSink& sink);

    std::array<std::uint8_t, kBufferSize> m_frame{};
    bool m_inFrame = false;
    int m_position = 0;
    int m_crPosition = 7;
    int m_idleCountdown = kIdleRuns;
};
