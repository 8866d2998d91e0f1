#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

// The UID of the last tag a gate named, shared by all gates: the UID bytes of ReadLoopCommand.
// Zero until a UID reply has filled it.
class LastUidBuffer
{
public:
    static constexpr int kSize = 8;

    void set(const std::uint8_t* uid) { std::copy(uid, uid + kSize, m_uid.begin()); }
    const std::array<std::uint8_t, kSize>& bytes() const { return m_uid; }

private:
    std::array<std::uint8_t, kSize> m_uid{};
};
