#pragma once

#include <QString>

#include <array>

// What the LAN settings dialog shows and edits for one gate slot.
struct LanSettingsFields
{
    // The four parts of the gate's address as text; a part the address does not have stays empty.
    std::array<QString, 4> address;
    int gatePort = 0;
    int relayPort = 0;
    bool autoReconnect = true;
    // Operation mode: false = client (the only mode offered; it enables the address and port fields).
    bool server = false;

    bool operator==(const LanSettingsFields&) const = default;
};
