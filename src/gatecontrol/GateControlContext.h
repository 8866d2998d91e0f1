#pragma once

#include "gatecontrol/SequenceRecord.h"
#include "gatelink/LinkShared.h"

#include <array>

class CountModel;
class QTimer;
class SequenceHost;
class TickTable;
class TTComXDlg;
struct SettingsRecord;
struct tagTCPIPPara;

// The main window's state that the gate sequence and supervision work on; all of it outlives them.
struct GateControlContext
{
    const SettingsRecord& settings;
    const tagTCPIPPara& tcpip;
    LinkShared& links;
    std::array<SequenceRecord, LinkShared::kGateSlots>& records;
    TickTable& ticks;
    CountModel& counts;
    SequenceHost& host;
    QTimer& connectCheckTimer;
    const QTimer& closeTimer;

    TTComXDlg* gateLink(int slot) const { return links.gateLink(slot); }
    TTComXDlg* relayLink(int slot) const { return links.relayLink(slot); }
};
