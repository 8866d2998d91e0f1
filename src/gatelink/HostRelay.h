#pragma once

#include <cstdint>

// The host PC side of a gate link: the slot's relay link, as far as the gate-to-host relay needs it.
class HostRelay
{
public:
    virtual ~HostRelay() = default;
    // The relay link is open and a host PC is connected to it.
    virtual bool hostConnected() const = 0;
    virtual void sendToHost(const std::uint8_t* frame, int length) = 0;
};
