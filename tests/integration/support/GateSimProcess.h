#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <optional>

// One line of the simulator's frame log: "<ms> <unit> <kind> <text>".
struct GateSimLogLine
{
    quint32 ms = 0;
    QString unit; // "G0".."G14", "H0" in host-PC mode
    QString kind; // RX, TX, BAD or EV
    QString text; // hex bytes, or the event in words

    QByteArray bytes() const;
    static std::optional<GateSimLogLine> parse(const QString& line);
};

// Runs wardale-gatesim for a test: gates on free loopback ports, control lines over its standard
// input, and its frame log collected as it is written. The simulator ends with the test's process
// (it is started with --exit-on-eof) and is stopped by the destructor at the latest.
class GateSimProcess final
{
    Q_DISABLE_COPY_MOVE(GateSimProcess)

public:
    GateSimProcess();
    ~GateSimProcess();

    static QString program();
    // "02 00 4F ..." to bytes, for expected frames.
    static QByteArray hex(const char* text);
    // The read-loop command ('x', 0xF2): the last command of a gate's start-up sequence.
    static bool isReadLoopCommand(const QByteArray& frame);

    // `gates` gates on 127.0.0.1 with ports chosen by the simulator; `config` becomes its --config file.
    bool start(int gates, const QByteArray& config = {}, const QStringList& extraArguments = {});
    // Any command line, for example --listen on 127.0.0.2:0; --exit-on-eof is added.
    bool startWithArguments(const QStringList& arguments);
    // "quit", then a bounded wait, then kill.
    void stop();
    bool isRunning() const { return m_process.state() != QProcess::NotRunning; }
    QProcess& process() { return m_process; }

    int gateCount() const { return static_cast<int>(m_gates.size()); }
    QHostAddress address(int gate) const { return m_gates.value(gate).first; }
    quint16 port(int gate) const { return m_gates.value(gate).second; }
    quint16 controlPort() const { return m_control; }

    // Sends one control line and returns its reply line ("ok ..." or "error ..."), or "" on time-out.
    QString command(const QString& line, int timeoutMs = 5000);

    QList<GateSimLogLine> log();
    // The RX, TX or BAD frames of one gate, in log order.
    QList<QByteArray> frames(int gate, const QString& kind);
    bool waitForFrames(int gate, const QString& kind, int count, int timeoutMs = 5000);
    // Runs the event loop (sockets, timers, the simulator's output) until done() or the time is up.
    bool waitFor(const std::function<bool()>& done, int timeoutMs);
    QString errorOutput();

    struct HostPcRun
    {
        int exitCode = -1;
        QList<GateSimLogLine> log;
        QString errorOutput;
    };
    // Host-PC mode against 127.0.0.1:port; the event loop runs meanwhile, so servers of the test answer.
    static HostPcRun runHostPc(quint16 port, const QList<QByteArray>& frames, int expect, int timeoutMs);

private:
    void collect();

    QProcess m_process;
    QTemporaryDir m_dir;
    QByteArray m_partial;
    QStringList m_replies;
    QList<GateSimLogLine> m_log;
    QList<std::pair<QHostAddress, quint16>> m_gates;
    quint16 m_control = 0;
    bool m_ready = false;
};
