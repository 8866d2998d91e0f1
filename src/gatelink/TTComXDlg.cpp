#include "gatelink/TTComXDlg.h"

#include "gatelink/LinkHost.h"
#include "gatelink/LinkShared.h"

#include <QPointer>
#include <QSerialPort>
#include <QTcpServer>
#include <QTcpSocket>

#include <algorithm>

namespace {

const std::uint8_t* bytesOf(const QByteArray& bytes)
{
    return reinterpret_cast<const std::uint8_t*>(bytes.constData());
}

int sizeOf(const QByteArray& bytes)
{
    return static_cast<int>(bytes.size());
}

} // namespace

TTComXDlg::TTComXDlg(LinkShared& shared, int index, QObject* parent)
    : QObject(parent), m_shared(shared), m_index(index), m_gate(index % LinkShared::kGateSlots),
      m_isRelay(index >= LinkShared::kGateSlots), m_log(shared.clock), m_dispatcher(shared, m_log, m_watch),
      m_receiver(shared, m_log, m_watch), m_eepromWatch(*this, shared, m_watch)
{
    m_shared.links.at(static_cast<std::size_t>(m_index)) = this;
    m_log.setGate(m_gate);
    m_reconnectTimer.setSingleShot(true);
    m_reconnectTimer.setInterval(kReconnectMs);
    connect(&m_reconnectTimer, &QTimer::timeout, this, &TTComXDlg::reconnectTimerTimer);
    m_eepromChkReceiveTimeOut.setSingleShot(true);
    m_eepromChkReceiveTimeOut.setInterval(kHostActivityMs);
    connect(&m_eepromChkReceiveTimeOut, &QTimer::timeout, this, [this] { m_hostActivity = false; });
}

TTComXDlg::~TTComXDlg()
{
    releaseTransports();
    auto& slot = m_shared.links.at(static_cast<std::size_t>(m_index));
    if (slot == this)
        slot = nullptr;
}

void TTComXDlg::LinkInit(LinkLogModel* log, int gate, bool isRelay, const TcpIpParaEntry& entry, int linkType)
{
    releaseTransports();
    m_gate = gate;
    m_isRelay = isRelay;
    m_linkType = linkType;
    m_entry = entry;
    m_log.setTarget(log);
    m_log.setGate(gate);
    m_dispatcher.setGate(gate);
    m_dispatcher.clear();
    m_receiver.clear();
    m_receiver.setRoute(isRelay ? nullptr : this, isRelay ? nullptr : &m_dispatcher);
    m_watch = EepromWatchFlags();
    m_eepromWatch.LinkInit(log, !isRelay && linkType != NoTransport);
    m_hostQueue.clear();
    m_open = false;
    m_connected = false;
    m_hostConnections = 0;
    m_firstConnection = true;
    m_handlingError = false;
    m_dataSeen = false;
    m_idlePingRounds = 0;
    m_connectionAttempts = 0;
    m_reconnectPending = false;
    m_hostActivity = false;
    m_serverPort = isRelay ? entry.port : kDefaultServerPort;

    if (linkType == NoTransport)
        return;
    if (linkType != TcpIp) {
        // The serial link type is kept configured but no operation opens the port.
        m_serial = new QSerialPort(this);
        m_serial->setBaudRate(QSerialPort::Baud19200);
        m_serial->setDataBits(QSerialPort::Data8);
        m_serial->setParity(QSerialPort::NoParity);
        m_serial->setStopBits(QSerialPort::OneStop);
        m_serial->setFlowControl(QSerialPort::NoFlowControl);
        connect(m_serial, &QSerialPort::readyRead, this, &TTComXDlg::serialReceive);
        connect(m_serial, &QSerialPort::errorOccurred, this, &TTComXDlg::serialError);
        return;
    }
    if (isRelay) {
        createServerSocket();
        return;
    }
    createClientSocket();
    if (m_shared.connectionsDeferred)
        return;
    m_shared.stopwatch.StopwatchStart(LinkShared::kGateSlots + m_gate);
    ClientOpen();
}

int TTComXDlg::LinkSend(const std::uint8_t* bytes, int count)
{
    ReplyState& reply = m_dispatcher.state();
    reply.replyStatus = ReplyState::None;
    reply.ackFlag = false;
    reply.answerLength = 0;
    if (m_linkType == NoTransport)
        return 0;
    if (m_linkType != TcpIp) {
        if (!m_serial || !m_serial->isOpen())
            return 0;
        return static_cast<int>(std::max<qint64>(0, m_serial->write(reinterpret_cast<const char*>(bytes), count)));
    }
    if (!m_connected)
        return 0;
    QTcpSocket* socket = m_isRelay ? (m_hosts.isEmpty() ? nullptr : m_hosts.last()) : m_client;
    if (!socket || socket->state() != QAbstractSocket::ConnectedState)
        return 0;
    if (m_isRelay && socket->bytesToWrite() + count > kHostBacklogLimit) {
        dropStuckHost(socket);
        return 0;
    }
    return static_cast<int>(std::max<qint64>(0, socket->write(reinterpret_cast<const char*>(bytes), count)));
}

int TTComXDlg::LinkSend(const QByteArray& bytes)
{
    return LinkSend(bytesOf(bytes), sizeOf(bytes));
}

void TTComXDlg::LinkLog(const QString& text, LogDirection direction)
{
    m_log.log(text, direction);
}

void TTComXDlg::LinkLogHex(const std::uint8_t* bytes, int count, bool toGate)
{
    m_log.logHex(bytes, count, toGate);
}

void TTComXDlg::LinkClose()
{
    m_reconnectTimer.stop();
    if (m_linkType == NoTransport)
        return;
    if (m_linkType != TcpIp) {
        if (m_serial && m_serial->isOpen())
            m_serial->close();
        return;
    }
    if (m_isRelay) {
        if (m_server)
            m_server->close();
        for (QTcpSocket* host : QList<QTcpSocket*>(m_hosts))
            host->abort();
    } else if (m_client) {
        m_client->abort();
    }
}

int TTComXDlg::ReceiveBytes(const std::uint8_t* bytes, int count)
{
    return m_receiver.ReceiveBytes(bytes, count);
}

void TTComXDlg::Assemble()
{
    m_receiver.Assemble();
}

std::uint8_t TTComXDlg::LastReply(int index) const
{
    const ReplyState& reply = m_dispatcher.state();
    return index >= 0 && index < reply.lastReplyLength ? reply.lastReply[static_cast<std::size_t>(index)] : 0;
}

std::uint8_t TTComXDlg::Answer(int index) const
{
    const ReplyState& reply = m_dispatcher.state();
    return index >= 0 && index < reply.answerLength ? reply.answer[static_cast<std::size_t>(index)] : 0;
}

bool TTComXDlg::answeredSinceSend(char command, int length, std::uint8_t code) const
{
    // The same bytes LastReply is read at: CMD, LEN, and DATA[0] (the ETX of a frame without data).
    return Answer(2) == static_cast<std::uint8_t>(command) && Answer(3) == length && Answer(4) == code;
}

bool TTComXDlg::GateEepromReplyRead(std::uint8_t addr, std::uint8_t count, std::uint8_t* words) const
{
    return m_dispatcher.GateEepromReplyRead(addr, count, words);
}

bool TTComXDlg::CountModeReplyRead(std::uint16_t& w1, std::uint16_t& w2, std::uint16_t& w3) const
{
    return m_dispatcher.CountModeReplyRead(w1, w2, w3);
}

quint16 TTComXDlg::serverPort() const
{
    return m_server && m_server->isListening() ? m_server->serverPort() : m_serverPort;
}

bool TTComXDlg::ServerListen()
{
    if (!m_server)
        return false;
    if (m_server->isListening())
        return true;
    if (!m_server->listen(m_listenAddress, m_serverPort)) {
        comment(QStringLiteral("ServerSocket1Listen: ") + m_server->errorString());
        return false;
    }
    comment(u"ServerSocket1Listen");
    m_open = true;
    return true;
}

bool TTComXDlg::isListening() const
{
    return m_server && m_server->isListening();
}

void TTComXDlg::ServerStopListening()
{
    if (m_server)
        m_server->close();
}

void TTComXDlg::RecreateServerSocket()
{
    for (QTcpSocket* host : QList<QTcpSocket*>(m_hosts))
        host->abort();
    if (m_server) {
        m_server->close();
        m_server->deleteLater();
        m_server = nullptr;
    }
    createServerSocket();
    // The new server is inactive until the gate is back; an open flag left set would make every
    // following relay reset re-create it again.
    m_open = false;
}

void TTComXDlg::setClientEndpoint(const QString& address, quint16 port)
{
    m_entry.address = address;
    m_entry.port = port;
}

void TTComXDlg::ClientOpen()
{
    if (m_client && m_client->state() == QAbstractSocket::UnconnectedState)
        m_client->connectToHost(m_entry.address, m_entry.port);
}

void TTComXDlg::RecreateClientSocket()
{
    m_reconnectTimer.stop();
    if (m_client) {
        m_client->abort();
        m_client->disconnect(this);
        m_client->deleteLater();
        m_client = nullptr;
    }
    createClientSocket();
}

bool TTComXDlg::FlushHostQueue()
{
    if (m_hostQueue.isEmpty())
        return false;
    const QByteArray bytes = std::exchange(m_hostQueue, QByteArray());
    LinkSend(bytes);
    LinkLogHex(bytesOf(bytes), sizeOf(bytes), true);
    m_hostActivity = true;
    m_eepromChkReceiveTimeOut.start();
    return true;
}

void TTComXDlg::setConnected(bool connected)
{
    if (m_connected == connected)
        return;
    m_connected = connected;
    if (!connected)
        m_connectionLost = true;
    emit connectedChanged(connected);
}

bool TTComXDlg::hostConnected() const
{
    const TTComXDlg* relay = relayLink();
    return relay && relay->m_open && relay->m_connected && !relay->m_hosts.isEmpty();
}

void TTComXDlg::sendToHost(const std::uint8_t* frame, int length)
{
    if (TTComXDlg* relay = relayLink())
        relay->LinkSend(frame, length);
}

TTComXDlg* TTComXDlg::gateLink() const
{
    return m_shared.gateLink(m_gate);
}

TTComXDlg* TTComXDlg::relayLink() const
{
    return m_shared.relayLink(m_gate);
}

void TTComXDlg::releaseTransports()
{
    m_reconnectTimer.stop();
    if (m_client) {
        m_client->disconnect(this);
        m_client->abort();
        delete m_client;
        m_client = nullptr;
    }
    for (QTcpSocket* host : std::exchange(m_hosts, {})) {
        host->disconnect(this);
        host->abort();
        delete host;
    }
    delete m_server;
    m_server = nullptr;
    delete m_serial;
    m_serial = nullptr;
}

void TTComXDlg::createClientSocket()
{
    m_client = new QTcpSocket(this);
    connect(m_client, &QTcpSocket::connected, this, &TTComXDlg::clientConnected);
    connect(m_client, &QTcpSocket::disconnected, this, &TTComXDlg::clientDisconnected);
    connect(m_client, &QTcpSocket::readyRead, this, &TTComXDlg::clientReadyRead);
    connect(m_client, &QTcpSocket::errorOccurred, this, &TTComXDlg::clientError);
}

void TTComXDlg::createServerSocket()
{
    m_server = new QTcpServer(this);
    connect(m_server, &QTcpServer::newConnection, this, &TTComXDlg::serverClientConnect);
}

// Host bytes wait here while the EEPROM watch holds the gate. The queue keeps its fixed room: what
// does not fit is refused and logged instead of overwriting what is already waiting.
void TTComXDlg::queueHostBytes(const QByteArray& chunk)
{
    const int room = kHostQueueSize - hostQueueSize();
    const int taken = std::min(room, sizeOf(chunk));
    m_hostQueue.append(chunk.constData(), taken);
    if (taken < sizeOf(chunk) && m_log.active())
        comment(
            QStringLiteral("ホストPC送信待ちバッファが一杯です：%1バイトを破棄しました").arg(sizeOf(chunk) - taken));
}

// A host PC that stops reading would keep everything relayed to it waiting in memory. Past the limit
// its connection is closed like one that failed; the gate link and any other host go on.
void TTComXDlg::dropStuckHost(QTcpSocket* host)
{
    comment(QStringLiteral("ホストPCが受信しないため切断しました：送信待ち%1バイト").arg(host->bytesToWrite()));
    host->abort();
}

void TTComXDlg::clientConnected()
{
    comment(u"ClientSocket1Connect00");
    // Frames are small and each one waits for its answer: send them at once.
    m_client->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    m_open = true;
    // Once connected, a later error is no longer a failure of the first attempt.
    m_firstConnection = false;
    // The connection confirms a reconnect that supervision started.
    m_reconnectPending = false;
    setConnected(true);
}

void TTComXDlg::clientDisconnected()
{
    comment(u"ClientSocket1Disconnect00");
    setConnected(false);
}

void TTComXDlg::clientReadyRead()
{
    if (!m_client)
        return;
    const QByteArray chunk = m_client->read(kGateReadLimit);
    if (chunk.isEmpty())
        return;
    // Bytes beyond one read stay in the socket and are read by the next read event.
    if (m_client->bytesAvailable() > 0 && !m_clientReadPending) {
        m_clientReadPending = true;
        QTimer::singleShot(0, this, [this] {
            m_clientReadPending = false;
            clientReadyRead();
        });
    }
    m_dataSeen = true;
    m_idlePingRounds = 0;
    ReceiveBytes(bytesOf(chunk), sizeOf(chunk));
}

void TTComXDlg::clientError(QAbstractSocket::SocketError)
{
    if (m_handlingError)
        return;
    m_handlingError = true;
    const QPointer<TTComXDlg> self(this);
    const int guardSlot = LinkShared::kGateSlots + m_gate;
    if (m_shared.fatalErrorShown) {
        m_firstConnection = false;
    } else if (!m_shared.stopwatch.StopwatchElapsed(guardSlot, kFatalWindowMs) && m_firstConnection) {
        // The very first connection attempt failed at once: the settings are wrong, the program ends.
        if (!m_reconnectTimer.isActive()) {
            const QString name = m_shared.host ? m_shared.host->gateName(m_gate) : QString();
            const QString caption = (name.isEmpty() ? QStringLiteral("GATE") + QString::number(m_gate + 1) : name) +
                                    QStringLiteral("との接続で致命的なエラーが発生しました");
            m_shared.fatalErrorShown = true;
            if (m_shared.host)
                m_shared.host->ShowFatalConnectionError(
                    caption, QStringLiteral("IPアドレスの設定等を確認してアプリケーションを再起動して下さい。"));
            if (!self)
                return;
            m_firstConnection = false;
        }
    } else {
        m_shared.stopwatch.StopwatchStart(guardSlot);
        m_firstConnection = false;
        if (!m_shared.connectionsDeferred) {
            comment(u"ClientSocket1Error");
            if (!m_reconnectTimer.isActive()) {
                m_client->abort();
                m_reconnectTimer.start();
            }
        }
    }
    if (self)
        m_handlingError = false;
}

void TTComXDlg::reconnectTimerTimer()
{
    m_reconnectTimer.stop();
    ClientOpen();
}

void TTComXDlg::serverClientConnect()
{
    while (QTcpSocket* host = m_server->nextPendingConnection()) {
        host->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        m_hosts.append(host);
        connect(host, &QTcpSocket::readyRead, this, [this, host] { serverClientRead(host); });
        connect(host, &QTcpSocket::disconnected, this, [this, host] { serverClientDisconnect(host); });
        connect(host, &QTcpSocket::errorOccurred, this,
                [this, host](QAbstractSocket::SocketError error) { serverClientError(host, error); });
        ++m_hostConnections;
        m_open = true;
        setConnected(true);
        comment(u"ServerSocket1ClientConnect");
        if (m_log.active())
            comment(QStringLiteral("ActiveConnections: ") + QString::number(activeConnections()));
    }
}

void TTComXDlg::serverClientDisconnect(QTcpSocket* host)
{
    comment(u"ServerSocket1ClientDisconnect");
    m_hosts.removeAll(host);
    host->disconnect(this);
    host->deleteLater();
    // Another host PC that is still connected keeps the relay going.
    setConnected(!m_hosts.isEmpty());
    serverThreadEnd();
}

void TTComXDlg::serverClientRead(QTcpSocket* host)
{
    comment(u"ServerSocket1ClientRead");
    const QByteArray chunk = host->read(kHostReadLimit);
    if (chunk.isEmpty())
        return;
    if (host->bytesAvailable() > 0) {
        QTimer::singleShot(0, host, [this, host] {
            if (host->bytesAvailable() > 0)
                serverClientRead(host);
        });
    }
    if (TTComXDlg* gate = gateLink(); gate && gate != this) {
        if (gate->m_watch.busy || !gate->m_hostQueue.isEmpty()) {
            gate->queueHostBytes(chunk);
        } else {
            gate->m_hostActivity = true;
            gate->m_eepromChkReceiveTimeOut.start();
            if (gate->m_open && gate->m_connected) {
                gate->LinkSend(chunk);
                LinkLogHex(bytesOf(chunk), sizeOf(chunk), true);
            }
        }
    }
    ReceiveBytes(bytesOf(chunk), sizeOf(chunk));
}

void TTComXDlg::serverClientError(QTcpSocket* host, QAbstractSocket::SocketError error)
{
    // A host PC that closes its end is a disconnect, reported by the disconnect event.
    if (error == QAbstractSocket::RemoteHostClosedError)
        return;
    comment(u"ServerSocket1ClientError");
    host->abort();
}

// The host connection is finished; the relay link is open again when the next host PC connects.
void TTComXDlg::serverThreadEnd()
{
    comment(u"ServerSocket1ThreadEnd");
    if (m_hosts.isEmpty())
        m_open = false;
}

void TTComXDlg::serialReceive()
{
    const QByteArray bytes = m_serial->readAll();
    ReceiveBytes(bytesOf(bytes), sizeOf(bytes));
}

void TTComXDlg::serialError()
{
    if (m_serial->error() != QSerialPort::NoError)
        comment(m_serial->errorString());
}
