#pragma once

#include <cstdint>

// Receives each frame the assembler has cut out of a link's byte stream, checksum still untested.
class FrameSink
{
public:
    virtual ~FrameSink() = default;
    virtual void FrameCompleted(const std::uint8_t* frame, int length) = 0;
};
