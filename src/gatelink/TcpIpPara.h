#pragma once

#include "gatelink/LinkShared.h"

#include <QString>

#include <array>

// Transport parameters of one link: the gate's address and port for a gate link, the relay port
// for a relay link. The number is carried for the settings but not used by the link.
struct TcpIpParaEntry
{
    int number = 0;
    bool isServer = false;
    quint16 port = 0;
    QString address;
};

// The main window's 2 x 15 transport parameters: row 0 for the gate links, row 1 for the relay links.
struct tagTCPIPPara
{
    enum Row
    {
        GateRow = 0,
        RelayRow = 1
    };

    std::array<std::array<TcpIpParaEntry, LinkShared::kGateSlots>, 2> rows{};

    TcpIpParaEntry& entry(Row row, int slot) { return rows.at(row).at(static_cast<std::size_t>(slot)); }
    const TcpIpParaEntry& entry(Row row, int slot) const { return rows.at(row).at(static_cast<std::size_t>(slot)); }
};
