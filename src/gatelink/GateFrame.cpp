#include "gatelink/GateFrame.h"

namespace GateFrame {

std::uint8_t Checksum(const std::uint8_t* frame)
{
    const int length = frame[3];
    unsigned sum = 0;
    for (int i = 0; i <= 4 + length; ++i)
        sum += frame[i];
    return static_cast<std::uint8_t>(sum & 0xFF);
}

bool IsSound(const std::uint8_t* frame)
{
    const int length = frame[3];
    return frame[4 + length] == kEtx && frame[5 + length] == Checksum(frame);
}

void Reseal(std::uint8_t* frame)
{
    frame[5 + frame[3]] = Checksum(frame);
}

QByteArray BuildFrame(char command, const QByteArray& data, std::uint8_t id)
{
    const int length = static_cast<int>(std::min<qsizetype>(data.size(), 255));
    QByteArray frame(length + kOverhead, '\0');
    auto* bytes = reinterpret_cast<std::uint8_t*>(frame.data());
    bytes[0] = kStx;
    bytes[1] = id;
    bytes[2] = static_cast<std::uint8_t>(command);
    bytes[3] = static_cast<std::uint8_t>(length);
    for (int i = 0; i < length; ++i)
        bytes[4 + i] = static_cast<std::uint8_t>(data[i]);
    bytes[4 + length] = kEtx;
    bytes[5 + length] = Checksum(bytes);
    bytes[6 + length] = kCr;
    return frame;
}

} // namespace GateFrame
