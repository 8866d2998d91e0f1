#pragma once

#include "gatelink/EepromWatch.h"
#include "gatelink/EepromWatchFlags.h"
#include "gatelink/HostRelay.h"
#include "gatelink/LinkLogger.h"
#include "gatelink/LinkReceiver.h"
#include "gatelink/ResponseDispatcher.h"
#include "gatelink/TcpIpPara.h"

#include <QAbstractSocket>
#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QTimer>

#include <cstdint>
#include <utility>

class QSerialPort;
class QTcpServer;
class QTcpSocket;
struct CountRecord;
class LinkLogModel;
struct LinkShared;

// One link of the program. Object i (0..14) is the gate link of gate slot i, a TCP client of the
// gate; object 15 + i is the slot's relay link, listening for a host PC whose bytes it passes to
// gate link i while gate link i passes the gate's frames back. Both run the same receive path;
// only gate links dispatch and relay frames. Everything runs on the event-loop thread.
class TTComXDlg final : public QObject, private HostRelay
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TTComXDlg)

public:
    enum LinkType : int
    {
        NoTransport = 1,
        TcpIp = 2,
        Serial = 3
    };

    static constexpr int kGateReadLimit = 2048;
    static constexpr int kHostReadLimit = 256;
    static constexpr int kHostQueueSize = 16384;
    // What may wait in the program for one host PC that does not read; past it the host is dropped.
    static constexpr qint64 kHostBacklogLimit = 1024 * 1024;
    static constexpr int kReplyWaitMs = 2000;
    static constexpr int kReconnectMs = 1500;
    static constexpr int kFatalWindowMs = 100;
    static constexpr int kHostActivityMs = 1000;
    static constexpr quint16 kDefaultServerPort = 3335;

    // index 0..29 as in LinkShared::links; the link enters itself there until it is destroyed.
    TTComXDlg(LinkShared& shared, int index, QObject* parent = nullptr);
    ~TTComXDlg() override;

    // Puts every field in its initial state. A TCP gate link opens its socket at once unless
    // connections are deferred; a relay link's server stays inactive until ServerListen. The count
    // filter is left as it was: the caller copies the setting with setCountFilter.
    void LinkInit(LinkLogModel* log, int gate, bool isRelay, const TcpIpParaEntry& entry, int linkType);
    // Clears ReplyStatus and the ACK flag, then sends by link type; returns the bytes handed to the
    // transport, 0 when nothing could be sent.
    int LinkSend(const std::uint8_t* bytes, int count);
    int LinkSend(const QByteArray& bytes);
    void LinkLog(const QString& text, LogDirection direction);
    void LinkLogHex(const std::uint8_t* bytes, int count, bool toGate);
    void LinkClose();

    // Receive path, also used by tests and the fuzz target without a socket.
    int ReceiveBytes(const std::uint8_t* bytes, int count);
    void Assemble();

    // Gate commands. Each writes its comment line (and, except where noted, the frame as a TX line),
    // sets LastCommand and returns what LinkSend returned.
    QByteArray BuildFrame(char command, const QByteArray& data);
    int ROM_VERSION_CMD();
    int DousaModeGet();
    // The flag form sends 0x10 as first byte, else 0x00; m1..m3 are the operation-mode bytes.
    int DousaModeSet(bool flagForm, std::uint8_t m1, std::uint8_t m2, std::uint8_t m3);
    int AFI_RDWR_CMD();
    // Word form: word index (address + 1) / 2 and count 1, comment line only; byte form: the address.
    int EEPROM_RD_CMD(std::uint8_t address, bool wordForm);
    // subCode 0x70, 0x72, 0x73 or another (each with its own label); comment line only.
    int EEPROM_RDWR_CMD(std::uint8_t subCode, std::uint8_t p1, std::uint8_t p2);
    int RESTART_CMD();
    int TXON_OFF_CMD(bool on);
    // The 8 UID bytes come from the shared last-UID buffer.
    int ReadLoopCommand(std::uint8_t r1, std::uint8_t r2, std::uint8_t r3, std::uint8_t r4, std::uint8_t r5);
    int GateGetEEPROMCmd(std::uint8_t addr, std::uint8_t count);
    // values: 2 * count bytes as a GateGetEEPROMCmd reply gave them (missing bytes are sent as 0);
    // count is limited to 126 words so that the frame's LEN fits.
    int GateSetEEPROMCmd(std::uint8_t addr, std::uint8_t count, const QByteArray& values);
    // Request 1 switches the lamp's always-on mode on, any other off; waits for the reply.
    // Returns 1 when the gate acknowledged, else 0.
    int GateSetAutoLampModeCmd(int request);
    int GateSetDispOutStateCmd(std::uint8_t d1, std::uint8_t d2, std::uint8_t d3);
    int GateRmcountvaluCmd2();
    int GateWmcountmodeCmd(std::uint16_t w1, std::uint16_t w2, std::uint16_t w3);
    int GateWmcountvaluCmd(const CountRecord& values);
    // Pumps events until a frame is dispatched or kReplyWaitMs pass: true for an ACK. Not to be
    // called from inside a dispatch (the assembler guard would hold the reply back).
    bool WaitReply();

    int ReplyStatus() const { return m_dispatcher.state().replyStatus; }
    bool ackFlag() const { return m_dispatcher.state().ackFlag; }
    char LastCommand() const { return m_dispatcher.state().lastCommand; }
    // Byte of the last reply frame (CMD at 2, LEN at 3, DATA from 4); 0 past its end.
    std::uint8_t LastReply(int index) const;
    // The last ACK or NACK frame since the last send, indexed like LastReply (0 past its end).
    std::uint8_t Answer(int index) const;
    // Whether that frame is an ACK ('0') or NACK ('1') with this LEN and DATA[0].
    bool answeredSinceSend(char command, int length, std::uint8_t code) const;
    const ReplyState& reply() const { return m_dispatcher.state(); }
    bool GateEepromReplyRead(std::uint8_t addr, std::uint8_t count, std::uint8_t* words) const;
    bool CountModeReplyRead(std::uint16_t& w1, std::uint16_t& w2, std::uint16_t& w3) const;
    std::uint8_t lastReceivedId() const { return m_receiver.lastReceivedId(); }
    ResponseDispatcher& dispatcher() { return m_dispatcher; }
    DebugTagTable& debugTags() { return m_dispatcher.debugTags(); }

    // Relay server. Listens on the given address (any address unless set) and the server port.
    void setListenAddress(const QHostAddress& address) { m_listenAddress = address; }
    void setServerPort(quint16 port) { m_serverPort = port; }
    quint16 serverPort() const;
    bool ServerListen();
    bool isListening() const;
    void ServerStopListening();
    // Frees the server socket and its host connections and creates a new, inactive one.
    void RecreateServerSocket();
    int activeConnections() const { return static_cast<int>(m_hosts.size()); }
    int hostConnections() const { return m_hostConnections; }

    // Gate client socket.
    bool hasClientSocket() const { return m_client != nullptr; }
    QString clientAddress() const { return m_entry.address; }
    quint16 clientPort() const { return m_entry.port; }
    void setClientEndpoint(const QString& address, quint16 port);
    // Starts a connection attempt when the socket is idle.
    void ClientOpen();
    // Frees the client socket and creates a new, closed one; stops ReConnectTimer.
    void RecreateClientSocket();
    bool reconnectTimerActive() const { return m_reconnectTimer.isActive(); }

    // What the EEPROM watch and the relay share on a gate link.
    EepromWatchFlags& watchFlags() { return m_watch; }
    EepromWatch& eepromWatch() { return m_eepromWatch; }
    bool hostActivity() const { return m_hostActivity; }
    void setHostActivity(bool on) { m_hostActivity = on; }
    QTimer& eepromChkReceiveTimeOut() { return m_eepromChkReceiveTimeOut; }
    int hostQueueSize() const { return static_cast<int>(m_hostQueue.size()); }
    // Sends everything the HostQueue holds to the gate in one send; false when it was empty.
    bool FlushHostQueue();

    int index() const { return m_index; }
    int gate() const { return m_gate; }
    bool isRelay() const { return m_isRelay; }
    int linkType() const { return m_linkType; }
    bool isOpen() const { return m_open; }
    void setOpen(bool open) { m_open = open; }
    bool isConnected() const { return m_connected; }
    void setConnected(bool connected);
    // Set whenever the connected mark is cleared; the sequence takes it on its next tick, so a drop
    // that the link's own retry repaired in between is still seen.
    bool takeConnectionLost() { return std::exchange(m_connectionLost, false); }
    bool firstConnection() const { return m_firstConnection; }
    void clearFirstConnection() { m_firstConnection = false; }
    bool dataSeen() const { return m_dataSeen; }
    void setDataSeen(bool seen) { m_dataSeen = seen; }
    int idlePingRounds() const { return m_idlePingRounds; }
    void setIdlePingRounds(int rounds) { m_idlePingRounds = rounds; }
    // Supervision state: attempts above 0 mark a gate tried without a connection; a pending
    // reconnect has been started and not yet confirmed.
    int connectionAttempts() const { return m_connectionAttempts; }
    void setConnectionAttempts(int attempts) { m_connectionAttempts = attempts; }
    bool reconnectPending() const { return m_reconnectPending; }
    void setReconnectPending(bool pending) { m_reconnectPending = pending; }
    bool countFilter() const { return m_receiver.countFilter(); }
    void setCountFilter(bool on) { m_receiver.setCountFilter(on); }

signals:
    void connectedChanged(bool connected);

private:
    bool hostConnected() const override;
    void sendToHost(const std::uint8_t* frame, int length) override;

    int sendCommand(char command, const QByteArray& data, QStringView comment, bool logFrame = true);
    void comment(QStringView text) { m_log.comment(text); }
    TTComXDlg* gateLink() const;
    TTComXDlg* relayLink() const;
    void releaseTransports();
    void createClientSocket();
    void createServerSocket();
    void queueHostBytes(const QByteArray& chunk);
    void dropStuckHost(QTcpSocket* host);

    void clientConnected();
    void clientDisconnected();
    void clientReadyRead();
    void clientError(QAbstractSocket::SocketError error);
    void reconnectTimerTimer();
    void serverClientConnect();
    void serverClientDisconnect(QTcpSocket* host);
    void serverClientRead(QTcpSocket* host);
    void serverClientError(QTcpSocket* host, QAbstractSocket::SocketError error);
    void serverThreadEnd();
    void serialReceive();
    void serialError();

    LinkShared& m_shared;
    const int m_index;
    int m_gate;
    bool m_isRelay;
    int m_linkType = NoTransport;
    TcpIpParaEntry m_entry;
    LinkLogger m_log;
    EepromWatchFlags m_watch;
    ResponseDispatcher m_dispatcher;
    LinkReceiver m_receiver;
    EepromWatch m_eepromWatch;

    QTcpSocket* m_client = nullptr;
    QTcpServer* m_server = nullptr;
    QList<QTcpSocket*> m_hosts;
    QSerialPort* m_serial = nullptr;
    QHostAddress m_listenAddress{QHostAddress::Any};
    quint16 m_serverPort = kDefaultServerPort;
    QTimer m_reconnectTimer;
    QTimer m_eepromChkReceiveTimeOut;
    QByteArray m_hostQueue;

    bool m_open = false;
    bool m_connected = false;
    bool m_connectionLost = false;
    int m_hostConnections = 0;
    bool m_firstConnection = false;
    bool m_handlingError = false;
    bool m_dataSeen = false;
    int m_idlePingRounds = 0;
    int m_connectionAttempts = 0;
    bool m_reconnectPending = false;
    bool m_hostActivity = false;
    bool m_clientReadPending = false;
};
