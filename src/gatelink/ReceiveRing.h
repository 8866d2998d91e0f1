#pragma once

#include <array>
#include <cstdint>

// The bytes a link has received and not yet examined. Equal indices mean empty, so the ring holds
// at most kSize - 1 unread bytes; a chunk that does not fit is cut, never written over unread bytes.
class ReceiveRing
{
public:
    static constexpr int kSize = 0x4000;

    // Stores as much of the chunk as fits, wrapping at the end; returns the number of bytes stored.
    int Append(const std::uint8_t* bytes, int count);
    int available() const { return (m_write - m_read) & (kSize - 1); }
    int freeSpace() const { return kSize - 1 - available(); }
    // Next unread byte; the caller has checked available().
    std::uint8_t take()
    {
        const std::uint8_t byte = m_bytes[m_read];
        m_read = (m_read + 1) & (kSize - 1);
        return byte;
    }
    // The unread bytes that lie in one piece from the read index on.
    const std::uint8_t* readPointer() const { return m_bytes.data() + m_read; }
    int contiguous() const { return m_write >= m_read ? m_write - m_read : kSize - m_read; }
    void consume(int count) { m_read = (m_read + count) & (kSize - 1); }
    void clear() { m_read = m_write = 0; }
    int writeIndex() const { return m_write; }
    // Places both indices, so that tests can start a chunk right before the end of the ring.
    void reset(int index) { m_read = m_write = index & (kSize - 1); }

private:
    std::array<std::uint8_t, kSize> m_bytes{};
    int m_write = 0;
    int m_read = 0;
};
