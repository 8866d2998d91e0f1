#pragma once

#include "gatecontrol/GateControlContext.h"

#include <cstdint>

class ConnectionSupervisor;
class PingService;

// The start-up and connection-check sequence of the 15 gate slots, one step per slot and tick of
// ConnectCheckTimer. Other subsystems move a slot to the fixed steps of SequenceRecord.
class GateSequence final
{
public:
    static constexpr int kReplyLimitMs = 3000;
    static constexpr int kIdleMs = 3000;
    // A gate that has not finished its shutdown after 100 minutes no longer holds the close.
    static constexpr std::uint32_t kShutdownLimitMs = 6000000;
    static constexpr int kPingTimeoutMs = 2500;
    static constexpr int kFirstConnectMs = 10000;
    static constexpr int kTriedMs = 5000;
    static constexpr int kDeferredIntervalMs = 1000;
    static constexpr int kMaxStartDelay = 20;

    GateSequence(const GateControlContext& context, ConnectionSupervisor& supervisor, PingService& ping);

    void ConnectCheckTimerTimer();

    // Entry points of the tag processing, buzzer, RF pause and close query.
    // An alarm is taken only while the slot idles at step 26; returns whether it was.
    bool requestAlarm(int slot);
    void startRfPause(int slot);
    void startRfResume(int slot);
    // The close query: connected gates past step 11 go to their shutdown steps and every other slot
    // counts as not connected at step 0; true when a gate shuts down (the close then waits).
    bool startShutdown();
    // Whether every connected gate has finished its shutdown or had its 100 minutes.
    bool shutdownFinished() const;

private:
    bool linkStart();
    void connectionLossCheck(int slot);
    void runStep(int slot);
    void send(int slot, int length, std::uint8_t code);
    void waitStep(int slot);
    // Where an accepted reply is read: LastReply, or the answer kept since the send.
    enum class ReplySource
    {
        LastReply,
        Answer
    };
    void onAccept(int slot, ReplySource source);
    void connectionWait(int slot);
    void composeErrorWindow();
    // Version characters DATA[1..3] of the ROM version reply.
    void wordLayoutRule(int slot, std::uint8_t first, std::uint8_t second, std::uint8_t third);
    void gateIsUp(int slot);
    // Steps 22 and 41: gate is up, then the read loop unless counting only.
    void startReadLoop(int slot, int nextWithLoop, int nextWithout);
    void idle(int slot);
    void check(int slot);
    void updateRfPauseButton();
    bool relaying() const;
    bool quiet() const;

    GateControlContext m_ctx;
    ConnectionSupervisor& m_supervisor;
    PingService& m_ping;
};
