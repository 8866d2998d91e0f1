#pragma once

#include "gatesim/GateFaults.h"
#include "gatesim/GateResponder.h"
#include "gatesim/SimEndpoint.h"
#include "gatesim/SimFrameAssembler.h"

#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTimer>

#include <deque>

class Clock;
class FrameLog;
class QTcpSocket;

// One simulated gate: a listening socket that takes one program connection at a time (a newer
// connection replaces the older one), answers its requests, pushes counts and tags, and misbehaves
// on request. Every frame in and out goes to the frame log.
class SimGate final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SimGate)

public:
    SimGate(int index, const SimEndpoint& endpoint, const GateConfig& config, const Clock& clock, FrameLog& log,
            QObject* parent = nullptr);
    ~SimGate() override;

    bool listen(QString* error);
    const SimEndpoint& address() const { return m_endpoint; }
    QString unit() const;
    bool isConnected() const;

    GateResponder& responder() { return m_responder; }
    GateFaults& faults() { return m_faults; }

    // Each of these needs a connected program and returns false without one.
    bool pushCount();
    bool pushTag(char kind, const QList<QByteArray>& uids, const QByteArray& data);
    bool sendRaw(const QByteArray& bytes);
    bool sendGarbage(int n);
    bool drop();

    // Drops the connection and refuses new ones for ms milliseconds (the gate is switched off).
    void refuse(int ms);
    void silence(int ms);
    void clearFaults();
    void logFault(const QString& text);

private slots:
    void onNewConnection();
    void onReadyRead();
    void onClientGone();
    void onPartialStale();
    void onReplyDue();
    void onCountPush();
    void onTagPush();
    void onRefuseOver();

private:
    struct Pending
    {
        std::uint32_t due;
        QByteArray frame;
    };

    void handle(const SimFrameAssembler::Piece& piece);
    void queueReply(const QByteArray& reply);
    void scheduleReplies();
    void transmit(const QByteArray& frame);
    void closeClient(const QString& reason);

    int m_index;
    SimEndpoint m_endpoint;
    const Clock& m_clock;
    FrameLog& m_log;
    GateResponder m_responder;
    GateFaults m_faults;
    SimFrameAssembler m_assembler;
    QTcpServer m_server;
    QPointer<QTcpSocket> m_client;
    std::deque<Pending> m_pending;
    QTimer m_replyTimer;
    QTimer m_staleTimer;
    QTimer m_countTimer;
    QTimer m_tagTimer;
    QTimer m_refuseTimer;
};
