#pragma once

#include "config/SettingsRecord.h"
#include "gatelink/LastUidBuffer.h"
#include "gatelink/Stopwatch.h"

#include <QString>

#include <array>

class Clock;
class GateReportSink;
class LinkHost;
class TTComXDlg;

// What the 30 link objects of the program have in common. The main window owns one and hands it to
// every link; a link enters itself under its index while it exists.
struct LinkShared
{
    static constexpr int kGateSlots = 15;
    static constexpr int kLinks = 2 * kGateSlots;

    explicit LinkShared(const Clock& clock) : clock(clock), stopwatch(clock) {}

    const Clock& clock;
    Stopwatch stopwatch;
    // Set while any link runs its assembler, so that a receive event during a dispatch only stores bytes.
    bool assembling = false;
    LastUidBuffer lastUid;
    // Where counts and tags go; nullptr drops them.
    GateReportSink* sink = nullptr;
    LinkHost* host = nullptr;
    // Gate links keep their sockets closed while the network is not ready.
    bool connectionsDeferred = false;
    // The fatal first-connection message has been shown (once for the whole program).
    bool fatalErrorShown = false;
    // The values the EEPROM watch restores, and the data folder its log file goes to.
    EepromWatchSettings eeprom;
    QString dataFolder;
    // Gate link i at i, relay link 15 + i at 15 + i.
    std::array<TTComXDlg*, kLinks> links{};

    TTComXDlg* gateLink(int slot) const { return links.at(static_cast<std::size_t>(slot)); }
    TTComXDlg* relayLink(int slot) const { return links.at(static_cast<std::size_t>(kGateSlots + slot)); }
};
