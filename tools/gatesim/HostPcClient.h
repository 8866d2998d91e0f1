#pragma once

#include "gatesim/SimFrameAssembler.h"
#include "gatesim/SimOptions.h"

#include <QObject>
#include <QTcpSocket>
#include <QTimer>

class FrameLog;

// Host-PC mode: connects to a relay port, sends the given frames in order and logs what comes back.
// Ends with 0 once the expected number of frames (good or bad) has arrived, with 1 on time-out,
// on a refused or lost connection.
class HostPcClient final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HostPcClient)

public:
    HostPcClient(const SimOptions& options, FrameLog& log, QObject* parent = nullptr);

    void start();

signals:
    void finished(int exitCode);

private slots:
    void onConnected();
    void onReadyRead();
    void onError();
    void onTimeout();

private:
    void finish(int exitCode, const QString& why);
    void checkDone();

    SimOptions m_options;
    FrameLog& m_log;
    QTcpSocket m_socket;
    QTimer m_deadline;
    SimFrameAssembler m_assembler;
    int m_received = 0;
    bool m_sent = false;
    bool m_done = false;
};
