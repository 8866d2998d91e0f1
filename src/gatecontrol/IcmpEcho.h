#pragma once

#include <QString>

#include <cstdint>

class Clock;

// One ICMP echo at a time to one gate address, on an unprivileged ICMP datagram socket where the
// system allows it, else on a raw socket. Used by one ping worker thread only.
class IcmpEcho final
{
public:
    explicit IcmpEcho(const Clock& clock, std::uint16_t identifier);
    ~IcmpEcho();
    IcmpEcho(const IcmpEcho&) = delete;
    IcmpEcho& operator=(const IcmpEcho&) = delete;

    // Whether this process can open either kind of ICMP socket.
    static bool available();

    // Sends one echo request without payload; returns 0 when a reply arrived within timeoutMs
    // (elapsedMs set), else the error code of TAsyncPingResult (elapsedMs -1). The address is
    // resolved on first use and again only when the text changes.
    int echo(const QString& host, int timeoutMs, int& elapsedMs);

private:
    static int openSocket(bool& raw);
    int resolve(const QString& host);
    void discardBacklog();
    // Status of one received packet: 0 our reply, -1 not ours, else an ICMP status.
    int classify(const std::uint8_t* packet, long length, std::uint16_t sequence) const;

    const Clock& m_clock;
    const std::uint16_t m_identifier;
    int m_fd = -1;
    bool m_raw = false;
    QString m_host;
    std::uint32_t m_address = 0; // network order
    bool m_resolved = false;
    std::uint16_t m_sequence = 0;
};
