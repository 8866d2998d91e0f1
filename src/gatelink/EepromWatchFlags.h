#pragma once

// The part of a gate link's EEPROM watch that the receive path needs. While busy the watch owns the
// gate: the gate's frames are not relayed to the host PC and host bytes wait in the HostQueue. The
// dispatcher sets the reply-seen flags and ends busy when the awaited ACK arrives.
struct EepromWatchFlags
{
    bool busy = false;
    bool readReplySeen = false;
    bool writeReplySeen = false;
};
