#pragma once

#include <array>
#include <cstdint>

// The part of a gate link's EEPROM watch that the receive path needs. While busy the watch owns the
// gate: the gate's frames are not relayed to the host PC and host bytes wait in the HostQueue. The
// dispatcher sets the reply-seen flags and ends busy when the awaited ACK arrives.
struct EepromWatchFlags
{
    // The watched word: address 4 of the gate controller's EEPROM, one word.
    static constexpr std::uint8_t kAddress = 4;

    bool busy = false;
    bool readReplySeen = false;
    bool writeReplySeen = false;
    // The word of the read reply, taken as the reply arrives: the start-up sequence's next reply replaces
    // LastReply before the watch's next tick looks. wordRead is false when the reply did not hold it.
    bool wordRead = false;
    std::array<std::uint8_t, 2> word{};
};
