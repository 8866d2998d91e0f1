#pragma once

#include <QByteArray>

#include <cstdint>

// The one frame format of the gate protocol: STX, ID, CMD, LEN, DATA, ETX, SUM, CR.
namespace GateFrame {

inline constexpr std::uint8_t kStx = 0x02;
inline constexpr std::uint8_t kEtx = 0x03;
inline constexpr std::uint8_t kCr = 0x0D;
inline constexpr int kOverhead = 7;
inline constexpr int kMaxLength = 255 + kOverhead;

// Low 8 bits of the sum of STX through ETX of a frame whose LEN byte is set.
std::uint8_t Checksum(const std::uint8_t* frame);

// Whether the byte after DATA is ETX and the SUM byte after it matches.
bool IsSound(const std::uint8_t* frame);

// Writes the SUM byte again after a byte of the frame was changed.
void Reseal(std::uint8_t* frame);

// A complete frame for the given command letter and DATA bytes (at most 255).
QByteArray BuildFrame(char command, const QByteArray& data, std::uint8_t id = 0x00);

} // namespace GateFrame
