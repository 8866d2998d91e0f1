#pragma once

#include <cstdint>

// The sequence state of one gate slot; other subsystems move it to fixed step numbers.
struct SequenceRecord
{
    static constexpr int kAlarm = 30;
    static constexpr int kRfPause = 33;
    static constexpr int kRfResume = 39;
    static constexpr int kShutdownWithRelay = 997;
    static constexpr int kShutdown = 999;
    static constexpr int kShutdownDone = 1005;
    // Seconds a reader gets after a new connection before its first command.
    static constexpr int kReconnectStartDelay = 5;

    int step = 0;
    int expectedLength = 0;
    std::uint8_t expectedCode = 0;
    int startDelay = 1;
    int relayCountdown = -1;
    bool wordLayout = false;
    std::uint8_t m1 = 0;
    std::uint8_t m2 = 0;
    std::uint8_t m3 = 0;
    std::uint8_t loopAfi = 0;
    bool loopOption = false;
    int aisleCount = 1;
    bool listed = false;
    bool acknowledged = false;
};
