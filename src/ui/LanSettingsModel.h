#pragma once

#include "ui/LanSettingsFields.h"

#include <functional>

struct tagTCPIPPara;

// The LAN settings of one gate slot without widgets: fills the dialog's fields from the slot's gate
// and relay transport entries and the reconnect switch, and on OK writes them back and restarts the
// slot's connection.
class LanSettingsModel final
{
public:
    static constexpr int kPortMax = 65535;
    static constexpr int kAddressPartMax = 255;

    // restart: re-creates the slot's relay server (when the relay is on) and client socket and
    // starts its sequence again; called once per OK.
    LanSettingsModel(tagTCPIPPara& para, bool& autoReconnect, int slot, std::function<void()> restart);

    int slot() const { return m_slot; }
    LanSettingsFields open() const;
    // OK: stores the fields and restarts the slot.
    void accept(const LanSettingsFields& fields);

    static std::array<QString, 4> splitAddress(const QString& address);

private:
    tagTCPIPPara& m_para;
    bool& m_autoReconnect;
    int m_slot;
    std::function<void()> m_restart;
};
