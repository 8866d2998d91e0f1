#include "gatecontrol/IcmpEcho.h"

#include "gatecontrol/TAsyncPingResult.h"
#include "platform/Clock.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/ip.h>
#include <netinet/ip_icmp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cstring>

namespace {

constexpr int kReplyBuffer = 84;
constexpr int kRepliesLooked = 3;
// A raw socket queues every ICMP packet of the machine between two pings (all 15 workers' requests
// and replies on loopback); that backlog is discarded before each request, within bounds.
constexpr int kBacklogDiscarded = 4096;
constexpr std::uint8_t kEchoReply = 0;
constexpr std::uint8_t kUnreachable = 3;
constexpr std::uint8_t kEchoRequest = 8;
// The raw socket's type filter (SOL_RAW option 1, a mask of the ICMP types to drop).
constexpr int kIcmpFilterOption = 1;

std::uint16_t checksum(const std::uint8_t* bytes, int length)
{
    std::uint32_t sum = 0;
    for (int i = 0; i + 1 < length; i += 2)
        sum += static_cast<std::uint32_t>(bytes[i] << 8 | bytes[i + 1]);
    if (length % 2 == 1)
        sum += static_cast<std::uint32_t>(bytes[length - 1] << 8);
    while (sum >> 16)
        sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<std::uint16_t>(~sum);
}

} // namespace

IcmpEcho::IcmpEcho(const Clock& clock, std::uint16_t identifier) : m_clock(clock), m_identifier(identifier) {}

IcmpEcho::~IcmpEcho()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool IcmpEcho::available()
{
    bool raw = false;
    const int fd = openSocket(raw);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

int IcmpEcho::openSocket(bool& raw)
{
    int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_ICMP);
    raw = false;
    if (fd < 0) {
        fd = ::socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP);
        raw = true;
        if (fd >= 0) {
            // Only echo replies and unreachable reports can answer a ping; the rest is noise.
            const std::uint32_t dropped = ~((1u << kEchoReply) | (1u << kUnreachable));
            ::setsockopt(fd, SOL_RAW, kIcmpFilterOption, &dropped, sizeof dropped);
        }
    }
    return fd;
}

void IcmpEcho::discardBacklog()
{
    std::array<std::uint8_t, kReplyBuffer> packet{};
    for (int n = 0; n < kBacklogDiscarded; ++n)
        if (::recv(m_fd, packet.data(), packet.size(), MSG_DONTWAIT) < 0)
            return;
}

int IcmpEcho::resolve(const QString& host)
{
    if (m_resolved && host == m_host)
        return 0;
    m_resolved = false;
    m_host = host;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_RAW;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.toLatin1().constData(), nullptr, &hints, &found) != 0 || !found)
        return TAsyncPingResult::kHostNotFound;
    m_address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
    ::freeaddrinfo(found);
    m_resolved = true;
    return 0;
}

int IcmpEcho::echo(const QString& host, int timeoutMs, int& elapsedMs)
{
    elapsedMs = -1;
    if (const int error = resolve(host); error != 0)
        return error;
    if (m_fd < 0)
        m_fd = openSocket(m_raw);
    if (m_fd < 0)
        return TAsyncPingResult::kTimedOut;

    const std::uint16_t sequence = ++m_sequence;
    std::array<std::uint8_t, 8> request{kEchoRequest, 0, 0, 0};
    request[4] = static_cast<std::uint8_t>(m_identifier >> 8);
    request[5] = static_cast<std::uint8_t>(m_identifier);
    request[6] = static_cast<std::uint8_t>(sequence >> 8);
    request[7] = static_cast<std::uint8_t>(sequence);
    const std::uint16_t sum = checksum(request.data(), static_cast<int>(request.size()));
    request[2] = static_cast<std::uint8_t>(sum >> 8);
    request[3] = static_cast<std::uint8_t>(sum);

    discardBacklog();
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_addr.s_addr = m_address;
    const std::uint32_t start = m_clock.tickMs();
    if (::sendto(m_fd, request.data(), request.size(), 0, reinterpret_cast<const sockaddr*>(&target), sizeof target) <
        0)
        return TAsyncPingResult::kTimedOut;

    int status = TAsyncPingResult::kTimedOut;
    int replies = 0;
    while (replies < kRepliesLooked) {
        const auto spent = static_cast<int>(ticksSince(start, m_clock.tickMs()));
        if (spent >= timeoutMs)
            break;
        pollfd wait{m_fd, POLLIN, 0};
        if (::poll(&wait, 1, timeoutMs - spent) <= 0)
            break;
        std::array<std::uint8_t, kReplyBuffer> reply{};
        sockaddr_in from{};
        socklen_t fromLength = sizeof from;
        const long length =
            ::recvfrom(m_fd, reply.data(), reply.size(), 0, reinterpret_cast<sockaddr*>(&from), &fromLength);
        // A socket error (say, an unreachable report on the datagram socket) ends the wait.
        if (length <= 0)
            break;
        const int packetStatus = classify(reply.data(), length, sequence);
        if (packetStatus < 0)
            continue;
        ++replies;
        if (packetStatus == 0) {
            elapsedMs = static_cast<int>(ticksSince(start, m_clock.tickMs()));
            return 0;
        }
        status = packetStatus;
    }
    return status;
}

int IcmpEcho::classify(const std::uint8_t* packet, long length, std::uint16_t sequence) const
{
    long offset = 0;
    if (m_raw) {
        if (length < 20)
            return -1;
        offset = (packet[0] & 0x0F) * 4;
    }
    if (length < offset + 8)
        return -1;
    const std::uint8_t* icmp = packet + offset;
    const auto word = [](const std::uint8_t* at) { return static_cast<std::uint16_t>(at[0] << 8 | at[1]); };
    if (icmp[0] == kEchoReply) {
        // The datagram socket's kernel sets and filters the identifier itself.
        const bool ours = word(icmp + 6) == sequence && (!m_raw || word(icmp + 4) == m_identifier);
        return ours ? 0 : -1;
    }
    if (icmp[0] == kUnreachable) {
        // The unreachable report quotes our request: its IP header, then the first 8 ICMP bytes.
        const long quoted = offset + 8;
        if (length < quoted + 20)
            return -1;
        const long inner = quoted + (packet[quoted] & 0x0F) * 4;
        if (length < inner + 8 || packet[inner] != kEchoRequest || word(packet + inner + 4) != m_identifier ||
            word(packet + inner + 6) != sequence)
            return -1;
        return TAsyncPingResult::kDestinationUnreachable + TAsyncPingResult::kIcmpStatusOffset;
    }
    return -1;
}
