#include "gatesim/SimGate.h"

#include "gatesim/FrameLog.h"
#include "gatesim/HexBytes.h"
#include "platform/Clock.h"

#include <QTcpSocket>

namespace {

// A frame that stops arriving half-way is given up after this long, so later frames are not held back.
constexpr int kPartialStaleMs = 300;

} // namespace

SimGate::SimGate(int index, const SimEndpoint& endpoint, const GateConfig& config, const Clock& clock, FrameLog& log,
                 QObject* parent)
    : QObject(parent), m_index(index), m_endpoint(endpoint), m_clock(clock), m_log(log), m_responder(config)
{
    connect(&m_server, &QTcpServer::newConnection, this, &SimGate::onNewConnection);
    for (QTimer* timer : {&m_replyTimer, &m_staleTimer, &m_refuseTimer})
        timer->setSingleShot(true);
    m_staleTimer.setInterval(kPartialStaleMs);
    connect(&m_replyTimer, &QTimer::timeout, this, &SimGate::onReplyDue);
    connect(&m_staleTimer, &QTimer::timeout, this, &SimGate::onPartialStale);
    connect(&m_refuseTimer, &QTimer::timeout, this, &SimGate::onRefuseOver);
    connect(&m_countTimer, &QTimer::timeout, this, &SimGate::onCountPush);
    connect(&m_tagTimer, &QTimer::timeout, this, &SimGate::onTagPush);
    if (config.countPushMs > 0)
        m_countTimer.start(config.countPushMs);
    if (config.tagPushMs > 0)
        m_tagTimer.start(config.tagPushMs);
}

SimGate::~SimGate()
{
    // The server deletes its sockets as children; none of them may call back into a gate half torn down.
    if (m_client)
        m_client->disconnect(this);
}

QString SimGate::unit() const
{
    return QStringLiteral("G%1").arg(m_index);
}

bool SimGate::listen(QString* error)
{
    if (!m_server.listen(m_endpoint.address, m_endpoint.port)) {
        *error = QStringLiteral("cannot listen on %1: %2").arg(m_endpoint.toString(), m_server.errorString());
        return false;
    }
    m_endpoint.port = m_server.serverPort();
    m_log.event(unit(), QStringLiteral("listening %1").arg(m_endpoint.toString()));
    return true;
}

bool SimGate::isConnected() const
{
    return m_client && m_client->state() == QAbstractSocket::ConnectedState;
}

void SimGate::onNewConnection()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        if (m_client)
            closeClient(QStringLiteral("replaced by a new connection"));
        m_client = socket;
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        connect(socket, &QTcpSocket::readyRead, this, &SimGate::onReadyRead);
        connect(socket, &QTcpSocket::disconnected, this, &SimGate::onClientGone);
        m_log.event(unit(),
                    QStringLiteral("connected %1:%2").arg(socket->peerAddress().toString()).arg(socket->peerPort()));
    }
}

void SimGate::onReadyRead()
{
    if (!m_client)
        return;
    const QByteArray bytes = m_client->readAll();
    for (const auto& piece : m_assembler.feed(bytes))
        handle(piece);
    if (m_assembler.hasPartial())
        m_staleTimer.start();
    else
        m_staleTimer.stop();
}

void SimGate::onPartialStale()
{
    for (const auto& piece : m_assembler.abandonPartial())
        handle(piece);
    if (m_assembler.hasPartial())
        m_staleTimer.start();
}

void SimGate::handle(const SimFrameAssembler::Piece& piece)
{
    switch (piece.kind) {
    case SimFrameAssembler::Piece::Kind::Frame: {
        m_log.frame(unit(), "RX", piece.bytes);
        const int lamp = m_responder.lampMode();
        const bool transmitter = m_responder.transmitterOn();
        queueReply(m_responder.answer(piece.bytes));
        // The lamp mode and the RF field are what a person at the gate would see change.
        if (m_responder.lampMode() != lamp)
            m_log.event(unit(), QStringLiteral("lamp %1").arg(m_responder.lampMode()));
        if (m_responder.transmitterOn() != transmitter)
            m_log.event(unit(), m_responder.transmitterOn() ? QStringLiteral("transmitter on")
                                                            : QStringLiteral("transmitter off"));
        break;
    }
    case SimFrameAssembler::Piece::Kind::BadFrame:
        m_log.frame(unit(), "BAD", piece.bytes);
        queueReply(m_responder.answerBadSum());
        break;
    case SimFrameAssembler::Piece::Kind::Junk:
        m_log.event(unit(), QStringLiteral("junk %1").arg(HexBytes::format(piece.bytes)));
        break;
    }
}

void SimGate::queueReply(const QByteArray& reply)
{
    if (reply.isEmpty())
        return;
    const QByteArray shaped = m_faults.shapeReply(reply);
    const auto due = static_cast<std::uint32_t>(m_clock.tickMs() + static_cast<std::uint32_t>(m_faults.delayMs()));
    m_pending.push_back({due, shaped});
    scheduleReplies();
}

void SimGate::scheduleReplies()
{
    if (m_pending.empty()) {
        m_replyTimer.stop();
        return;
    }
    const auto left = static_cast<std::int32_t>(m_pending.front().due - m_clock.tickMs());
    if (left <= 0) {
        onReplyDue();
        return;
    }
    m_replyTimer.start(left);
}

void SimGate::onReplyDue()
{
    const std::uint32_t now = m_clock.tickMs();
    while (!m_pending.empty() && static_cast<std::int32_t>(now - m_pending.front().due) >= 0) {
        const QByteArray frame = m_pending.front().frame;
        m_pending.pop_front();
        transmit(frame);
    }
    if (!m_pending.empty())
        scheduleReplies();
}

void SimGate::transmit(const QByteArray& frame)
{
    if (!isConnected())
        return;
    if (m_faults.silenced(m_clock.tickMs())) {
        m_log.event(unit(), QStringLiteral("silenced %1").arg(HexBytes::format(frame)));
        return;
    }
    m_client->write(frame);
    m_log.frame(unit(), "TX", frame);
}

bool SimGate::pushCount()
{
    if (!isConnected())
        return false;
    transmit(m_faults.shapePush(m_responder.countFrame()));
    return true;
}

bool SimGate::pushTag(char kind, const QList<QByteArray>& uids, const QByteArray& data)
{
    if (!isConnected())
        return false;
    transmit(m_faults.shapePush(m_responder.tagFrame(kind, uids, data)));
    return true;
}

bool SimGate::sendRaw(const QByteArray& bytes)
{
    if (!isConnected())
        return false;
    m_client->write(bytes);
    m_log.event(unit(), QStringLiteral("raw %1").arg(HexBytes::format(bytes)));
    return true;
}

bool SimGate::sendGarbage(int n)
{
    if (!isConnected())
        return false;
    const QByteArray junk = GateFaults::garbage(n);
    m_client->write(junk);
    m_log.event(unit(), QStringLiteral("garbage %1").arg(HexBytes::format(junk)));
    return true;
}

bool SimGate::drop()
{
    if (!isConnected())
        return false;
    closeClient(QStringLiteral("dropped"));
    return true;
}

void SimGate::refuse(int ms)
{
    if (m_client)
        closeClient(QStringLiteral("dropped"));
    m_server.close();
    m_log.event(unit(), QStringLiteral("refusing connections for %1 ms").arg(ms));
    m_refuseTimer.start(ms);
}

void SimGate::silence(int ms)
{
    m_faults.silence(m_clock.tickMs(), ms);
}

void SimGate::clearFaults()
{
    m_faults.clear();
    if (m_refuseTimer.isActive()) {
        m_refuseTimer.stop();
        onRefuseOver();
    }
    m_log.event(unit(), QStringLiteral("faults cleared"));
}

void SimGate::logFault(const QString& text)
{
    m_log.event(unit(), QStringLiteral("fault %1").arg(text));
}

void SimGate::onRefuseOver()
{
    if (m_server.isListening())
        return;
    if (!m_server.listen(m_endpoint.address, m_endpoint.port)) {
        // The port may be held for a moment longer; keep trying rather than stay switched off.
        m_log.event(unit(), QStringLiteral("cannot listen again: %1").arg(m_server.errorString()));
        m_refuseTimer.start(500);
        return;
    }
    m_log.event(unit(), QStringLiteral("listening %1").arg(m_endpoint.toString()));
}

void SimGate::onClientGone()
{
    if (sender() == m_client)
        closeClient(QStringLiteral("disconnected"));
}

void SimGate::closeClient(const QString& reason)
{
    QTcpSocket* socket = m_client;
    if (!socket)
        return;
    m_client = nullptr;
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
    m_pending.clear();
    m_replyTimer.stop();
    m_staleTimer.stop();
    m_assembler = SimFrameAssembler();
    m_log.event(unit(), reason);
}

void SimGate::onCountPush()
{
    if (!isConnected())
        return;
    const GateConfig& config = m_responder.config();
    for (int a = 0; a < CountRecord::kAisles; ++a)
        m_responder.addCounts(a, config.countPushIn[a], config.countPushOut[a]);
    pushCount();
}

void SimGate::onTagPush()
{
    const GateConfig& config = m_responder.config();
    pushTag(config.tagPushKind, {config.tagPushUid}, config.tagPushData);
}
