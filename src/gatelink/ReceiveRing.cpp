#include "gatelink/ReceiveRing.h"

#include <algorithm>
#include <cstring>

int ReceiveRing::Append(const std::uint8_t* bytes, int count)
{
    const int stored = std::clamp(count, 0, freeSpace());
    const int first = std::min(stored, kSize - m_write);
    std::memcpy(m_bytes.data() + m_write, bytes, static_cast<std::size_t>(first));
    std::memcpy(m_bytes.data(), bytes + first, static_cast<std::size_t>(stored - first));
    m_write = (m_write + stored) & (kSize - 1);
    return stored;
}
