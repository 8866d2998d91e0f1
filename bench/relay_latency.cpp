// Gate-to-host latency through a gate link and its relay link over loopback, against a direct
// loopback socket pair, one frame at a time in the same run.
#include "gatelink/GateFrame.h"
#include "gatelink/LinkShared.h"
#include "gatelink/TTComXDlg.h"
#include "platform/SystemClock.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int kSamples = 3000;
constexpr qint64 kSampleTimeoutNs = 1000000000;

template <typename Predicate> bool pumpUntil(Predicate done, qint64 timeoutNs)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.nsecsElapsed() > timeoutNs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
    return true;
}

std::unique_ptr<QTcpSocket> connectTo(QTcpServer& server, QTcpSocket*& accepted)
{
    auto socket = std::make_unique<QTcpSocket>();
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    socket->connectToHost(QHostAddress::LocalHost, server.serverPort());
    pumpUntil([&] { return server.hasPendingConnections() && socket->state() == QAbstractSocket::ConnectedState; },
              kSampleTimeoutNs);
    accepted = server.nextPendingConnection();
    if (accepted)
        accepted->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    return socket;
}

// Microseconds from writing the frame at `from` until all of it has been read at `to`.
std::vector<double> measure(QTcpSocket& from, QTcpSocket& to, const QByteArray& frame)
{
    std::vector<double> samples;
    samples.reserve(kSamples);
    for (int i = 0; i < kSamples; ++i) {
        QByteArray received;
        QElapsedTimer timer;
        timer.start();
        from.write(frame);
        from.flush();
        const bool arrived = pumpUntil(
            [&] {
                received += to.readAll();
                return received.size() >= frame.size();
            },
            kSampleTimeoutNs);
        if (!arrived)
            break;
        samples.push_back(timer.nsecsElapsed() / 1000.0);
    }
    std::sort(samples.begin(), samples.end());
    return samples;
}

double percentile(const std::vector<double>& sorted, double p)
{
    if (sorted.empty())
        return 0.0;
    return sorted[std::min(sorted.size() - 1, static_cast<std::size_t>(p * static_cast<double>(sorted.size())))];
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QByteArray frame = GateFrame::BuildFrame('0', QByteArray::fromHex("90") + QByteArray("123456789"));

    QTcpServer directServer;
    directServer.listen(QHostAddress::LocalHost, 0);
    QTcpSocket* directReceiver = nullptr;
    const auto directSender = connectTo(directServer, directReceiver);

    LinkShared shared(SystemClock::instance());
    QTcpServer gateServer;
    gateServer.listen(QHostAddress::LocalHost, 0);
    TTComXDlg gateLink(shared, 0);
    TTComXDlg relayLink(shared, 15);
    gateLink.LinkInit(nullptr, 0, false, TcpIpParaEntry{0, false, gateServer.serverPort(), QStringLiteral("127.0.0.1")},
                      TTComXDlg::TcpIp);
    relayLink.LinkInit(nullptr, 0, true, TcpIpParaEntry{0, true, 0, QString()}, TTComXDlg::TcpIp);
    relayLink.setListenAddress(QHostAddress::LocalHost);
    relayLink.ServerListen();
    pumpUntil([&] { return gateServer.hasPendingConnections() && gateLink.isConnected(); }, kSampleTimeoutNs);
    QTcpSocket* gate = gateServer.nextPendingConnection();
    QTcpSocket host;
    host.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    host.connectToHost(QHostAddress::LocalHost, relayLink.serverPort());
    pumpUntil([&] { return relayLink.activeConnections() == 1; }, kSampleTimeoutNs);
    if (!directReceiver || !gate || relayLink.activeConnections() != 1) {
        std::printf("loopback set-up failed\n");
        return 1;
    }
    gate->setSocketOption(QAbstractSocket::LowDelayOption, 1);

    const std::vector<double> direct = measure(*directSender, *directReceiver, frame);
    const std::vector<double> relayed = measure(*gate, host, frame);
    std::printf("frame of %lld bytes, %zu / %zu samples\n", static_cast<long long>(frame.size()), direct.size(),
                relayed.size());
    std::printf("direct loopback pair:        p50 %8.1f us  p99 %8.1f us\n", percentile(direct, 0.5),
                percentile(direct, 0.99));
    std::printf("gate -> relay link -> host:  p50 %8.1f us  p99 %8.1f us\n", percentile(relayed, 0.5),
                percentile(relayed, 0.99));
    const double added = percentile(relayed, 0.99) - percentile(direct, 0.99);
    std::printf("added p99 latency: %.1f us (target <= 1000 us: %s)\n", added, added <= 1000.0 ? "met" : "NOT met");
    return 0;
}
