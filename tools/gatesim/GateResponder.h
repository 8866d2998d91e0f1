#pragma once

#include "gatesim/GateConfig.h"

#include <QByteArray>
#include <QList>

#include <array>
#include <cstdint>

// The inside of one simulated gate: its reader, EEPROMs and counters, and the answer to each request.
// Pure: frames in, frames out, no sockets and no time.
class GateResponder
{
public:
    // Error classes of the NACKs this gate sends on its own.
    static constexpr std::uint8_t kNackDataCount = 0x41;
    static constexpr std::uint8_t kNackSum = 0x42;
    static constexpr std::uint8_t kNackInvalid = 0x44;

    explicit GateResponder(const GateConfig& config);

    // The reply to one good request frame; empty when the gate sends nothing back.
    QByteArray answer(const QByteArray& request);
    // The reply to a request whose SUM or ETX is wrong: a NACK when configured, else nothing.
    QByteArray answerBadSum() const;

    QByteArray countFrame() const;
    // 'D', 'd', 'L', 'l': UID then data; 'i': entry count, two zero bytes, then every UID, then data.
    QByteArray tagFrame(char kind, const QList<QByteArray>& uids, const QByteArray& data) const;
    QByteArray frame(char command, const QByteArray& data) const;

    void addCounts(int aisle, std::int32_t in, std::int32_t out);
    void setCounts(int aisle, std::int32_t in, std::int32_t out);
    const CountRecord& counters() const { return m_counters; }

    QByteArray gateEeprom(int address, int words) const;
    void setGateEeprom(int address, const QByteArray& bytes);

    const std::array<std::uint8_t, 3>& mode() const { return m_mode; }
    const std::array<std::uint16_t, 3>& countMode() const { return m_countMode; }
    bool transmitterOn() const { return m_transmitterOn; }
    bool readLoopRunning() const { return m_readLoop; }
    int lampMode() const { return m_lampMode; }
    int alarms() const { return m_alarms; }
    const QByteArray& display() const { return m_display; }
    int restarts() const { return m_restarts; }
    const GateConfig& config() const { return m_config; }

private:
    struct Request
    {
        char command;
        std::uint8_t subCode;
        int length; // LEN the request must have; -1 when the handler checks it
        QByteArray (GateResponder::*handle)(const std::uint8_t* data, int length);
    };
    static const Request kRequests[];

    QByteArray ack(const QByteArray& data) const;
    QByteArray nack(std::uint8_t errorClass) const;

    QByteArray romVersion(const std::uint8_t* data, int length);
    QByteArray modeGet(const std::uint8_t* data, int length);
    QByteArray modeSet(const std::uint8_t* data, int length);
    QByteArray afiRead(const std::uint8_t* data, int length);
    QByteArray readerWords(const std::uint8_t* data, int length);
    QByteArray readerByte(const std::uint8_t* data, int length);
    QByteArray restart(const std::uint8_t* data, int length);
    QByteArray transmitter(const std::uint8_t* data, int length);
    QByteArray readLoop(const std::uint8_t* data, int length);
    QByteArray eepromGet(const std::uint8_t* data, int length);
    QByteArray eepromSet(const std::uint8_t* data, int length);
    QByteArray lamp(const std::uint8_t* data, int length);
    QByteArray displayOut(const std::uint8_t* data, int length);
    QByteArray countsRead(const std::uint8_t* data, int length);
    QByteArray countModeRead(const std::uint8_t* data, int length);
    QByteArray countModeWrite(const std::uint8_t* data, int length);
    QByteArray countsWrite(const std::uint8_t* data, int length);

    GateConfig m_config;
    std::array<std::uint8_t, 3> m_mode;
    std::array<std::uint8_t, GateConfig::kReaderEepromBytes> m_readerEeprom;
    std::array<std::uint8_t, 2 * GateConfig::kGateEepromWords> m_gateEeprom;
    std::array<std::uint16_t, 3> m_countMode;
    CountRecord m_counters;
    bool m_transmitterOn = true;
    bool m_readLoop = false;
    int m_lampMode = -1;
    int m_alarms = 0;
    QByteArray m_display;
    int m_restarts = 0;
};
