#include "gatesim/HostPcClient.h"

#include "gatesim/FrameLog.h"
#include "gatesim/HexBytes.h"

namespace {

const QString kUnit = QStringLiteral("H0");

} // namespace

HostPcClient::HostPcClient(const SimOptions& options, FrameLog& log, QObject* parent)
    : QObject(parent), m_options(options), m_log(log)
{
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, &HostPcClient::onTimeout);
    connect(&m_socket, &QTcpSocket::connected, this, &HostPcClient::onConnected);
    connect(&m_socket, &QTcpSocket::readyRead, this, &HostPcClient::onReadyRead);
    connect(&m_socket, &QTcpSocket::errorOccurred, this, &HostPcClient::onError);
}

void HostPcClient::start()
{
    m_deadline.start(m_options.timeoutMs);
    m_log.event(kUnit, QStringLiteral("connecting %1").arg(m_options.hostPc->toString()));
    m_socket.connectToHost(m_options.hostPc->address, m_options.hostPc->port);
}

void HostPcClient::onConnected()
{
    m_socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    m_log.event(kUnit, QStringLiteral("connected"));
    for (const QByteArray& bytes : m_options.sends) {
        m_socket.write(bytes);
        m_log.frame(kUnit, "TX", bytes);
    }
    m_socket.flush();
    m_sent = true;
    checkDone();
}

void HostPcClient::onReadyRead()
{
    for (const auto& piece : m_assembler.feed(m_socket.readAll())) {
        switch (piece.kind) {
        case SimFrameAssembler::Piece::Kind::Frame:
            m_log.frame(kUnit, "RX", piece.bytes);
            ++m_received;
            break;
        case SimFrameAssembler::Piece::Kind::BadFrame:
            m_log.frame(kUnit, "BAD", piece.bytes);
            ++m_received;
            break;
        case SimFrameAssembler::Piece::Kind::Junk:
            m_log.event(kUnit, QStringLiteral("junk %1").arg(HexBytes::format(piece.bytes)));
            break;
        }
    }
    checkDone();
}

void HostPcClient::checkDone()
{
    if (m_sent && m_received >= m_options.expect)
        finish(0, QStringLiteral("received %1 frames").arg(m_received));
}

void HostPcClient::onError()
{
    finish(1, QStringLiteral("connection ended: %1 (received %2 of %3 frames)")
                  .arg(m_socket.errorString())
                  .arg(m_received)
                  .arg(m_options.expect));
}

void HostPcClient::onTimeout()
{
    finish(1, QStringLiteral("time-out after %1 ms: received %2 of %3 frames")
                  .arg(m_options.timeoutMs)
                  .arg(m_received)
                  .arg(m_options.expect));
}

void HostPcClient::finish(int exitCode, const QString& why)
{
    if (m_done)
        return;
    m_done = true;
    m_deadline.stop();
    m_log.event(kUnit, why);
    m_socket.disconnect(this);
    if (m_socket.bytesToWrite() > 0)
        m_socket.waitForBytesWritten(1000);
    m_socket.disconnectFromHost();
    emit finished(exitCode);
}
