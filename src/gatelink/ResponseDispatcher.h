#pragma once

#include "gatelink/DebugTagTable.h"
#include "gatelink/ReplyState.h"

#include <QObject>

#include <cstdint>

class LinkLogger;
struct EepromWatchFlags;
struct LinkShared;

// Turns a gate link's good frames into reply state for the sequences, tag reports and count records
// for the count and tag models, and fixed words in the link log. Nothing outside a frame's DATA is
// ever copied or delivered: a frame too short for what its letter carries delivers nothing.
class ResponseDispatcher final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ResponseDispatcher)

public:
    ResponseDispatcher(LinkShared& shared, LinkLogger& logger, EepromWatchFlags& watch, QObject* parent = nullptr);

    void setGate(int gate) { m_gate = gate; }
    // Empties the reply state and the debug tag table (link initialisation).
    void clear();

    // frame holds length bytes with a tested checksum; relayed frames were already logged as passed to the host.
    void Dispatch(const std::uint8_t* frame, int length, bool relayed);

    ReplyState& state() { return m_state; }
    const ReplyState& state() const { return m_state; }
    DebugTagTable& debugTags() { return m_debugTags; }

    // The words of a GateGetEEPROMCmd reply for addr and count: 2 * count bytes into words.
    bool GateEepromReplyRead(std::uint8_t addr, std::uint8_t count, std::uint8_t* words) const;
    // The three count-mode words of a count-mode reply.
    bool CountModeReplyRead(std::uint16_t& w1, std::uint16_t& w2, std::uint16_t& w3) const;

signals:
    // The reader's UID count of a read-loop ACK, shown in the tag-count field.
    void uidCountReceived(int count);

private:
    class Frame;

    void keepReply(const Frame& frame);
    void keepAnswer(const Frame& frame);
    static void copyFrame(const Frame& frame, std::array<std::uint8_t, FrameAssembler::kBufferSize>& to, int& length);
    void deliverTag(const Frame& frame, int uidOffset, bool withData);
    void setLastUid(const Frame& frame, int offset);
    void routeAck(const Frame& frame);
    void readerAck(const Frame& frame, char command);
    void tagProtocolAck(const Frame& frame);
    void gateAck(const Frame& frame);
    void lcdBoard(const Frame& frame);
    void antennaReport(const Frame& frame);
    void nack(const Frame& frame);
    void uidFrame(const Frame& frame);
    void tagTypeFrame(const Frame& frame);
    void multiTagFrame(const Frame& frame);
    void gateEvent(const Frame& frame);
    void deliverCounts(const Frame& frame);
    void logUid(QStringView prefix, const Frame& frame, int offset);
    void comment(QStringView text);

    LinkShared& m_shared;
    LinkLogger& m_log;
    EepromWatchFlags& m_watch;
    int m_gate = 0;
    ReplyState m_state;
    DebugTagTable m_debugTags;
    // The log has been told once that this gate sends count frames without every aisle block.
    bool m_shortCountLogged = false;
};
