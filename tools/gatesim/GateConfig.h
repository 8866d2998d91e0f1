#pragma once

#include "counting/CountRecord.h"

#include <QByteArray>

#include <array>
#include <cstdint>
#include <map>
#include <utility>

// Everything a simulated gate is set up with before the first byte arrives.
struct GateConfig
{
    static constexpr int kReaderEepromBytes = 257; // byte addresses 0..256: word w holds bytes 2w and 2w-1
    static constexpr int kGateEepromWords = 256;
    static constexpr int kAisleByteAddress = 39;
    static constexpr int kOptionByteAddress = 7;
    static constexpr int kAfiByteAddress = 5;

    GateConfig();

    QByteArray romVersion; // exactly 9 characters
    std::array<std::uint8_t, 3> mode{0x01, 0x00, 0x14};
    std::array<std::uint8_t, kReaderEepromBytes> readerEeprom{};
    std::array<std::uint8_t, 2 * kGateEepromWords> gateEeprom{}; // two bytes per word, in the order sent
    std::array<std::uint16_t, 3> countMode{};
    CountRecord counters;
    std::uint8_t readerId = 0x00;

    int countPushMs = 0;
    std::array<std::int32_t, 3> countPushIn{1, 0, 0};
    std::array<std::int32_t, 3> countPushOut{0, 0, 0};

    int tagPushMs = 0;
    char tagPushKind = 'D';
    QByteArray tagPushUid;
    QByteArray tagPushData;

    bool nackBadSum = false;
    // ACK DATA (sub-code first) that replaces the built-in answer to (command letter, sub-code);
    // an empty value means the gate does not answer that request at all.
    std::map<std::pair<char, std::uint8_t>, QByteArray> replyOverrides;
};
