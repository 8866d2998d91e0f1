// Gate stream throughput of the receive path (ring, assembler, checksum, dispatch) on a mix of
// frames, in read-sized chunks, against a memcpy of the same bytes in the same chunks.
#include "gatelink/EepromWatchFlags.h"
#include "gatelink/GateFrame.h"
#include "gatelink/GateReportSink.h"
#include "gatelink/HostRelay.h"
#include "gatelink/LinkLogModel.h"
#include "gatelink/LinkLogger.h"
#include "gatelink/LinkReceiver.h"
#include "gatelink/LinkShared.h"
#include "gatelink/ResponseDispatcher.h"
#include "platform/ManualClock.h"

#include <QtGlobal>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <vector>

namespace {

class CountingSink final : public GateReportSink
{
public:
    void CountValuesReceived(int, const CountRecord&) override { ++counts; }
    void CountBlocksReceived(int, const CountRecord&, int) override { ++counts; }
    void TagDetected(int, const TagReport&) override { ++tags; }
    long counts = 0;
    long tags = 0;
};

class NoHost final : public HostRelay
{
public:
    bool hostConnected() const override { return false; }
    void sendToHost(const std::uint8_t*, int) override {}
};

constexpr int kChunk = 2048;
constexpr int kRounds = 40;
// Each figure is the best of this many runs, timed in the thread's CPU time, so that other work on
// the machine does not set it.
constexpr int kRuns = 5;

// Nanoseconds of CPU time this thread has used.
qint64 cpuNs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<qint64>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// About 1 MB: count events, tag frames of 300 tags, reader ACKs, NACKs and a few garbage bytes.
QByteArray mixedStream()
{
    QByteArray stream;
    QByteArray counts(36, '\0');
    for (int i = 0; stream.size() < (1 << 20); ++i) {
        counts[0] = static_cast<char>(i);
        stream += GateFrame::BuildFrame('G', QByteArray(1, '\x81') + counts);
        QByteArray tag(20, '\x11');
        tag[0] = static_cast<char>(i % 300);
        tag[1] = static_cast<char>((i % 300) >> 8);
        stream += GateFrame::BuildFrame('D', tag);
        stream += GateFrame::BuildFrame('0', QByteArray::fromHex("F2"));
        stream += GateFrame::BuildFrame('0', QByteArray::fromHex("7E"));
        if (i % 8 == 0)
            stream += GateFrame::BuildFrame('1', QByteArray::fromHex("0512"));
        if (i % 16 == 0)
            stream += QByteArray::fromHex("FF0D0A");
    }
    return stream;
}

double megabytesPerSecond(qint64 bytes, qint64 ns)
{
    return ns > 0 ? bytes / 1e6 / (ns / 1e9) : 0.0;
}

double receivePath(const QByteArray& stream, LinkLogModel* log, long& frames)
{
    ManualClock clock(45000.5);
    LinkShared shared(clock);
    CountingSink sink;
    shared.sink = &sink;
    LinkLogger logger(clock);
    logger.setTarget(log);
    EepromWatchFlags watch;
    ResponseDispatcher dispatcher(shared, logger, watch);
    dispatcher.state().lastCommand = 'N';
    NoHost host;
    LinkReceiver receiver(shared, logger, watch);
    receiver.setRoute(&host, &dispatcher);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(stream.constData());
    const int size = static_cast<int>(stream.size());
    const int rounds = log ? 2 : kRounds;
    const qint64 start = cpuNs();
    for (int round = 0; round < rounds; ++round)
        for (int at = 0; at < size; at += kChunk)
            receiver.ReceiveBytes(bytes + at, std::min(kChunk, size - at));
    const qint64 ns = cpuNs() - start;
    frames = sink.counts + sink.tags;
    return megabytesPerSecond(static_cast<qint64>(size) * rounds, ns);
}

double copy(const QByteArray& stream)
{
    std::vector<char> ring(16384);
    const int size = static_cast<int>(stream.size());
    volatile char sink = 0;
    const qint64 start = cpuNs();
    for (int round = 0; round < kRounds; ++round) {
        for (int at = 0; at < size; at += kChunk) {
            const int n = std::min(kChunk, size - at);
            std::memcpy(ring.data() + (at % 8192), stream.constData() + at, static_cast<std::size_t>(n));
            sink = sink + ring[static_cast<std::size_t>(at % 8192)];
        }
    }
    return megabytesPerSecond(static_cast<qint64>(size) * kRounds, cpuNs() - start);
}

} // namespace

int main()
{
    const QByteArray stream = mixedStream();
    long frames = 0;
    long loggedFrames = 0;
    double path = 0;
    double reference = 0;
    double logged = 0;
    for (int run = 0; run < kRuns; ++run) {
        path = std::max(path, receivePath(stream, nullptr, frames));
        reference = std::max(reference, copy(stream));
        LinkLogModel log;
        logged = std::max(logged, receivePath(stream, &log, loggedFrames));
    }
    std::printf("stream: %lld bytes of mixed frames, %d rounds in %d-byte chunks, best of %d runs in CPU time\n",
                static_cast<long long>(stream.size()), kRounds, kChunk, kRuns);
    std::printf("receive path (assemble + dispatch, no log): %8.1f MB/s  (%ld deliveries)\n", path, frames);
    std::printf("memcpy of the same chunks:                  %8.1f MB/s\n", reference);
    std::printf("receive path with the link log attached:    %8.1f MB/s\n", logged);
    std::printf("target >= 200 MB/s: %s\n", path >= 200.0 ? "met" : "NOT met");
    return 0;
}
